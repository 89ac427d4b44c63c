#!/usr/bin/env bash
# Sets up what the demo needs (scripts/setup.sh with TARVO_AUFBAU=demo: the component and
# `tarvo`, no tests, benchmarks, fuzzers or GUI), builds it and runs `tarvo demo [FOLDER]`
# (default ./demo).
set -euo pipefail
cd "$(dirname "$0")/.."
TARVO_AUFBAU=demo TARVO_ZIELE=tarvo bash scripts/setup.sh build
exec build/apps/tarvo/tarvo demo "${1:-demo}"
