#!/usr/bin/env bash
# Installs the Debian packages that Varo's build, tests and tools need, if any are missing.
set -euo pipefail
packages=(
    cmake g++ make pkg-config  # the build
    freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri libpng-dev libjpeg62-turbo-dev  # the program
    libx11-dev                                # the host for a window another program made
    libgtest-dev                              # unit tests
    zlib1g-dev console-setup-linux            # the data-file tool and the font it reads
    xvfb xauth xdotool imagemagick x11-utils x11-apps  # a virtual display, input, screenshots
    dpkg-dev file                             # the package: cpack reads the libraries it needs
    lintian appstream desktop-file-utils man-db  # checks of the package and what it installs
    xscreensaver xscreensaver-gl              # the real screensaver daemon that runs it
    clang libclang-rt-14-dev                  # fuzz targets
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
