#!/usr/bin/env bash
# The Windows programs, cross-built with mingw-w64 and run under Wine against
# benchcom-sim, next to the Linux programs against an identical bench: the
# bytes on the wire, the console lines and the capture files must be the same,
# apart from the "\r\n" line ends of Windows text-mode output.
#   tests/windows/run.sh [LINUX_BUILD_DIR]   (default: build)
#
# benchcom-sim points BENCHCOM_PORT at its terminal for the Linux programs; the
# Windows programs read it too, so under Wine it is unset and COM3 is mapped.
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
link5="$win/com5"

install_missing() {
    local need=()
    command -v x86_64-w64-mingw32-g++-posix > /dev/null || need+=(g++-mingw-w64-x86-64)
    command -v wine > /dev/null || need+=(wine64 wine)
    "$repo/tools/scripts/apt-install" ${need[@]+"${need[@]}"}
}

prepare_wine() {
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i > /dev/null 2>&1
    if ! grep -qs '"COM5"' "$WINEPREFIX/system.reg"; then
        wine reg add 'HKLM\Software\Wine\Ports' /v COM3 /t REG_SZ /d "$link" /f > /dev/null 2>&1
        wine reg add 'HKLM\Software\Wine\Ports' /v COM5 /t REG_SZ /d "$link5" /f > /dev/null 2>&1
    fi
    wineserver -w
}

install_missing
(cd "$repo" && cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake > /dev/null &&
    cmake --build build-win) || exit 1
prepare_wine

work="$(mktemp -d /tmp/benchcom-wine-XXXXXX)"
trap 'rm -rf "$work"; wineserver -k 2> /dev/null' EXIT
. "$repo/tests/support/checks.sh"
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
        'unset BENCHCOM_PORT; wine "$0" "$@" 2> err.txt | head -c 300 > /dev/null; s=${PIPESTATUS[0]}
         wineserver -k; exit $s' "$@"
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
main_run "$work/main.windows" env -u BENCHCOM_PORT wine "$win/benchcom.exe"
head -n 22 "$work/main.linux" > "$work/main.linux.head"
check "main sequence: the same first rounds" same_text "$work/main.linux.head" \
    <(crlf_to_lf "$work/main.windows" | head -n 22)

# BENCHCOM_PORT on the Windows build. The simulated bench inside the program:
# the same console lines and files as the Linux build's, and a trace that
# says the same, time stamps apart.
sim_run() {  # sim_run DIR PROGRAM ROUTINE [ARG...]
    local dir="$1" program="$2"
    shift 2
    mkdir -p "$dir"
    (cd "$dir" && BENCHCOM_PORT=sim BENCHCOM_TRACE=port.trace "$program" "$@" > out.txt 2> err.txt
     echo $? > status)
}
# The trace without its time stamps, and without its first line, which names
# the version each build was stamped with.
untimed() { crlf_to_lf "$1" | tail -n +2 | cut -c14-; }
sim_run "$work/sim/linux" "$linux/benchcom-run" scopePollDual
sim_run "$work/sim/windows" wine "$win/benchcom-run.exe" scopePollDual
wineserver -k
check "sim dual capture: status 0" grep -qx 0 "$work/sim/windows/status"
check "sim dual capture: console lines" same_text "$work/sim/linux/out.txt" "$work/sim/windows/out.txt"
for f in op_scope.csv gbookFtemp.js; do
    check "sim dual capture: $f" same_text "$work/sim/linux/$f" "$work/sim/windows/$f"
done
check "sim dual capture: the trace names the program" grep -q '^# benchcom-run [0-9]' "$work/sim/windows/port.trace"
check "sim dual capture: the trace" cmp -s <(untimed "$work/sim/linux/port.trace") \
    <(untimed "$work/sim/windows/port.trace")

# Standard output missing (Wine hands the program a handle every write fails
# on): opened on NUL, the capture's files are as with it, and the run ends 0.
mkdir -p "$work/no_stdout"
(cd "$work/no_stdout" && BENCHCOM_PORT=sim wine "$win/benchcom-run.exe" scopePollDual >&- 2> err.txt
 echo $? > status)
wineserver -k
check "standard output closed: status 0" grep -qx 0 "$work/no_stdout/status"
for f in op_scope.csv gbookFtemp.js; do
    check "standard output closed: $f" same_text "$work/sim/linux/$f" "$work/no_stdout/$f"
done

# A second capture in the same folder takes the first one's place
# (MoveFileEx), leaving nothing else beside them.
(cd "$work/sim/windows" && BENCHCOM_PORT=sim wine "$win/benchcom-run.exe" scopePollDual > again.txt 2> again.err
 echo $? > again.status)
wineserver -k
check "capture over an earlier one: status 0" grep -qx 0 "$work/sim/windows/again.status"
for f in op_scope.csv gbookFtemp.js; do
    check "capture over an earlier one: $f" same_text "$work/sim/linux/$f" "$work/sim/windows/$f"
done
check "capture over an earlier one: no file left beside it" \
    test -z "$(find "$work/sim/windows" -name '.op_scope*' -o -name '.gbookFtemp*')"

# Ctrl-C during a single capture's settings queries: the earlier file stays
# as it was and nothing of the cut capture is left.
mkdir -p "$work/cut_short"
echo "an earlier capture, whole" > "$work/cut_short/op_scope1.csv"
(cd "$work/cut_short" && BENCHCOM_PORT=sim wine "$win/benchcom-run.exe" scopeReadAquire 1 > out.txt 2> err.txt
 echo $? > status) &
for _ in $(seq 200); do grep -q "CHAN1:PROB?" "$work/cut_short/out.txt" 2> /dev/null && break; sleep 0.05; done
pkill -INT -f "^$win/benchcom-run.exe"
wait
wineserver -k
check "capture cut short: status 130" grep -qx 130 "$work/cut_short/status"
check "capture cut short: the earlier file as it was" \
    test "$(cat "$work/cut_short/op_scope1.csv")" = "an earlier capture, whole"
check "capture cut short: nothing of its own left" test -z "$(find "$work/cut_short" -name '.op_scope1*')"

# A trace that cannot be written (Wine's Z: drive reaches /dev/full): said,
# and the run ends with 3.
(cd "$work" && BENCHCOM_TRACE='Z:\dev\full' BENCHCOM_PORT=sim wine "$win/benchcom-run.exe" issVersion \
    > full_trace.out 2> full_trace.err; echo $? > full_trace.status)
wineserver -k
check "trace on a full disk: status 3" grep -qx 3 "$work/full_trace.status"
check "trace on a full disk: said" grep -qF 'port trace Z:\dev\full could not be written whole: No space left on device' \
    "$work/full_trace.err"

# benchcom-run's console: scripts, raw routines, --for, -C, status 4, help and
# the shell from a file, on the Windows build as on the Linux one.
cat > "$work/procedure.txt" << 'SCRIPT'
# the adapter, the range finder, the display, raw frames, the instrument
issVersion
srf08Range
issSetIoMode 0            # the pins in I/O mode for the display
sendMax7219Word 0x0C01
send 5A 01 read 3
scpi ":CHAN1:SCAL?"
wait 50
SCRIPT
for build in linux windows; do
    mkdir -p "$work/script/$build"
    cp "$work/procedure.txt" "$work/script/$build/"
done
sim_run "$work/script/linux" "$linux/benchcom-run" --script procedure.txt
sim_run "$work/script/windows" wine "$win/benchcom-run.exe" --script procedure.txt
wineserver -k
check "script: status 0" grep -qx 0 "$work/script/windows/status"
check "script: the same console lines" same_text "$work/script/linux/out.txt" "$work/script/windows/out.txt"
check "script: one open" test "$(grep -c 'connect OK' "$work/script/windows/out.txt")" -eq 1
check "script: the raw frame's reply" grep -q $'^< 07 05 00\r$' "$work/script/windows/out.txt"
printf 'issVersion\nissSetIoMode\n' > "$work/bad.txt"
(cd "$work" && BENCHCOM_PORT=sim wine "$win/benchcom-run.exe" --script bad.txt > bad-script.out 2> bad-script.err
 echo $? > bad-script.status)
wineserver -k
check "bad script line: status 2" grep -qx 2 "$work/bad-script.status"
check "bad script line: nothing opened" test ! -s "$work/bad-script.out"
check "bad script line: named with its line" grep -qF 'benchcom-run: bad.txt:2: issSetIoMode takes 1 argument (value), not 0' \
    "$work/bad-script.err"

# --for ends an endless demonstration with status 0; -C DIR takes the captures.
mkdir -p "$work/dir/captures"
sim_run "$work/for" wine "$win/benchcom-run.exe" --for 2 panelKeyDemo
sim_run "$work/dir" wine "$win/benchcom-run.exe" -C captures scopePollDual
wineserver -k
check "--for: status 0" grep -qx 0 "$work/for/status"
check "--for: the demonstration ran" grep -q "^keys: 00 00 00" "$work/for/out.txt"
check "-C: status 0" grep -qx 0 "$work/dir/status"
check "-C: the capture in the directory" grep -q "^Waveform Data," "$work/dir/captures/op_scope.csv"

# An adapter that does not answer: status 4 and its line.
mkdir -p "$work/silent"
(cd "$work/silent" && "$linux/benchcom-sim" --fault adapter-silent --link "$link" -- bash -c \
    'unset BENCHCOM_PORT; wine "$0" issVersion > out.txt 2> err.txt; s=$?; wineserver -k; exit $s' \
    "$win/benchcom-run.exe"; echo $? > status)
check "silent adapter: status 4" grep -qx 4 "$work/silent/status"
check "silent adapter: the request printed as the reply" grep -q "^ISS:5A-01:ver: 5A 01 00 " "$work/silent/out.txt"
check "silent adapter: the line that says so" grep -qF \
    'benchcom-run: 1 exchange without a whole reply, the first in issVersion: adapter frame 5A 01 got 0 of 3 reply bytes' \
    "$work/silent/err.txt"

# Help: the nearest names, one routine's entry, a number out of range.
(cd "$work" && wine "$win/benchcom-run.exe" scopeReadAcquire 1 > near.out 2> near.err; echo $? > near.status
 wine "$win/benchcom-run.exe" help sendMAX2719xyz > entry.out 2> entry.err
 wine "$win/benchcom-run.exe" count_rd 99999999999 > range.out 2> range.err)
wineserver -k
check "nearest name: status 2" grep -qx 2 "$work/near.status"
check "nearest name: did you mean" grep -qF "unknown routine 'scopeReadAcquire'; did you mean scopeReadAquire?" "$work/near.err"
check "help ROUTINE: its entry" grep -q $'^sendMAX2719xyz x y z\r$' "$work/entry.out"
check "a number out of range says so" grep -qF "'99999999999' is out of range" "$work/range.err"

# The shell reading its lines from a file (Wine gives no console to type at):
# Ctrl-C ends the endless routine, and the next line runs on the same port.
mkdir -p "$work/shell"
printf 'panelKeyDemo\nissVersion\nquit\n' > "$work/shell/typed.txt"
(cd "$work/shell" && BENCHCOM_PORT=sim wine "$win/benchcom-run.exe" --shell < typed.txt > out.txt 2> err.txt
 echo $? > status) &
for _ in $(seq 100); do grep -q "^keys:" "$work/shell/out.txt" 2> /dev/null && break; sleep 0.1; done
pkill -INT -f "^$win/benchcom-run.exe --shell"
wait
wineserver -k
check "shell: status 0 after quit" grep -qx 0 "$work/shell/status"
check "shell: Ctrl-C ends the routine" grep -qF "benchcom-run: panelKeyDemo ended by Ctrl-C" "$work/shell/err.txt"
check "shell: the next line runs after it" grep -q "^ISS:5A-01:ver: 07 05 40 " "$work/shell/out.txt"
check "shell: one open" test "$(grep -c 'connect OK' "$work/shell/out.txt")" -eq 1

# The main sequence on the bench inside: the lines come up after the first round.
(cd "$work" && { BENCHCOM_PORT=sim timeout -s KILL 4 wine "$win/benchcom.exe" > main.sim; } 2> /dev/null)
wineserver -k
check "sim main sequence: lines down, then CTS, DSR and carrier up" same_text <(printf '%s\n' \
    "GetCommModemStatus: 0000 0010 0020 0040 0080 " "GetCommModemStatu_: 00B0 0010 0020 0040 0080 ") \
    <(crlf_to_lf "$work/main.sim" | grep GetCommModemStat | head -n 2)

# Ctrl-C (Wine passes SIGINT on as the console's Ctrl-C event): the main
# sequence ends with 130 at its next wait, its trace written out to the close.
(cd "$work" && BENCHCOM_PORT=sim BENCHCOM_TRACE=ctrl_c.trace wine "$win/benchcom.exe" > ctrl_c.out 2> /dev/null
 echo $? > ctrl_c.status) &
for _ in $(seq 100); do grep -q "GetCommModemStatu_" "$work/ctrl_c.out" 2> /dev/null && break; sleep 0.1; done
pkill -INT -f "^$win/benchcom.exe"
wait
wineserver -k
check "Ctrl-C: status 130" grep -qx 130 "$work/ctrl_c.status"
check "Ctrl-C: the trace written out to the close" test "$(crlf_to_lf "$work/ctrl_c.trace" | tail -n 1 | cut -c14-)" = close

# Record and replay across the systems: a trace of either build replays on
# both, in real time and on the virtual clock, with the recording's console
# lines and files (Windows text-mode line ends apart) and its status.
replay_run() {  # replay_run DIR TRACE MODE PROGRAM [ARG...]: in DIR, a copy of TRACE replayed
    local dir="$1" trace="$2" mode="$3" program="$4"
    shift 4
    mkdir -p "$dir"
    cp "$trace" "$dir/recorded.trace"
    (cd "$dir" && BENCHCOM_PORT="$mode:recorded.trace" $program "$@" > out.txt 2> err.txt; echo $? > status)
    wineserver -k 2> /dev/null
}
# The text as the Linux build writes it: a Windows program's "\r\n" made "\n"
# (only there: a Linux console line may itself hold "\n\r\n").
as_linux() { if [ "$2" = windows ]; then crlf_to_lf "$1"; else cat "$1"; fi; }
same_replay() {  # same_replay NAME RECORDED_DIR ITS_SYSTEM REPLAYED_DIR ITS_SYSTEM
    check "$1: status" cmp -s "$2/status" "$4/status"
    check "$1: console lines" cmp -s <(as_linux "$2/out.txt" "$3") <(as_linux "$4/out.txt" "$5")
    for f in "$2"/*.csv "$2"/*.js; do
        [ -e "$f" ] || continue
        check "$1: $(basename "$f")" cmp -s <(as_linux "$f" "$3") <(as_linux "$4/$(basename "$f")" "$5")
    done
}
for mode in replay replay-fast; do
    replay_run "$work/replay/$mode/linux_on_windows" "$work/sim/linux/port.trace" $mode "wine $win/benchcom-run.exe" \
        scopePollDual
    same_replay "$mode of a Linux trace on Windows" "$work/sim/linux" linux "$work/replay/$mode/linux_on_windows" windows
    replay_run "$work/replay/$mode/windows_on_windows" "$work/sim/windows/port.trace" $mode \
        "wine $win/benchcom-run.exe" scopePollDual
    same_replay "$mode of a Windows trace on Windows" "$work/sim/windows" windows \
        "$work/replay/$mode/windows_on_windows" windows
    check "$mode of a Windows trace on Windows: the console byte for byte" \
        cmp -s "$work/sim/windows/out.txt" "$work/replay/$mode/windows_on_windows/out.txt"
    replay_run "$work/replay/$mode/windows_on_linux" "$work/sim/windows/port.trace" $mode "$linux/benchcom-run" \
        scopePollDual
    same_replay "$mode of a Windows trace on Linux" "$work/sim/windows" windows "$work/replay/$mode/windows_on_linux" linux
done
# More of the routines, recorded on Linux and replayed fast on Windows.
for routine in "issSerialNumber" "scopeReadAquire 2" "showMax7219Help" "ppSendPoint 10 20 1 2 3"; do
    name="${routine%% *}"
    sim_run "$work/replay/rec_$name" "$linux/benchcom-run" $routine
    replay_run "$work/replay/rep_$name" "$work/replay/rec_$name/port.trace" replay-fast "wine $win/benchcom-run.exe" \
        $routine
    same_replay "replay-fast of $name on Windows" "$work/replay/rec_$name" linux "$work/replay/rep_$name" windows
done
# Recorded on benchcom-sim's terminal (a local port whose modem-line calls fail).
mkdir -p "$work/replay/rec_terminal"
(cd "$work/replay/rec_terminal" && BENCHCOM_TRACE=port.trace "$linux/benchcom-sim" --view /dev/null -- \
    "$linux/benchcom-run" scopePollDual > out.txt 2> err.txt; echo $? > status)
check "recorded on the terminal" grep -q "open /dev/pts/" "$work/replay/rec_terminal/port.trace"
replay_run "$work/replay/rep_terminal" "$work/replay/rec_terminal/port.trace" replay-fast \
    "wine $win/benchcom-run.exe" scopePollDual
same_replay "replay-fast on Windows of a recording on the terminal" "$work/replay/rec_terminal" linux \
    "$work/replay/rep_terminal" windows
# The main sequence cut with Ctrl-C above, and a demonstration cut on
# Linux: each replay ends as its recording did, with 130.
mkdir -p "$work/replay/ctrl_c" && cp "$work/ctrl_c.out" "$work/replay/ctrl_c/out.txt" &&
    cp "$work/ctrl_c.status" "$work/replay/ctrl_c/status"
replay_run "$work/replay/ctrl_c_windows" "$work/ctrl_c.trace" replay-fast "wine $win/benchcom.exe"
same_replay "replay-fast of the main sequence's Ctrl-C on Windows" "$work/replay/ctrl_c" windows \
    "$work/replay/ctrl_c_windows" windows
replay_run "$work/replay/ctrl_c_linux" "$work/ctrl_c.trace" replay-fast "$linux/benchcom"
same_replay "replay-fast of the main sequence's Ctrl-C on Linux" "$work/replay/ctrl_c" windows \
    "$work/replay/ctrl_c_linux" linux
mkdir -p "$work/replay/demo"
(cd "$work/replay/demo" && { BENCHCOM_PORT=sim BENCHCOM_TRACE=port.trace timeout --preserve-status -s INT 2 "$linux/benchcom-run" \
    demoMax7219Xyz > out.txt; echo $? > status; })
check "the demonstration recorded to its Ctrl-C" grep -qx 130 "$work/replay/demo/status"
for mode in replay replay-fast; do
    replay_run "$work/replay/demo_$mode" "$work/replay/demo/port.trace" $mode "wine $win/benchcom-run.exe" \
        demoMax7219Xyz
    same_replay "$mode of a demonstration cut short, on Windows" "$work/replay/demo" linux "$work/replay/demo_$mode" \
        windows
done
# A changed program: the line that says where, and status 5; a file that is
# no trace: error 13, as any failed open.
(mkdir -p "$work/replay/changed" && cd "$work/replay/changed" &&
    BENCHCOM_PORT=sim BENCHCOM_TRACE=version.trace "$linux/benchcom-run" issVersion > /dev/null &&
    sed 's/> 5a 01 /> 5a 03 /' version.trace > changed.trace &&
    BENCHCOM_PORT=replay-fast:changed.trace wine "$win/benchcom-run.exe" issVersion > out.txt 2> err.txt
    echo $? > status; printf 'hello\n' > bad.trace
    BENCHCOM_PORT=replay:bad.trace wine "$win/benchcom-run.exe" issVersion > bad.out 2> bad.err; echo $? > bad.status)
wineserver -k
check "a changed program: status 5" grep -qx 5 "$work/replay/changed/status"
check "a changed program: where it differs" grep -qxF "replay of changed.trace diverged at line 8: the recording \
sends 5a 03, the program sent 5a 01"$'\r' "$work/replay/changed/err.txt"
check "no trace: error 13" grep -qF 'connect fail \\.\COM3 error 13' "$work/replay/changed/bad.out"
check "no trace: the line and what is wrong" grep -qF "the trace bad.trace cannot be replayed: line 1: it is not a \
benchcom port trace" "$work/replay/changed/bad.err"

# COM5 chosen on the command line, served by the bench that COM5 is mapped to
# (nothing stands behind COM3 meanwhile).
(mkdir -p "$work/com5" && cd "$work/com5" && "$linux/benchcom-sim" --link "$link5" -- bash -c \
    'BENCHCOM_PORT=COM5 wine "$0" issVersion > out.txt 2> err.txt; s=$?; wineserver -k; exit $s' \
    "$win/benchcom-run.exe"; echo $? > status)
check "COM5: status 0" grep -qx 0 "$work/com5/status"
check "COM5: the adapter answers" grep -q "ISS:5A-01:ver: 07 05 40" "$work/com5/out.txt"

# The real adapter's eight-byte serial number, through Windows' own
# ClearCommError as Wine gives it: the demonstration's two IO-mode replies
# are in their place, not one byte late.
(mkdir -p "$work/serial8" && cd "$work/serial8" && "$linux/benchcom-sim" --link "$link" -- bash -c \
    'unset BENCHCOM_PORT; timeout -s INT 4 wine "$0" demoMax7219Xyz > out.txt 2> err.txt; wineserver -k; exit 0' \
    "$win/benchcom-run.exe")
check "eight-byte serial number: the IO-mode replies in their place" \
    test "$(crlf_to_lf "$work/serial8/out.txt" | grep -c '^ISS:5A-02-00:IO-mode: FF 00 $')" -eq 2

# What a program left behind on the terminal (an interrupted panel
# demonstration's unread status bytes): the Windows port opens empty under
# Wine too. The test holds the terminal open, so that the bench never sees
# its last client go and the bytes stay in the terminal's queue.
mkdir -p "$work/left"
"$linux/benchcom-sim" --view /dev/null --link "$link" > "$work/left/sim.txt" &
left_sim=$!
for _ in $(seq 100); do [ -s "$work/left/sim.txt" ] && break; sleep 0.05; done
exec 3< "$link"
sleep 0.5
(cd "$work/left" && BENCHCOM_PORT="$link" timeout -s INT 2 "$linux/benchcom-run" panelKeyDemo > demo.txt)
(cd "$work/left" && env -u BENCHCOM_PORT wine "$win/benchcom-run.exe" scopeQueryValue ':TIM:SCAL?\n' > query.txt 2> query.err
 BENCHCOM_PORT="$link" timeout -s INT 2 "$linux/benchcom-run" panelKeyDemo > /dev/null
 env -u BENCHCOM_PORT wine "$win/benchcom-run.exe" issVersion > version.txt 2> version.err; wineserver -k)
exec 3<&-
kill -INT "$left_sim"
wait "$left_sim"
check "left behind: the query reads its own reply" grep -q $'\r''   11,2.500000E-06, 2.500e-06'$'\r$' "$work/left/query.txt"
check "left behind: the version reads its own reply" grep -q "^ISS:5A-01:ver: 07 05 40 "$'\r$' "$work/left/version.txt"

# A value that names no port: the routine's own line on stdout, the reason on stderr.
(cd "$work" && BENCHCOM_PORT=bench-port wine "$win/benchcom-run.exe" issVersion > bad-port.out 2> bad-port.err
 echo $? > bad-port.status)
wineserver -k
check "bad port: status 1" grep -qx 1 "$work/bad-port.status"
check "bad port: error 123 on stdout" grep -qF 'connect fail \\.\COM3 error 123' "$work/bad-port.out"
check "bad port: the reason on stderr" grep -q "^benchcom-run: cannot open .*names no port.*--list-ports" \
    "$work/bad-port.err"
# Control bytes in the value reach the terminal escaped, in quotes.
(cd "$work" && BENCHCOM_PORT=$'bench\x1b[2Jport' wine "$win/benchcom-run.exe" issVersion > esc-port.out \
    2> esc-port.err)
wineserver -k
check "port value with an escape sequence: shown escaped" grep -qF 'BENCHCOM_PORT="bench\x1b[2Jport" names no port' \
    "$work/esc-port.err"
check "port value with an escape sequence: no raw escape" test -z "$(tr -d -c '\033' < "$work/esc-port.err")"
# COM3 with no device behind it (benchcom-sim removed its link): the open
# fails, as on Windows, with the reason on stderr.
rm -f "$link"
(cd "$work" && wine "$win/benchcom-run.exe" issVersion > no-device.out 2> no-device.err; echo $? > no-device.status)
wineserver -k
check "no device: status 1" grep -qx 1 "$work/no-device.status"
check "no device: the open fails" grep -qF 'connect fail \\.\COM3 error' "$work/no-device.out"
check "no device: the reason on stderr" grep -qF 'cannot open \\.\COM3: no serial device answers there' \
    "$work/no-device.err"
(cd "$work" && wine "$win/benchcom-run.exe" --list-ports > list.out 2> list.err; echo $? > list.status)
wineserver -k
check "--list-ports: status 0" grep -qx 0 "$work/list.status"
check "--list-ports: a line" test -s "$work/list.out"

# The zip a Windows user is handed: unpacked, and run from its own folder.
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win/CMakeCache.txt")"
(cd "$win" && cpack -G ZIP -B "$work/zip") > "$work/cpack.txt" 2>&1
check "cpack makes the Windows zip" test $? -eq 0
(cd "$work/zip" && cmake -E tar xf "benchcom-$version-win64.zip")
unpacked="$work/zip/benchcom-$version-win64"
for f in benchcom.exe benchcom-run.exe README.txt viewer/index.html; do
    check "the zip holds $f" test -s "$unpacked/$f"
done
check "the zip's README.txt has Windows line ends" grep -q $'\r$' "$unpacked/README.txt"
dlls="$(x86_64-w64-mingw32-objdump -p "$unpacked"/*.exe | awk '/DLL Name:/ {print $3}' | sort -u)"
check "the programs need no DLL beyond Windows' own" \
    test -n "$dlls" -a -z "$(grep -viE '^(kernel32|msvcrt|advapi32|setupapi|cfgmgr32|ws2_32)\.dll$' <<< "$dlls")"
(cd "$unpacked" && wine ./benchcom-run.exe --version > version.out 2>&1)
wineserver -k
check "benchcom-run.exe --version from the zip" \
    grep -qE "^benchcom-run $version( \(git [^()]+\))?"$'\r$' "$unpacked/version.out"
# A routine from the unpacked folder, on the simulated bench inside it.
(cd "$unpacked" && BENCHCOM_PORT=sim wine ./benchcom-run.exe issVersion > routine.out 2>&1)
wineserver -k
check "benchcom-run.exe from the zip runs a routine" \
    grep -q "^ISS:5A-01:ver: 07 05 40 "$'\r$' "$unpacked/routine.out"

# The network ports: the Windows programs reach the bench through Debian's
# ser2net, as RFC 2217 and as raw TCP, and must send and write what the Linux
# programs do on the bench's own terminal.
[ -x /usr/sbin/ser2net ] || "$repo/tools/scripts/apt-install" ser2net
. "$repo/tests/net/ser2net.sh"
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

# Recorded through ser2net by the Linux build, replayed on Windows.
(
    dir="$work/replay/rec_ser2net"
    mkdir -p "$dir" && cd "$dir" || exit
    "$linux/benchcom-sim" --view /dev/null > sim.txt &
    sim=$!
    for _ in $(seq 100); do [ -s sim.txt ] && break; sleep 0.05; done
    if start_ser2net "$dir" "$(head -n 1 sim.txt)" "$yaml"; then
        BENCHCOM_TRACE=port.trace BENCHCOM_PORT="rfc2217://127.0.0.1:$rfc_port" "$linux/benchcom-run" issSerialNumber \
            > out.txt 2> err.txt
        echo $? > status
        stop_ser2net
    fi
    kill -INT "$sim"
    wait "$sim"
)
check "recorded through ser2net" grep -q "open rfc2217://127.0.0.1:" "$work/replay/rec_ser2net/port.trace"
for mode in replay replay-fast; do
    replay_run "$work/replay/rep_ser2net_$mode" "$work/replay/rec_ser2net/port.trace" $mode \
        "wine $win/benchcom-run.exe" issSerialNumber
    same_replay "$mode on Windows of a recording through ser2net" "$work/replay/rec_ser2net" linux \
        "$work/replay/rep_ser2net_$mode" windows
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

# Hostile servers (tests/net/hostile_server.py) through Winsock: none holds
# the tool past its limits, and each failed open says why.
hostile() {  # hostile MODE: starts the server; its port in $hostile_port, its pid in $hostile_pid
    # A file of its own: the background job empties a shared one only when it
    # gets to it, and the last server's port would be read meanwhile.
    local file="$work/hostile-$1.port"
    /usr/bin/python3 "$repo/tests/net/hostile_server.py" "$1" > "$file" &
    hostile_pid=$!
    for _ in $(seq 200); do [ -s "$file" ] && break; sleep 0.05; done
    hostile_port="$(cat "$file")"
}
on_hostile() {  # on_hostile NAME MODE SCHEME ROUTINE: the run in $work/NAME, its seconds in NAME/seconds
    local dir="$work/$1" mode="$2" scheme="$3"
    shift 3
    mkdir -p "$dir"
    hostile "$mode"
    (cd "$dir" && start=$(date +%s) &&
        BENCHCOM_PORT="$scheme://127.0.0.1:$hostile_port" timeout 60 wine "$win/benchcom-run.exe" "$@" \
            > out.txt 2> err.txt
     echo $? > status; echo $(($(date +%s) - start)) > seconds)
    wineserver -k
    kill "$hostile_pid"
    wait "$hostile_pid" 2> /dev/null
}
on_hostile flood flood rfc2217 issVersion
check "flooding server: status 1 within its limit" test "$(cat "$work/flood/status")" = 1 -a \
    "$(cat "$work/flood/seconds")" -le 5
check "flooding server: error 31" grep -qF 'connect fail \\.\COM3 error 31' "$work/flood/out.txt"
check "flooding server: the reason" grep -qF "sent requests without end and did not read the answers" \
    "$work/flood/err.txt"
on_hostile flood_later flood-later rfc2217 scopePollDual
check "server flooding mid-capture: status 4 (no reply)" grep -qx 4 "$work/flood_later/status"
check "server flooding mid-capture: CSV file whole" \
    test "$(crlf_to_lf "$work/flood_later/op_scope.csv" | tail -n 1)" = "==========================="
check "server flooding mid-capture: chart script whole" grep -q ",0,0,'3999');" "$work/flood_later/gbookFtemp.js"
on_hostile other_values other-values rfc2217 issVersion
check "server taking no setting: SetCommState fails" grep -qF 'SetCommState fail  87' "$work/other_values/out.txt"
check "server taking no setting: the reason" \
    grep -qF "SetCommState failed: the server answered 19200 baud with 9600 baud" "$work/other_values/err.txt"
on_hostile closing close socket issVersion
check "server closing at once: error 5" grep -qF 'connect fail \\.\COM3 error 5' "$work/closing/out.txt"
check "server closing at once: the reason" grep -qF "closed the connection as soon as it was made" \
    "$work/closing/err.txt"

echo "skipped under Wine: the refusal of a second open (Wine does not refuse one), and the modem-control"
echo "lines and break on a real port (a pseudo-terminal has none; the bench inside has them, checked above)"
finish windows
