#!/usr/bin/env bash
# Installs the build into a DESTDIR and runs the installed programs from there, as an office
# would after `cmake --install`: tarvo --version, tarvo hilfe, tarvo demo, tarvo-gui offscreen.
# Leaves the install in ARBEIT/ziel and the demo in ARBEIT/demo for the example hosts.
# Usage: installation.sh BUILD_DIR ARBEIT
set -euo pipefail
build="$(cd "$1" && pwd)"; arbeit="$2"
rm -rf "$arbeit"; mkdir -p "$arbeit"; arbeit="$(cd "$arbeit" && pwd)"
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
prefix="$(cache CMAKE_INSTALL_PREFIX)"; libdir="$(cache CMAKE_INSTALL_LIBDIR)"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
DESTDIR="$arbeit/ziel" cmake --install "$build" >/dev/null
wurzel="$arbeit/ziel$prefix"
fehler=0
pruefen() {  # pruefen TEXT COMMAND...: runs the command, reports and counts a failure
  local was="$1"; shift
  if "$@"; then echo "ok      $was"; else echo "FEHLER  $was"; fehler=$((fehler + 1)); fi
}

for datei in bin/tarvo "$libdir/libtarvo_03.so.$version" "$libdir/libtarvo_03.so.0" \
             "$libdir/libtarvo_03.so" include/tarvo/tarvo.h "$libdir/pkgconfig/tarvo.pc" \
             "$libdir/cmake/tarvo/tarvoConfig.cmake" "$libdir/cmake/tarvo/tarvoTargets.cmake" \
             share/man/man1/tarvo.1.gz share/tarvo/Hilfe/index.html share/doc/tarvo/copyright; do
  pruefen "installiert: $datei" test -e "$wurzel/$datei"
done
pruefen "SONAME libtarvo_03.so.0" \
  bash -c "readelf -d '$wurzel/$libdir/libtarvo_03.so.$version' | grep -q 'SONAME.*\[libtarvo_03.so.0\]'"

export -n LD_LIBRARY_PATH
pruefen "tarvo findet seine Bibliothek im Installationsbaum" \
  bash -c "ldd '$wurzel/bin/tarvo' | grep -q '$wurzel/bin/../$libdir/libtarvo_03.so.0\|$wurzel/$libdir/libtarvo_03.so.0'"
pruefen "tarvo --version nennt $version" bash -c "'$wurzel/bin/tarvo' --version | grep -q '^tarvo $version'"
hilfe="$("$wurzel/bin/tarvo" hilfe || true)"
pruefen "tarvo hilfe findet die installierte Hilfe ($hilfe)" \
  test "$(realpath -m "$hilfe")" = "$(realpath "$wurzel/share/tarvo/Hilfe/index.html")"
pruefen "tarvo demo läuft" bash -c "'$wurzel/bin/tarvo' demo '$arbeit/demo' > '$arbeit/demo.txt' 2>&1"
pruefen "tarvo demo schreibt Rechnung.docx" test -s "$arbeit/demo/Rechnung.docx"

if [ -x "$wurzel/bin/tarvo-gui" ]; then
  for datei in share/man/man1/tarvo-gui.1.gz share/applications/tarvo-gui.desktop \
               share/icons/hicolor/scalable/apps/tarvo-gui.svg; do
    pruefen "installiert: $datei" test -e "$wurzel/$datei"
  done
  # Still running after four seconds: it found its libraries and plugins and shows its window.
  set +e
  QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$arbeit/config" timeout 4 "$wurzel/bin/tarvo-gui" \
    > "$arbeit/gui.txt" 2>&1
  status=$?
  set -e
  pruefen "tarvo-gui startet (offscreen)" test "$status" -eq 124
  pruefen "tarvo-gui ohne Ladefehler" bash -c "! grep -q 'error while loading' '$arbeit/gui.txt'"
fi
if ((fehler)); then
  echo "$fehler Prüfungen fehlgeschlagen"; cat "$arbeit/demo.txt" 2>/dev/null || true; exit 1
fi
