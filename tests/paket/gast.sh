#!/usr/bin/env bash
# Runs the demo's category-1 job once with the installed `tarvo run --json` and once through an
# example host (c: built with pkg-config and with the CMake package; python: ctypes) against the
# install that installation.sh left in ARBEIT, each on a fresh template and database, and
# compares: the same report to the byte, and the same invoice part by part, to the byte but for
# the comments' time stamps (and the zip's file times).
# Usage: gast.sh ARBEIT QUELLE c|python
set -euo pipefail
arbeit="$(cd "$1" && pwd)"; quelle="$(cd "$2" && pwd)"; art="$3"
wurzel="$(dirname "$(dirname "$(find "$arbeit/ziel" -path '*/bin/tarvo' | head -1)")")"
pc="$(dirname "$(find "$wurzel" -name tarvo.pc | head -1)")"
libdir="$(PKG_CONFIG_PATH="$pc" pkg-config --variable=libdir tarvo)"
tarvo="$wurzel/bin/tarvo"
export -n LD_LIBRARY_PATH

vorbereiten() {  # a fresh folder with the demo's template, an example database and the job
  rm -rf "$1"; mkdir -p "$1"
  cp "$arbeit/demo/Vorlage.docx" "$1/"
  cp "$arbeit/demo/Auftrag-Kategorie1.json" "$1/Auftrag.json"
  "$tarvo" init-db "$1/Auftraege.db" --beispiel >/dev/null
}
ausgepackt() {  # ausgepackt DOCX FOLDER: its parts, the comments' time stamps taken out
  rm -rf "$2"; mkdir -p "$2"
  (cd "$2" && unzip -q "$1")
  find "$2" -name '*.xml' -exec sed -i 's/ w:date="[^"]*"//g' {} +
}
vergleichen() {  # vergleichen FOLDER: its report and invoice equal tarvo run's
  cmp "$arbeit/lauf-$art/bericht.json" "$1/bericht.json"
  ausgepackt "$arbeit/lauf-$art/Rechnung.docx" "$1/teile-lauf"
  ausgepackt "$1/Rechnung.docx" "$1/teile"
  diff -r "$1/teile-lauf" "$1/teile"
  echo "ok      $1: Bericht und Rechnung gleich denen von tarvo run"
}

vorbereiten "$arbeit/lauf-$art"
(cd "$arbeit/lauf-$art" && "$tarvo" run Auftrag.json --json > bericht.json)

case "$art" in
  c)
    PKG_CONFIG_PATH="$pc" cc -std=c99 -Wall -Wextra -Werror "$quelle/examples/host-c/gast.c" \
      $(PKG_CONFIG_PATH="$pc" pkg-config --cflags --libs tarvo) -Wl,-rpath,"$libdir" \
      -o "$arbeit/gast-c"
    vorbereiten "$arbeit/gast-c-lauf"
    (cd "$arbeit/gast-c-lauf" && "$arbeit/gast-c" Auftrag.json . > bericht.json)
    vergleichen "$arbeit/gast-c-lauf"
    cmake -S "$quelle/examples/host-c" -B "$arbeit/gast-cmake" -DCMAKE_PREFIX_PATH="$wurzel" \
      -DCMAKE_BUILD_RPATH="$libdir" >/dev/null
    cmake --build "$arbeit/gast-cmake" >/dev/null
    vorbereiten "$arbeit/gast-cmake-lauf"
    (cd "$arbeit/gast-cmake-lauf" && "$arbeit/gast-cmake/gast" Auftrag.json . > bericht.json)
    vergleichen "$arbeit/gast-cmake-lauf"
    ;;
  python)
    vorbereiten "$arbeit/gast-python-lauf"
    (cd "$arbeit/gast-python-lauf" && TARVO_BIBLIOTHEK="$libdir/libtarvo_03.so.0" \
      /usr/bin/python3 "$quelle/examples/host-python/gast.py" Auftrag.json . > bericht.json)
    vergleichen "$arbeit/gast-python-lauf"
    ;;
  *) echo "Aufruf: gast.sh ARBEIT QUELLE c|python" >&2; exit 2 ;;
esac
