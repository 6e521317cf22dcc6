#!/usr/bin/env bash
# Set-up, build, run and test Kavrel on Debian 12.
#   ./kavrel.sh run        install what is missing, build, start the program
#   ./kavrel.sh test       install what is missing, build, run every test
#   ./kavrel.sh package    install what is missing, build, make the Debian package in build/
#   ./kavrel.sh ci-tools   install what CI needs besides: clang (sanitizers, fuzzers) and lintian
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake g++ make pkg-config
          qt6-base-dev qt6-multimedia-dev qt6-svg-dev libqt6svg6
          libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev
          libheif-dev libheif-examples  # HEIC and AVIF photos; heif-enc makes the tests' ones
          libtiff-dev libwebp-dev libexif-dev  # TIFF and WebP photos, EXIF of PNG and WebP
          libpng-dev                           # the desktop's thumbnail files
          libebur128-dev libaubio-dev          # the music's loudness and beats
          libdlib-dev                          # faces in photos (its library ships the tests' photos)
          libpango1.0-dev libcairo2-dev        # captions and title cards: layout and drawing,
          fonts-noto-core fonts-noto-cjk fonts-noto-color-emoji  # and fonts for every script
          libgtest-dev libgmock-dev
          fonts-dejavu-core fonts-wqy-microhei
          libjpeg-turbo-progs libjpeg62-turbo-dev   # thumbnails of camera JPEGs; JPEG kinds for the tests
          dpkg-dev file appstream                   # the package: its dependencies and its metainfo's check,
          desktop-file-utils libxml2-utils shared-mime-info libglib2.0-bin)  # its desktop entry and show type
# What only the tests need; CI runs the tests before it installs CI_PACKAGES.
TEST_PACKAGES=(python-matplotlib-data  # the face tests' portrait
               locales                 # the tests make a German locale with localedef
               python3 xvfb openbox xdotool wmctrl x11-utils x11-apps ffmpeg  # the end-to-end tests' desktop,
               dbus at-spi2-core python3-pyatspi orca                         # its screen reader,
               qt6ct)                                                         # and a dark desktop theme
CI_PACKAGES=(clang lintian)
BUILD_DIR=${KAVREL_BUILD_DIR:-build}

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

build() {
    cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVREL_WERROR=ON
    cmake --build "$BUILD_DIR" -j "$(nproc)"
}

case "${1:-}" in
run)
    install_missing "${PACKAGES[@]}"
    build
    exec "$BUILD_DIR/kavrel"
    ;;
test)
    install_missing "${PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)"
    ;;
package)
    install_missing "${PACKAGES[@]}"
    build
    cmake --build "$BUILD_DIR" --target package
    ;;
ci-tools)
    install_missing "${CI_PACKAGES[@]}"
    ;;
*)
    echo "usage: $0 run|test|package|ci-tools" >&2
    exit 2
    ;;
esac
