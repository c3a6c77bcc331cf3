#!/usr/bin/env bash
# Builds the Debian package build-deb/gleichwart_<version>_<arch>.deb: the programs built for
# /usr without the tests, installed by cpack, with the dependencies dpkg-shlibdeps reads from
# the programs. Install it with: sudo apt install ./build-deb/gleichwart_*.deb
# JOBS sets the number of compile jobs (2 unless given).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_INSTALL_PREFIX=/usr -DGLEICHWART_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build build-deb -j "${JOBS:-2}"
rm -f build-deb/gleichwart_*.deb
(cd build-deb && cpack -G DEB)
ls build-deb/gleichwart_*.deb
