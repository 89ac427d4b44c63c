#!/usr/bin/env bash
# Makes the Debian packages tarvo, tarvo-gui and libtarvo-dev (CPack, Depends by dpkg-shlibdeps)
# in build-paket/, a build configured for /usr without tests and benchmarks. With --pruefen it
# checks them as well: lintian reports no errors, and the programs run from the packages
# unpacked with dpkg-deb -x (tarvo --version, tarvo hilfe, tarvo demo, tarvo-gui offscreen).
# Usage: scripts/pakete.sh [--pruefen]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-paket
bash scripts/setup.sh "$build" -DCMAKE_INSTALL_PREFIX=/usr -DTARVO_TESTS=OFF -DTARVO_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls -1 "$build"/*.deb
[ "${1:-}" = --pruefen ] || exit 0

SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
if ! command -v lintian >/dev/null; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends lintian >/dev/null
fi
fehler=0
pruefen() {
  local was="$1"; shift
  if "$@"; then echo "ok      $was"; else echo "FEHLER  $was"; fehler=$((fehler + 1)); fi
}
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
lintian --tag-display-limit 0 "$build"/*.deb > "$build/lintian.txt" 2>&1 || true
cat "$build/lintian.txt"
pruefen "lintian ohne Fehler" bash -c "! grep -q '^E:' '$build/lintian.txt'"
for paket in tarvo tarvo-gui libtarvo-dev; do
  deb="$(ls "$build/${paket}_${version}_"*.deb)"
  pruefen "$paket: Version $version" test "$(dpkg-deb -f "$deb" Version)" = "$version"
done
pruefen "tarvo-gui hängt von tarvo ab" \
  bash -c "dpkg-deb -f '$build'/tarvo-gui_*.deb Depends | grep -q 'tarvo (= $version)'"
pruefen "Depends aus dpkg-shlibdeps (libc6, libstdc++6)" \
  bash -c "dpkg-deb -f '$build'/tarvo_*.deb Depends | grep -q 'libc6' && dpkg-deb -f '$build'/tarvo_*.deb Depends | grep -q 'libstdc++6'"

wurzel="$build/entpackt"
rm -rf "$wurzel"; mkdir -p "$wurzel"
for deb in "$build"/*.deb; do dpkg-deb -x "$deb" "$wurzel"; done
wurzel="$(cd "$wurzel" && pwd)"
export -n LD_LIBRARY_PATH
pruefen "entpackt: tarvo --version" bash -c "'$wurzel/usr/bin/tarvo' --version | grep -q '^tarvo $version'"
pruefen "entpackt: tarvo hilfe findet /usr/share/tarvo/Hilfe im entpackten Baum" \
  bash -c "test \"\$('$wurzel/usr/bin/tarvo' hilfe)\" = '$wurzel/usr/share/tarvo/Hilfe/index.html'"
pruefen "entpackt: tarvo demo" bash -c "'$wurzel/usr/bin/tarvo' demo '$build/entpackt-demo' >/dev/null"
set +e
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$build/entpackt-config" timeout 4 \
  "$wurzel/usr/bin/tarvo-gui" > "$build/entpackt-gui.txt" 2>&1
status=$?
set -e
pruefen "entpackt: tarvo-gui startet (offscreen)" test "$status" -eq 124
if ((fehler)); then echo "$fehler Prüfungen fehlgeschlagen"; exit 1; fi
echo "Pakete geprüft: $(ls "$build"/*.deb | xargs -n1 basename | tr '\n' ' ')"
