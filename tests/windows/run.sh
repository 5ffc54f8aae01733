#!/usr/bin/env bash
# The Windows programs, cross-built with mingw-w64 and run under Wine against
# benchcom-sim, next to the Linux programs against an identical bench: the
# bytes on the wire, the console lines and the capture files must be the same,
# apart from the "\r\n" line ends of Windows text-mode output.
#   tests/windows/run.sh [LINUX_BUILD_DIR]   (default: build)
#
# Learned by trying: Wine's output goes to files, not pipes (its server keeps a
# pipe open); every run ends with `wineserver -k` before the pseudo-terminal
# closes; COM3 is mapped through the registry to a fixed link that each run
# points at the bench's terminal, since Wine rewrites dosdevices at start-up.
set -uo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
linux="$(cd "$repo/${1:-build}" && pwd)"
win="$repo/build-win"
export WINEPREFIX="$win/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
link="$win/com3"

install_missing() {
    local need=()
    command -v x86_64-w64-mingw32-g++-posix > /dev/null || need+=(g++-mingw-w64-x86-64)
    command -v wine > /dev/null || need+=(wine64 wine)
    "$repo/tools/scripts/apt-install" ${need[@]+"${need[@]}"}
}

prepare_wine() {
    [ -f "$WINEPREFIX/system.reg" ] && return
    wineboot -i > /dev/null 2>&1
    wine reg add 'HKLM\Software\Wine\Ports' /v COM3 /t REG_SZ /d "$link" /f > /dev/null 2>&1
    wineserver -w
}

install_missing
(cd "$repo" && cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake > /dev/null &&
    cmake --build build-win) || exit 1
prepare_wine

work="$(mktemp -d /tmp/benchcom-wine-XXXXXX)"
trap 'rm -rf "$work"; wineserver -k 2> /dev/null' EXIT
passed=0 failed=0
check() {
    local name="$1"
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
crlf_to_lf() { perl -0pe 's/\r\n/\n/g' "$1"; }
same_text() { cmp -s "$1" <(crlf_to_lf "$2"); }

# on_linux DIR ROUTINE [ARG...] / on_windows DIR ROUTINE [ARG...]: one run of
# benchcom-run on a fresh bench, its output, status and wire record in DIR.
on_linux() {
    local dir="$1"
    shift
    mkdir -p "$dir"
    (cd "$dir" && "$linux/benchcom-sim" --wire wire.bin -- "$linux/benchcom-run" "$@" > out.txt 2> err.txt
     echo $? > status)
}
on_windows() {
    local dir="$1"
    shift
    mkdir -p "$dir"
    (cd "$dir" && "$linux/benchcom-sim" --link "$link" --wire wire.bin -- bash -c \
        'wine "$0" "$@" > out.txt 2> err.txt; s=$?; wineserver -k; exit $s' "$win/benchcom-run.exe" "$@"
     echo $? > status)
}

compare() {  # compare NAME ROUTINE [ARG...]
    local name="$1"
    shift
    on_linux "$work/$name/linux" "$@"
    on_windows "$work/$name/windows" "$@"
    local l="$work/$name/linux" w="$work/$name/windows"
    check "$name: exit status" cmp -s "$l/status" "$w/status"
    check "$name: bytes on the wire" cmp -s "$l/wire.bin" "$w/wire.bin"
    check "$name: console lines" same_text "$l/out.txt" "$w/out.txt"
    for f in "$l"/*.csv "$l"/*.js; do
        [ -e "$f" ] || continue
        check "$name: $(basename "$f")" same_text "$f" "$w/$(basename "$f")"
    done
}

compare lookup lrnGetFloat :TIM SCAL
compare version issVersion
compare serial issSerialNumber
compare led_word sendMax7219Word 0x0C01
compare help_screen showMax7219Help
compare query scopeQueryValue ':TIM:SCAL?\n'
compare dual_capture scopePollDual
compare single_capture scopeReadAquire 2
compare panel panelWriteText 12 ' press 1 or 3       '

# Capture files that cannot be created (a directory holds each name): each is
# named on stderr, the console output is whole, and the status is 3.
mkdir -p "$work/no_files/op_scope.csv" "$work/no_files/gbookFtemp.js"
on_windows "$work/no_files" scopePollDual
check "capture files not created: status 3" grep -qx 3 "$work/no_files/status"
check "capture files not created: both named" test "$(grep -c '^capture file ./[a-zA-Z_]*\.[a-z]* could not be created: ' "$work/no_files/err.txt")" -eq 2
check "capture files not created: console whole" grep -q '^ 7998,' "$work/no_files/out.txt"

# Standard output closed by its reader: a capture under way completes its
# files and the tool then ends with 141; the main sequence ends at once
# instead of exercising the lines for 200 s.
closed_pipe() {  # closed_pipe DIR PROGRAM [ARG...]
    local dir="$1"
    shift
    mkdir -p "$dir"
    (cd "$dir" && timeout 60 "$linux/benchcom-sim" --link "$link" -- bash -c \
        'wine "$0" "$@" 2> err.txt | head -c 300 > /dev/null; s=${PIPESTATUS[0]}; wineserver -k; exit $s' "$@"
     echo $? > status)
}
closed_pipe "$work/closed_pipe" "$win/benchcom-run.exe" scopePollDual
check "closed pipe: status 141" grep -qx 141 "$work/closed_pipe/status"
check "closed pipe: CSV file whole" test "$(crlf_to_lf "$work/closed_pipe/op_scope.csv" | tail -n 1)" = "==========================="
check "closed pipe: chart script whole" grep -q ",0,0,'3999');" "$work/closed_pipe/gbookFtemp.js"
closed_pipe "$work/closed_pipe_main" "$win/benchcom.exe"
check "closed pipe: the main sequence ends" grep -qx 141 "$work/closed_pipe_main/status"

# Argument errors: usage on stderr, status 2, nothing opened.
(cd "$work" && wine "$win/benchcom-run.exe" sendMax7219Word 12x > bad.out 2> bad.err; echo $? > bad.status)
wineserver -k
check "bad argument: status 2" grep -qx 2 "$work/bad.status"
check "bad argument: usage on stderr" grep -q "usage: benchcom-run" "$work/bad.err"

# The main sequence: the first rounds of the exerciser, on both.
main_run() {  # main_run OUT COMMAND...
    local out="$1"
    shift
    "$linux/benchcom-sim" --link "$link" -- bash -c \
        '{ timeout -s KILL 4 "$@" > "$0"; } 2>/dev/null; wineserver -k 2>/dev/null; exit 0' "$out" "$@"
}
main_run "$work/main.linux" "$linux/benchcom"
main_run "$work/main.windows" wine "$win/benchcom.exe"
head -n 22 "$work/main.linux" > "$work/main.linux.head"
check "main sequence: the same first rounds" same_text "$work/main.linux.head" \
    <(crlf_to_lf "$work/main.windows" | head -n 22)

echo "skipped under Wine: the refusal of a second open (Wine does not refuse one), the modem-control"
echo "lines and break (a pseudo-terminal has none), and the no-device message (Wine opens a COM port"
echo "whose device is missing and fails only at SetupComm)"
echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
