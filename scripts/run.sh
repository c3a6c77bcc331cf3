#!/usr/bin/env bash
# Installs what is missing, builds Gleichwart and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Gleichwart on a virtual one (xvfb-run)."
  exec xvfb-run -a ./build/gleichwart "$@"
fi
exec ./build/gleichwart "$@"
