#!/usr/bin/env bash
# Sets up (scripts/setup.sh), builds and runs the demo: `tarvo demo [FOLDER]` (default ./demo).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build
exec build/apps/tarvo/tarvo demo "${1:-demo}"
