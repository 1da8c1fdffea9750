#!/bin/sh
# Builds Hourloom on Debian 12 and runs it or its tests.
#   ./build.sh run    install what is needed, build, start the program
#   ./build.sh test   install what is needed, build, run every test
set -eu
cd "$(dirname "$0")"

PACKAGES="g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libsqlcipher-dev \
libssl-dev libchm-dev fp-utils-3.2.2 libbenchmark-dev xvfb xauth libfiu-dev fiu-utils \
postgresql postgresql-contrib libpq-dev \
trayer xdotool x11-utils imagemagick chromium python3 dpkg-dev file \
python3-pyatspi at-spi2-core dbus sqlcipher"

install_packages() {
    missing=""
    for p in $PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
}

build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build
}

case "${1:-}" in
run)
    install_packages
    build
    exec ./build/app/hourloom
    ;;
test)
    install_packages
    build
    cd build
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 900
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
