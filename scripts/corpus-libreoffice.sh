#!/usr/bin/env bash
# Round-trips every document of the corpus through `tarvo roundtrip` and checks that LibreOffice
# converts each saved copy whose original it converts, and that pdftotext gives the same text
# for both. Slow (LibreOffice needs seconds per file); CTest runs a subset of eight files.
#
#   scripts/corpus-libreoffice.sh [BUILD_DIR] [CORPUS_DIR]
#
# BUILD_DIR defaults to build/, CORPUS_DIR to ../shared/corpus/docx beside the repository.
# Work files go to BUILD_DIR/corpus-libreoffice/ (kept for inspection); the exit status is 1
# when any copy failed, 0 otherwise.
set -u

repo="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$repo/build}" && pwd)"
corpus="$(cd "${2:-$repo/../shared/corpus/docx}" && pwd)"
tarvo="$build/apps/tarvo/tarvo"
work="$build/corpus-libreoffice"
profile="$work/profile"

for tool in soffice pdftotext; do
  command -v "$tool" >/dev/null || { echo "$tool fehlt (libreoffice-writer-nogui, poppler-utils)"; exit 2; }
done
[ -x "$tarvo" ] || { echo "$tarvo fehlt: erst bauen (cmake --build $build --target tarvo)"; exit 2; }

rm -rf "$work"
mkdir -p "$work"
ok=0; differs=0; copyfails=0; unreadable=0; origfails=0

for original in "$corpus"/*.docx "$corpus"/*.docm; do
  [ -e "$original" ] || continue
  name="$(basename "$original")"
  stem="${name%.*}"
  dir="$work/$stem"
  mkdir -p "$dir/original" "$dir/kopie"
  # The copy keeps the original's name (a FILENAME field shows it), so it lives in a folder of
  # its own and is converted by a second call.
  copy="$dir/kopie/$name"
  if ! "$tarvo" roundtrip "$original" "$copy" 2>"$dir/roundtrip.txt"; then
    echo "nicht lesbar  $name: $(cat "$dir/roundtrip.txt")"
    unreadable=$((unreadable + 1))
    continue
  fi
  for side in original kopie; do
    source="$original"
    [ "$side" = kopie ] && source="$copy"
    timeout 300 soffice -env:UserInstallation="file://$profile" --headless --convert-to pdf \
      --outdir "$dir/$side" "$source" >"$dir/soffice-$side.txt" 2>&1
  done
  if [ ! -s "$dir/original/$stem.pdf" ]; then
    echo "übersprungen  $name (LibreOffice öffnet schon das Original nicht)"
    origfails=$((origfails + 1))
    continue
  fi
  if [ ! -s "$dir/kopie/$stem.pdf" ]; then
    echo "FEHLER        $name: LibreOffice öffnet die Kopie nicht"
    copyfails=$((copyfails + 1))
    continue
  fi
  pdftotext -enc UTF-8 "$dir/original/$stem.pdf" "$dir/original.txt"
  pdftotext -enc UTF-8 "$dir/kopie/$stem.pdf" "$dir/kopie.txt"
  if cmp -s "$dir/original.txt" "$dir/kopie.txt"; then
    ok=$((ok + 1))
  else
    echo "FEHLER        $name: Text der Kopie weicht ab (diff $dir/original.txt $dir/kopie.txt)"
    differs=$((differs + 1))
  fi
done

echo "gleich: $ok, Text abweichend: $differs, Kopie nicht geöffnet: $copyfails," \
  "nicht lesbar (tarvo): $unreadable, Original nicht geöffnet (LibreOffice): $origfails"
[ $((differs + copyfails)) -eq 0 ]
