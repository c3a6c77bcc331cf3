#!/usr/bin/env bash
# Builds the core and its tests with ThreadSanitizer into build-tsan/ and runs the tests
# that load trees on several threads. Not part of the normal test run (about 5 minutes).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" >/dev/null
tests=(core_threaded_load_test core_folder_loading_test core_listing_pool_test core_scanned_records_test
  core_sync_run_test)
cmake --build build-tsan -j 2 --target "${tests[@]}"
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
for t in "${tests[@]}"; do
  echo "== $t"
  build-tsan/tests/"$t" --gtest_brief=1
done
