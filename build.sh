#!/usr/bin/env bash
# Builds benchcom, installing what a fresh Debian machine lacks, then
#   ./build.sh run [ARG...]  runs benchcom (on the simulated bench when built)
#   ./build.sh test          runs the whole test suite
set -euo pipefail
cd "$(dirname "$0")"

install_missing() {
    local need=()
    command -v cmake >/dev/null || need+=(cmake)
    command -v g++ >/dev/null || need+=(g++)
    command -v ninja >/dev/null || need+=(ninja-build)
    command -v node >/dev/null || need+=(nodejs)
    [ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
    [ ${#need[@]} -eq 0 ] && return
    echo "installing: ${need[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${need[@]}"
}

build() {
    install_missing
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${BENCHCOM_CMAKE_ARGS:-} >/dev/null
    cmake --build build
}

case "${1:-}" in
run)
    shift
    build >&2
    if [ -x build/benchcom-sim ]; then
        exec build/benchcom-sim -- build/benchcom "$@"
    fi
    exec build/benchcom "$@"
    ;;
test)
    build
    ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 300
    ;;
*)
    echo "usage: ./build.sh run | test" >&2
    exit 2
    ;;
esac
