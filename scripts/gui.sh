#!/usr/bin/env bash
# Starts the desktop host tarvo-gui (installs and builds first when needed).
# Usage: scripts/gui.sh [DOKUMENT [DATENBANK]]
# Without arguments it opens the demo invoice ./demo/Rechnung.docx with ./demo/Auftraege.db,
# making the demo first when it is not there.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
bash scripts/setup.sh "$build" >/dev/null
if (($# == 0)); then
  if [ ! -f demo/Rechnung.docx ] || [ ! -f demo/Auftraege.db ]; then
    "$build/apps/tarvo/tarvo" demo demo >/dev/null
  fi
  set -- demo/Rechnung.docx demo/Auftraege.db
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Fehler: kein Bildschirm (DISPLAY ist nicht gesetzt). Ohne Bildschirm zum Beispiel:" >&2
  echo "  xvfb-run -a bash scripts/gui.sh" >&2
  exit 2
fi
exec "$build/apps/tarvo-gui/tarvo-gui" "$@"
