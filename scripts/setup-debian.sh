#!/usr/bin/env bash
# Installs what building Varno needs on Debian 12 (run as root). Installs only
# what is missing, so running it again costs a second.
#   scripts/setup-debian.sh            the program
#   scripts/setup-debian.sh --package  the program and its Debian package
#   scripts/setup-debian.sh --windows  the program, and its Windows build and download
#   scripts/setup-debian.sh --tests    all that, and everything the tests use
set -euo pipefail

packages=(
    cmake ninja-build g++
    qt6-base-dev qt6-declarative-dev qt6-declarative-dev-tools qt6-qpa-plugins libgl-dev
    qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-layouts
    qml6-module-qtquick-window qml6-module-qtquick-templates qml6-module-qtqml-workerscript
    libqt6svg6
)
packaging=(dpkg-dev file librsvg2-bin)
# The icon is drawn for Windows with rsvg-convert and ImageMagick.
windows=(g++-mingw-w64-x86-64-posix nsis librsvg2-bin imagemagick)
case "${1:-}" in
    --package) packages+=("${packaging[@]}") ;;
    --windows) packages+=("${windows[@]}") ;;
    --tests)
        packages+=(
            "${packaging[@]}" "${windows[@]}"
            qml6-module-qttest
            xvfb xauth x11-utils libx11-dev libxrandr-dev libxtst-dev imagemagick tesseract-ocr
            clang libclang-rt-14-dev
            fuse3 libfuse3-dev pkg-config
            wine wine64 libwine x11-xserver-utils
            lintian desktop-file-utils appstream
        )
        ;;
esac

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
        || missing+=("$package")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
