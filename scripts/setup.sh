#!/usr/bin/env bash
# Installs what tarvo needs from Debian (only what is missing), then configures and builds.
# Usage: scripts/setup.sh [BUILD_DIR] [extra cmake options...]
# TARVO_AUFBAU=demo installs and configures only what the component and `tarvo` need (no tests,
# benchmarks, GUI, LibreOffice); otherwise the tests, benchmarks and the GUI are switched on.
set -euo pipefail
cd "$(dirname "$0")/.."

demo=false; [ "${TARVO_AUFBAU:-}" = demo ] && demo=true
if $demo; then
  pakete=(build-essential cmake ninja-build ccache pkg-config
          libzip-dev zlib1g-dev libsqlite3-dev libpq-dev libqpdf-dev libcli11-dev
          nlohmann-json3-dev)
else
pakete=(build-essential cmake ninja-build ccache pkg-config
        libzip-dev zlib1g-dev libsqlite3-dev libpq-dev postgresql libcli11-dev nlohmann-json3-dev
        libgtest-dev libgmock-dev libbenchmark-dev
        sqlite3 python3 python3-docx poppler-utils zip unzip
        libreoffice-writer-nogui fonts-dejavu-core fonts-liberation2 locales
        qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libpoppler-qt6-dev xvfb xauth
        libqpdf-dev qpdf libxml2-utils libsaxonhe-java openjdk-17-jre-headless
        openbox xdotool wmctrl x11-utils x11-apps)
# openbox … x11-apps: the window test on a virtual display (tests/fenster/).
fi
# The fuzz targets (scripts/fuzz.sh) are built with clang and its libFuzzer.
case " $* " in *" -DTARVO_FUZZ=ON "*) pakete+=(clang-14 libclang-rt-14-dev) ;; esac
fehlend=()
for p in "${pakete[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || fehlend+=("$p")
done
if ((${#fehlend[@]})); then
  echo "Installiere: ${fehlend[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
    "${fehlend[@]}" >/dev/null
fi

# A German locale, so that the tests can show number texts do not follow the process locale.
if ! $demo && ! locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8'; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  if [ -f /etc/locale.gen ] && grep -q '^# *de_DE.UTF-8 UTF-8' /etc/locale.gen; then
    $SUDO sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    $SUDO locale-gen >/dev/null
  else
    $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
  fi
fi

# Compiler cache keyed on paths relative to the checkout, so clones share it.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
build="${1:-build}"; shift || true
if $demo; then
  # A folder configured in full before keeps its options; a new one gets only the component.
  [ -f "$build/CMakeCache.txt" ] || set -- -DTARVO_TESTS=OFF -DTARVO_BENCH=OFF -DTARVO_GUI=OFF "$@"
else
  set -- -DTARVO_TESTS=ON -DTARVO_BENCH=ON -DTARVO_GUI=ON "$@"
fi
cmake -S . -B "$build" -G Ninja "$@" >/dev/null
# TARVO_ZIELE (space-separated) builds only those targets.
cmake --build "$build" -j "$(nproc)" ${TARVO_ZIELE:+--target $TARVO_ZIELE}
