#!/usr/bin/env bash
# Installs what building, running, testing and packaging Gleichwart needs on Debian 12, and
# only what is missing. Runs as root, or through sudo. Besides the compilers and libraries:
# python3 runs the check for include circles; rsvg-convert draws the icon sizes Icons/ has
# no picture for; desktop-file-validate, appstreamcli and man check the installed files;
# dpkg-shlibdeps and file let cpack read the packages' dependencies from the programs, gzip
# compresses the manual pages and changelog, and lintian checks the packages;
# xvfb-run takes the screenshots; Liberation Sans is one of the fonts the window tests lay
# every window out with.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev libglib2.0-dev
  qt6-image-formats-plugins libjpeg-dev
  googletest libgtest-dev
  libglib2.0-dev shared-mime-info dbus-daemon
  xvfb xauth fonts-dejavu-core fonts-liberation2
  librsvg2-bin
  desktop-file-utils appstream man-db
  dpkg-dev file gzip lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
