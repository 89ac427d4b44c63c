#!/usr/bin/env bash
# Builds the libFuzzer targets (clang-14 with AddressSanitizer and UndefinedBehaviorSanitizer)
# in build-fuzz/ and runs each for SECONDS (default 20), seeded with the document corpus, the
# test documents and fuzz/seeds/. What a target finds is kept in build-fuzz/funde/TARGET/ and
# the run fails. Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
sekunden="${1:-20}"
shift || true
ziele=("$@")
((${#ziele[@]})) || ziele=(paket_fuzz dokument_fuzz auftrag_fuzz)

CC=clang-14 CXX=clang++-14 TARVO_ZIELE="${ziele[*]}" bash scripts/setup.sh build-fuzz \
  -DTARVO_FUZZ=ON -DTARVO_TESTS=OFF -DTARVO_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo

korpus="${CORPUS_DIR:-$PWD/../shared/corpus/docx}"
status=0
for ziel in "${ziele[@]}"; do
  arbeit="build-fuzz/arbeit/$ziel" funde="build-fuzz/funde/$ziel"
  mkdir -p "$arbeit" "$funde"
  case "$ziel" in
    auftrag_fuzz) saat=(fuzz/seeds/auftrag) ;;
    *) saat=("$korpus" build/testdata) ;;
  esac
  vorhanden=()
  for s in "${saat[@]}"; do [ -d "$s" ] && vorhanden+=("$s"); done
  echo "== $ziel: $sekunden s =="
  # Documents larger than max_len are cut, which the reader must refuse like any damage.
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "build-fuzz/fuzz/$ziel" -max_total_time="$sekunden" -max_len=1048576 -rss_limit_mb=2048 \
      -timeout=20 -print_final_stats=1 -artifact_prefix="$funde/" "$arbeit" "${vorhanden[@]}" \
      2>"build-fuzz/$ziel.log"; then
    tail -40 "build-fuzz/$ziel.log"
    status=1
  else
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb|cov:" "build-fuzz/$ziel.log" | tail -3
  fi
done
exit $status
