#!/usr/bin/env bash
# Installs what is missing, builds the program and what it needs (not the tests) and starts
# it. scripts/test.sh builds everything.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j 2 --target gleichwart
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Gleichwart on a virtual one (xvfb-run)."
  exec xvfb-run -a ./build/gleichwart "$@"
fi
exec ./build/gleichwart "$@"
