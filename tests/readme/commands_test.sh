#!/usr/bin/env bash
# Runs every command the README shows, as a person would type it, on the
# simulated bench (hardware lines get the bench's port in place of the
# device). A command in the README that this script does not know fails the
# test, so the two cannot drift apart.
#   tests/readme/commands_test.sh BUILD_DIR
set -uo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "$1" && pwd)"
work="$(mktemp -d /tmp/benchcom-readme-XXXXXX)"
trap 'rm -rf "$work"' EXIT
ln -s "$build" "$work/build"
ln -s "$repo/tests" "$work/tests"
ln -s "$repo/viewer" "$work/viewer"
cd "$work"
passed=0 failed=0

check() {  # check NAME CONDITION...
    local name="$1"
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
has() { grep -qF -- "$2" "$1"; }
# Runs an endless command for a while, then interrupts it as Ctrl-C would.
for_a_while() {
    local seconds="$1"
    shift
    timeout --preserve-status -s INT "$seconds" "$@"
}

declare -A known
known['./build.sh run    # build (installing what is missing), then run benchcom on the simulated bench']=quick_run
known['./build.sh test   # build (installing what is missing), then run the whole test suite']=ci
known['build/benchcom-sim --ch1 sine,50000,2 --ch2 square,20000,1.5 -- build/benchcom-run scopePollDual > capture.txt']=capture
known['tests/viewer/run.sh gbookFtemp.js op_scope.csv viewer.png']=viewer
known['build/benchcom-sim -- build/benchcom-run showMax7219Help > /dev/null']=help_screen
known['build/benchcom-sim --view display.txt -- build/benchcom-run demoMax7219Patterns > /dev/null']=patterns
known['build/benchcom-sim --press 1@2s,3@5s -- build/benchcom-run panelKeyDemo']=keys
known['cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake && cmake --build build-win']=windows
known['BENCHCOM_PORT=/dev/ttyACM0 build/benchcom']=hw_benchcom
known['BENCHCOM_PORT=/dev/ttyACM0 build/benchcom-run issVersion']=hw_run
known['fuzz/run.sh 3600']=fuzz_all
known['fuzz/run.sh 600 scope_client']=fuzz_one
known['fuzz/run.sh campaign 10000000']=fuzz_campaign

# Every line inside a ```sh block of the README.
mapfile -t lines < <(awk '/^```sh$/ {on=1; next} /^```$/ {on=0} on && NF' "$repo/README.md")
for line in "${lines[@]}"; do
    check "README command is exercised: $line" test -n "${known[$line]:-}"
done

quick_run() {  # the Quick start's run command, stopped after a few rounds
    (cd "$repo" && for_a_while 8 ./build.sh run > "$work/quick.txt" 2> /dev/null)
    check "quick start run ends cleanly on Ctrl-C" test $? -eq 130
    check "quick start run opens twice and exercises the lines" \
        has quick.txt $' serial port COM9 connect OK \n\r serial port COM9 connect OK \n\r===='
    check "quick start run reaches the exerciser" has quick.txt "GetCommModemStatu_: 0000"
}
ci() { :; }  # .ci/run runs it
capture() {
    eval "$1"
    check "capture succeeds" test $? -eq 0
    check "capture writes the CSV" has op_scope.csv "Waveform Data,"
    check "capture writes the chart script" has gbookFtemp.js "gbF( 'vornel'"
}
viewer() {
    eval "$1" > viewer.txt 2>&1
    check "viewer test passes on the capture" test $? -eq 0
    check "viewer saves a screenshot" test -s viewer.png
}
help_screen() {
    script -qec "$1" /dev/null > help.txt  # a terminal, so the view shows on it
    check "HELP shows on the display" has help.txt "LED display  [HELP -"
}
patterns() {  # three minutes of demonstration: watch its first screens
    for_a_while 12 bash -c "$1"
    check "the pattern demonstration shows HELP" has display.txt "LED display  [HELP"
}
keys() {
    for_a_while 8 bash -c "$1" > keys.txt
    check "key 1 is seen by the demonstration" has keys.txt "keys: 01 00 01"
    check "key 3 is seen by the demonstration" has keys.txt "keys: 04 00 04"
}
windows() {
    if ! command -v x86_64-w64-mingw32-g++-posix > /dev/null; then
        echo "skipped: mingw-w64 is not installed (the Windows check of CI installs and runs it)"
        return
    fi
    (cd "$repo" && eval "$1" > "$work/win.txt" 2>&1)
    check "the Windows programs cross-build" test -f "$repo/build-win/benchcom.exe"
}
# The fuzzers, each for a moment instead of the README's long runs.
have_clang() {
    command -v clang++ > /dev/null && return
    echo "skipped: clang is not installed (CI's fuzz/run.sh installs it and runs every target)"
    return 1
}
fuzz_all() {
    have_clang || return 0
    (cd "$repo" && fuzz/run.sh 2 > "$work/fuzz.txt" 2>&1)
    check "every fuzz target runs clean" test $? -eq 0
    for source in "$repo"/fuzz/*_fuzz.cpp; do
        target="$(basename "$source" _fuzz.cpp)"
        check "fuzz target $target runs" has fuzz.txt "== $target: 2 s"
    done
}
fuzz_one() {
    have_clang || return 0
    (cd "$repo" && fuzz/run.sh 2 scope_client > "$work/fuzz.txt" 2>&1)
    check "the named fuzz target runs clean" test $? -eq 0
    check "only the named fuzz target runs" test "$(grep -c '^== ' fuzz.txt)" -eq 1
}
fuzz_campaign() {  # a campaign of a few thousand runs, merged into a copy of the corpora
    have_clang || return 0
    cp -r "$repo/fuzz/corpus" "$work/corpora"
    (cd "$repo" && BENCHCOM_FUZZ_CORPORA="$work/corpora" fuzz/run.sh campaign 3000 learn_string \
        > "$work/campaign.txt" 2>&1)
    check "a short campaign runs clean" test $? -eq 0
    check "the campaign counts its executions" has campaign.txt "stat::number_of_executed_units: 3000"
    check "the campaign merges what it found into the corpus" has campaign.txt "MERGE-OUTER: "
}
with_bench_port() {  # runs a hardware line with the bench's port for the device
    rm -f port.txt
    build/benchcom-sim > port.txt &
    local sim=$!
    for _ in $(seq 50); do [ -s port.txt ] && break; sleep 0.1; done
    local line="${1//\/dev\/ttyACM0/$(cat port.txt)}"
    for_a_while "$2" bash -c "$line" > hw.txt
    kill -INT $sim
    wait $sim
}
hw_benchcom() {
    with_bench_port "$1" 3
    check "benchcom opens the named device" has hw.txt " serial port COM9 connect OK "
}
hw_run() {
    with_bench_port "$1" 10
    check "benchcom-run opens the named device" has hw.txt "ISS:5A-01:ver: 07 05 40"
}

for line in "${lines[@]}"; do
    [ -n "${known[$line]:-}" ] && "${known[$line]}" "$line"
done
echo "readme: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
