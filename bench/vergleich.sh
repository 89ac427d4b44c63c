#!/usr/bin/env bash
# Whole-process figures, side by side: `tarvo roundtrip` and `tarvo inspect` of the largest
# corpus document against Python's ElementTree reading and writing the same main part, and
# `tarvo run` of a category-1 job with 10, 100, 1000 and 5000 parcels. Each figure is the best of
# RUNS runs (the fastest in wall time): wall time, CPU time (user + system) and peak memory of
# the process, as bench/messen.py takes them.
# Usage: bench/vergleich.sh [BUILD_DIR]   (RUNS=5, CORPUS_DIR=../shared/corpus/docx)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
tarvo="$PWD/$build/apps/tarvo/tarvo"
korpus="${CORPUS_DIR:-$PWD/../shared/corpus/docx}"
dokument="$korpus/poi__bug65649.docx"
runs="${RUNS:-5}"
[ -x "$tarvo" ] || { echo "Kein Programm unter $tarvo: erst bauen (scripts/setup.sh)." >&2; exit 2; }
[ -f "$dokument" ] || { echo "Das Korpusdokument $dokument fehlt." >&2; exit 2; }

arbeit="$(mktemp -d)"
trap 'rm -rf "$arbeit"' EXIT
export TARVO_LOG_DIR="$arbeit" TARVO_CONFIG_DIR="$arbeit"

# best_of CMD...: prints "WALL CPU PEAK_KB" of the fastest of $runs runs; fails if a run fails.
best_of() {
  local best="" zeile
  for ((i = 0; i < runs; i++)); do
    zeile="$(/usr/bin/python3 bench/messen.py "$@" 2>"$arbeit/fehler")" ||
      { cat "$arbeit/fehler" >&2; return 1; }
    if [ -z "$best" ] || awk -v a="$zeile" -v b="$best" 'BEGIN { split(a, x); split(b, y); exit !(x[1] < y[1]) }'; then
      best="$zeile"
    fi
  done
  echo "$best"
}

zeile() {  # NAME "WALL CPU PEAK_KB"
  read -r w c m <<<"$2"
  printf '%-44s %8.3f s %8.3f s %8.1f MB\n' "$1" "$w" "$c" "$(awk -v m="$m" 'BEGIN { print m / 1024 }')"
}

echo "Maschine: $(nproc) Kerne, $(awk '{ print "Last " $1 ", " $2 ", " $3 }' /proc/loadavg) (1, 5, 15 min), $(date -u '+%Y-%m-%d %H:%M UTC')"
hauptteil="$(unzip -Z1 "$dokument" | grep -m1 -x 'word/document.xml')"
groesse="$(unzip -p "$dokument" "$hauptteil" | wc -c)"
printf '%-44s %10s %10s %11s\n' "" "Zeit" "CPU" "Speicher"

et="$(best_of /usr/bin/python3 bench/elementtree_roundtrip.py "$dokument" "$arbeit/et.xml")"
rt="$(best_of "$tarvo" roundtrip "$dokument" "$arbeit/kopie.docx")"
in="$(best_of "$tarvo" inspect "$dokument")"
zeile "ElementTree: Hauptteil lesen und schreiben" "$et"
zeile "tarvo roundtrip" "$rt"
zeile "tarvo inspect" "$in"
read -r etw etc _ <<<"$et"
read -r rtw rtc rtm <<<"$rt"
awk -v a="$etw" -v b="$rtw" -v c="$etc" -v d="$rtc" -v m="$rtm" -v g="$groesse" 'BEGIN {
  printf "roundtrip gegen ElementTree: %.1f-mal so schnell (CPU: %.1f-mal), Speicher %.1f-mal der Hauptteil (%.1f MB)\n",
         a / b, c / d, m * 1024 / g, g / 1048576 }'

# The category-1 job of the demo, with N parcels across the four categories.
env PATH=/nonexistent "$tarvo" demo "$arbeit/demo" >/dev/null
for n in 10 100 1000 5000; do
  /usr/bin/python3 - "$arbeit/demo" "$n" <<'PY'
import json, sys
ordner, n = sys.argv[1], int(sys.argv[2])
with open(f"{ordner}/Auftrag-Kategorie1.json", encoding="utf-8") as f:
    auftrag = json.load(f)
kategorien = ["I", "II", "III", "IV"]
auftrag["ausgabe"] = f"Rechnung{n}.docx"
auftrag["eingaben"]["zeilen"] = [[f"Flst.Nr. {i}", kategorien[i % 4], str(100 + 7 * i)]
                                 for i in range(1, n + 1)]
with open(f"{ordner}/Auftrag{n}.json", "w", encoding="utf-8") as f:
    json.dump(auftrag, f, ensure_ascii=False)
PY
done
for n in 10 100 1000 5000; do
  eval "lauf$n=\"\$(best_of \"\$tarvo\" run \"\$arbeit/demo/Auftrag$n.json\")\""
  eval "zeile \"tarvo run, Kategorie 1, $n Parzellen\" \"\$lauf$n\""
done
read -r w1 c1 _ <<<"$lauf1000"
read -r w5 c5 _ <<<"$lauf5000"
awk -v a="$w5" -v b="$w1" -v c="$c5" -v d="$c1" 'BEGIN {
  printf "5000 gegen 1000 Parzellen: %.1f-mal die Zeit (CPU: %.1f-mal)\n", a / b, c / d }'
echo "Last danach: $(cut -d' ' -f1-3 /proc/loadavg)"
