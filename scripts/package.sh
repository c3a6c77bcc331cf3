#!/usr/bin/env bash
# Builds the two Debian packages into build-deb/: gleichwart-sync_<version>_<arch>.deb (the
# terminal program, no Qt) and gleichwart_<version>_<arch>.deb (the window program, which
# depends on the first). The programs are built for /usr without the tests and with Debian's
# hardening flags, installed by cpack, with the dependencies dpkg-shlibdeps reads from each
# program; lintian then checks both packages. Install them with:
#   sudo apt install ./build-deb/gleichwart-sync_*.deb ./build-deb/gleichwart_*.deb
# JOBS sets the number of compile jobs (2 unless given).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_INSTALL_PREFIX=/usr -DGLEICHWART_BUILD_TESTS=OFF -DGLEICHWART_HARDENING=ON \
  "${launcher[@]}" >/dev/null
cmake --build build-deb -j "${JOBS:-2}"
rm -f build-deb/gleichwart*.deb
(cd build-deb && cpack -G DEB)
ls build-deb/gleichwart*.deb
# Errors fail the script; warnings and notes are printed for the reader.
lintian --display-info --fail-on error build-deb/gleichwart*.deb
