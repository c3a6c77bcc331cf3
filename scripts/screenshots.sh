#!/usr/bin/env bash
# Takes the README's pictures into docs/: the main window after "Ordner laden"
# (main-window-loaded.png) and after a run, with its summary (run-summary.png), and the window
# that undid the run (undo-window.png). The window tests that reach those states save them
# when GLEICHWART_SCREENSHOTS names a folder; here they run on a virtual X display, so the
# pictures show the fonts and style of a real desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "${JOBS:-2}" --target ui_loading_test ui_run_test

shots=$(mktemp -d)
# The window finds its button pictures in an Icons folder beside its program, as the
# installed one does; the test programs get one for the pictures only.
cp -r Icons build/tests/Icons
trap 'rm -rf "$shots" build/tests/Icons' EXIT
take() { # test program: all of its cases, the one that reaches the state saves the picture
  GLEICHWART_SCREENSHOTS="$shots" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x800x24" "build/tests/$1" >/dev/null
}
take ui_loading_test
take ui_run_test

mkdir -p docs
for picture in main-window-loaded run-summary undo-window; do
  if [ ! -s "$shots/$picture.png" ]; then
    echo "The window tests saved no $picture.png" >&2
    exit 1
  fi
  cp "$shots/$picture.png" "docs/$picture.png"
done
ls -l docs/main-window-loaded.png docs/run-summary.png docs/undo-window.png
