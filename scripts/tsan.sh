#!/usr/bin/env bash
# Builds the core and its tests with ThreadSanitizer into build-tsan/ and runs the tests
# that load trees, copy or delete on several threads. Not part of the normal test run (about
# 10 minutes).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" >/dev/null
tests=(core_threaded_load_test core_folder_loading_test core_listing_pool_test core_scanned_records_test
  core_sync_run_test core_copies_in_flight_test core_delete_run_test)
cmake --build build-tsan -j 2 --target "${tests[@]}"
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
for t in "${tests[@]}"; do
  echo "== $t"
  build-tsan/tests/"$t" --gtest_brief=1
done
# The run tests once more as on a device where every call waits: copies and deletions on
# several threads.
for t in core_sync_run_test core_delete_run_test; do
  echo "== $t (waiting device)"
  GLEICHWART_TEST_WAITING_DEVICE=1 build-tsan/tests/"$t" --gtest_brief=1
done
