#!/usr/bin/env bash
# Builds the PCX reader's fuzz target with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it; not part of the normal build.
#   scripts/fuzz-pcx.sh [seconds]      default 300
# The corpus grows in build-fuzz/corpus, seeded with the test files; a finding is written
# to build-fuzz/ as crash-* and the script then fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-fuzz"
seconds="${1:-300}"
mkdir -p "$out/corpus"
cp -n "$root"/tests/core/data/*.pcx "$out/corpus/" 2>/dev/null || true

"${CXX:-clang++}" -std=c++20 -O1 -g -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/core" \
  "$root/core/imaging/pcx_reader.cpp" "$root/tests/fuzz/pcx_reader_fuzz.cpp" \
  -o "$out/pcx_reader_fuzz"

cd "$out"
./pcx_reader_fuzz -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 corpus
