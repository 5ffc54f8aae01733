#!/usr/bin/env bash
# The Windows programs, cross-built with mingw-w64 and run under Wine against
# benchcom-sim, next to the Linux programs against an identical bench: the
# bytes on the wire, the console lines and the capture files must be the same,
# apart from the "\r\n" line ends of Windows text-mode output.
#   tests/windows/run.sh [LINUX_BUILD_DIR]   (default: build)
#
# benchcom-sim gives its command BENCHCOM_PORT naming its Linux terminal, which
# names no port on Windows: the Windows programs run without it, on COM3.
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
        'unset BENCHCOM_PORT; wine "$0" "$@" > out.txt 2> err.txt; s=$?; wineserver -k; exit $s' \
        "$win/benchcom-run.exe" "$@"
     echo $? > status)
}

same_run() {  # same_run NAME LINUX_DIR WINDOWS_DIR: the two runs' status, wire, console and files
    local name="$1" l="$2" w="$3"
    check "$name: exit status" cmp -s "$l/status" "$w/status"
    check "$name: bytes on the wire" cmp -s "$l/wire.bin" "$w/wire.bin"
    check "$name: console lines" same_text "$l/out.txt" "$w/out.txt"
    for f in "$l"/*.csv "$l"/*.js; do
        [ -e "$f" ] || continue
        check "$name: $(basename "$f")" same_text "$f" "$w/$(basename "$f")"
    done
}

compare() {  # compare NAME ROUTINE [ARG...]
    local name="$1"
    shift
    on_linux "$work/$name/linux" "$@"
    on_windows "$work/$name/windows" "$@"
    same_run "$name" "$work/$name/linux" "$work/$name/windows"
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
main_run "$work/main.windows" env -u BENCHCOM_PORT wine "$win/benchcom.exe"
head -n 22 "$work/main.linux" > "$work/main.linux.head"
check "main sequence: the same first rounds" same_text "$work/main.linux.head" \
    <(crlf_to_lf "$work/main.windows" | head -n 22)

# The network ports: the Windows programs reach the bench through Debian's
# ser2net, as RFC 2217 and as raw TCP, and must send and write what the Linux
# programs do on the bench's own terminal.
[ -x /usr/sbin/ser2net ] || "$repo/tools/scripts/apt-install" ser2net
. "$repo/tests/network/ser2net.sh"
yaml="$(readme_ser2net_yaml "$repo")"  # the README's configuration, on the bench's terminal
on_windows_net() {  # on_windows_net DIR KIND ROUTINE [ARG...]
    local dir="$1" kind="$2"
    shift 2
    mkdir -p "$dir"
    (
        cd "$dir" || exit
        "$linux/benchcom-sim" --view /dev/null --wire wire.bin > sim.txt &
        sim=$!
        for _ in $(seq 100); do [ -s sim.txt ] && break; sleep 0.05; done
        if start_ser2net "$dir" "$(head -n 1 sim.txt)" "$yaml"; then
            port=$rfc_port
            [ "$kind" = socket ] && port=$raw_port
            BENCHCOM_PORT="$kind://127.0.0.1:$port" wine "$win/benchcom-run.exe" "$@" > out.txt 2> err.txt
            echo $? > status
            wineserver -k
            stop_ser2net
        fi
        kill -INT "$sim"
        wait "$sim"
    )
}
for kind in rfc2217 socket; do
    on_windows_net "$work/net_$kind" "$kind" issVersion
    same_run "$kind version" "$work/version/linux" "$work/net_$kind"
    on_windows_net "$work/net_dual_$kind" "$kind" scopePollDual
    same_run "$kind dual capture" "$work/dual_capture/linux" "$work/net_dual_$kind"
done

# A refused connection: the specified failure line, and the reason on stderr.
/usr/bin/python3 -c 'import socket, time; s = socket.socket(); s.bind(("127.0.0.1", 0))
print(s.getsockname()[1], flush=True); time.sleep(60)' > "$work/refusing.port" &
holder=$!
for _ in $(seq 100); do [ -s "$work/refusing.port" ] && break; sleep 0.05; done
(cd "$work" && BENCHCOM_PORT="rfc2217://127.0.0.1:$(cat refusing.port)" wine "$win/benchcom-run.exe" issVersion \
    > refused.out 2> refused.err; echo $? > refused.status)
wineserver -k
kill "$holder"
wait "$holder" 2> /dev/null
check "refused connection: status 1" grep -qx 1 "$work/refused.status"
check "refused connection: the failure line" grep -qF 'serial port COM9 connect fail \\.\COM3 error 2' "$work/refused.out"
check "refused connection: the reason" grep -qF "connection refused by 127.0.0.1:" "$work/refused.err"

echo "skipped under Wine: the refusal of a second open (Wine does not refuse one), the modem-control"
echo "lines and break (a pseudo-terminal has none), and the no-device message (Wine opens a COM port"
echo "whose device is missing and fails only at SetupComm)"
echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
