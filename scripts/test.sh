#!/usr/bin/env bash
# Sets up (scripts/setup.sh), builds and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build
cd build && ctest --output-on-failure -j "$(nproc)"
