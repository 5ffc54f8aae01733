#!/usr/bin/env bash
# Builds benchcom, installing what a fresh Debian machine lacks, then
#   ./build.sh run [ARG...]  runs benchcom on the simulated bench inside it (BENCHCOM_PORT=sim)
#   ./build.sh test          runs the whole test suite
#   ./build.sh checks        checks that the C++ follows .clang-format, then builds with
#                            warnings as errors and runs the suite again under
#                            AddressSanitizer and UndefinedBehaviorSanitizer
#   ./build.sh bench [ARG...] runs the benchmarks (see BENCHMARKS.md), with Debian's
#                            python3-serial and ser2net for the comparisons
set -euo pipefail
cd "$(dirname "$0")"

install_missing() {
    local need=()
    command -v cmake >/dev/null || need+=(cmake)
    command -v g++ >/dev/null || need+=(g++)
    command -v ninja >/dev/null || need+=(ninja-build)
    command -v node >/dev/null || need+=(nodejs)
    command -v npm >/dev/null || need+=(npm)
    [ -x /usr/bin/chromium ] || need+=(chromium)  # the viewer's browser test
    [ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
    [ -f /usr/include/readline/readline.h ] || need+=(libreadline-dev)  # benchcom-run's shell
    command -v dpkg-shlibdeps >/dev/null || need+=(dpkg-dev)  # the .deb's dependencies
    command -v man >/dev/null || need+=(man-db)                # the manual pages' test
    command -v clang-format >/dev/null || need+=(clang-format) # the style check
    command -v tmux >/dev/null || need+=(tmux)                 # benchcom-sim's screen, as a person sees it
    # The network ports' tests and benchmark: ser2net as the port server,
    # pyserial as the independent client.
    [ -x /usr/sbin/ser2net ] || need+=(ser2net)
    /usr/bin/python3 -c 'import serial; serial.Serial' 2>/dev/null || need+=(python3 python3-serial)
    # The oscilloscope's independent client: PyVISA with its pure-Python back end.
    /usr/bin/python3 -c 'import pyvisa, pyvisa_py' 2>/dev/null || need+=(python3-pyvisa python3-pyvisa-py)
    tools/scripts/apt-install ${need[@]+"${need[@]}"}
}

build() {
    install_missing
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build
}

run_tests() {
    ctest --test-dir "$1" --output-on-failure -j"$(nproc)" --timeout 300
}

case "${1:-}" in
run)
    shift
    build >&2
    BENCHCOM_PORT=sim exec build/benchcom "$@"
    ;;
test)
    build
    run_tests build
    ;;
checks)
    install_missing
    # The tree's style: a file that differs from what clang-format makes of it fails here.
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
    flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBENCHCOM_WERROR=ON \
        -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
    cmake --build build-sanitize
    ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        run_tests build-sanitize
    ;;
bench)
    shift
    build
    exec build/benchcom-bench "$@"
    ;;
*)
    echo "usage: ./build.sh run | test | checks | bench" >&2
    exit 2
    ;;
esac
