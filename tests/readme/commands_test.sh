#!/usr/bin/env bash
# Runs every command the READMEs show, as a person would type it, on the
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
. "$repo/tests/support/checks.sh"

# has FILE TEXT: FILE holds TEXT, which may span lines.
has() { T="$2" perl -0777 -ne 'exit(index($_, $ENV{T}) < 0 ? 1 : 0)' "$1"; }
# Runs an endless command for a while, then interrupts it as Ctrl-C would.
for_a_while() {
    local seconds="$1"
    shift
    timeout --preserve-status -s INT "$seconds" "$@"
}

declare -A known
known['./build.sh run    # build (installing what is missing), then run benchcom on the simulated bench']=quick_run
known['./build.sh test   # build (installing what is missing), then run the whole test suite']=ci
known['build/benchcom-sim --ch1 sine,50000,3 --ch2 square,100000,3,25 -- build/benchcom-run scopePollDual > capture.txt']=capture
known['tests/viewer/run.sh gbookFtemp.js op_scope.csv viewer.png']=viewer
known['build/benchcom-sim -- build/benchcom-run showMax7219Help > /dev/null']=help_screen
known['build/benchcom-sim --view display.txt -- build/benchcom-run demoMax7219Patterns > /dev/null']=patterns
known['build/benchcom-sim --press 1@2s,3@5s -- build/benchcom-run panelKeyDemo']=keys
known['cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake && cmake --build build-win']=windows
known['BENCHCOM_PORT=/dev/ttyACM0 build/benchcom']=hw_benchcom
known['BENCHCOM_PORT=usb:04d8:ffee build/benchcom-run issVersion']=usb_run
known['build/benchcom-run --list-ports']=list_ports
known['BENCHCOM_PORT=sim build/benchcom-run scopePollDual > capture.txt']=sim_capture
known['BENCHCOM_TRACE=trace.txt BENCHCOM_PORT=sim build/benchcom-run issVersion']=trace
known['BENCHCOM_TRACE=capture.trace BENCHCOM_PORT=/dev/ttyACM0 build/benchcom-run scopePollDual > capture.txt']=record
known['mkdir -p kept && mv capture.trace capture.txt op_scope.csv gbookFtemp.js kept/']=keep
known['BENCHCOM_PORT=replay-fast:kept/capture.trace build/benchcom-run scopePollDual | diff kept/capture.txt - && diff kept/op_scope.csv op_scope.csv']=replay_diff
known['build/benchcom-sim --replay kept/capture.trace -- build/benchcom-run scopePollDual > served.txt']=replay_served
# The Windows lines (```bat): tests/windows/run.sh runs them under Wine, with
# COM5 mapped to a simulated bench.
known['set BENCHCOM_PORT=COM5']=on_windows
known['benchcom-run.exe issVersion']=on_windows
known['man -l build/man/benchcom-run.1']=man_page
known['cmake --install build --prefix ~/.local']=install_home
known['(cd build && cpack -G DEB)']=make_deb
known['sudo apt install ./build/benchcom_*_amd64.deb']=apt_install
known['(cd build-win && cpack -G ZIP)']=windows_zip
known['BENCHCOM_PORT=rfc2217://bench-pi:7000 build/benchcom-run issVersion']=network_run
known['BENCHCOM_PORT=socket://bench-pi:7001 build/benchcom-run issVersion']=network_run
known['build/benchcom-sim --listen rfc2217://127.0.0.1:0 -- build/benchcom']=sim_listen
known['BENCHCOM_PORT=sim build/benchcom-run --script procedure.txt > procedure.log']=script_run
known["printf 'issVersion\\nscpi *IDN?\\nquit\\n' | BENCHCOM_PORT=sim build/benchcom-run --shell"]=shell_pipe
known['build/benchcom-sim --press 1@1s -- build/benchcom-run --for 3 panelKeyDemo']=for_seconds
known['mkdir -p captures && BENCHCOM_PORT=sim build/benchcom-run -C captures scopePollDual > /dev/null']=run_in_dir
known['fuzz/run.sh 3600']=fuzz_all
known['fuzz/run.sh 600 scope_client']=fuzz_one
known['BENCHCOM_FUZZ_JOBS=2 fuzz/run.sh campaign 10000000']=fuzz_campaign

# Every line inside a ```sh or ```bat block of the README and of fuzz/README.md.
mapfile -t lines < <(awk '/^```(sh|bat)$/ {on=1; next} /^```$/ {on=0} on && NF' "$repo/README.md" "$repo/fuzz/README.md")
for line in "${lines[@]}"; do
    check "README command is exercised: $line" test -n "${known[$line]:-}"
done

quick_run() {  # the Quick start's run command, stopped after a few rounds
    (cd "$repo" && for_a_while 8 ./build.sh run > "$work/quick.txt" 2> /dev/null)
    check "quick start run ends cleanly on Ctrl-C" test $? -eq 130
    check "quick start run opens twice and exercises the lines" \
        has quick.txt $' serial port COM9 connect OK \n\r serial port COM9 connect OK \n\r===='
    check "quick start run shows the lines come up" has quick.txt $'GetCommModemStatus: 0000 0010 0020 0040 0080 \nGetCommModemStatu_: 00B0'
}
ci() { :; }  # .ci/run runs it
on_windows() { :; }
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
have_mingw() {
    command -v x86_64-w64-mingw32-g++-posix > /dev/null && return
    echo "skipped: mingw-w64 is not installed (the Windows check of CI installs and runs it)"
    return 1
}
windows() {
    have_mingw || return 0
    (cd "$repo" && eval "$1" > "$work/win.txt" 2>&1)
    check "the Windows programs cross-build" test -f "$repo/build-win/benchcom.exe"
}
man_page() {
    MANOPT=--warnings MANWIDTH=80 bash -c "$1" > man.txt 2> man.err
    check "the manual page renders" has man.txt "ROUTINES"
    check "the manual page lists the routines" has man.txt "demoMax7219Patterns"
    check "the manual page renders without warnings" test ! -s man.err
}
install_home() {  # into a home of its own
    HOME="$work/home" bash -c "$1" > install.txt
    check "install from source succeeds" test $? -eq 0
    local prefix="$work/home/.local"
    "$prefix/bin/benchcom-run" --version > version.txt
    check "the installed benchcom-run says its version" has version.txt "benchcom-run "
    check "the viewer is installed" test -s "$prefix/share/benchcom/viewer/index.html"
    check "the manual pages are installed" test -s "$prefix/share/man/man1/benchcom.1.gz"
    check "the bash completion is installed" test -s "$prefix/share/bash-completion/completions/benchcom-run"
}
make_deb() {
    rm -f build/benchcom_*.deb
    bash -c "$1" > deb.txt 2>&1
    check "cpack makes the .deb" test "$(ls build/benchcom_*_amd64.deb | wc -l)" -eq 1
}
apt_install() {  # simulated: tests/package/deb_test.sh unpacks and runs the package itself
    local line="${1/sudo apt install/apt-get -s install}"
    bash -c "$line" > apt.txt 2>&1
    check "apt would install the package" has apt.txt "Inst benchcom "
}
windows_zip() {
    have_mingw || return 0
    (cd "$repo" && rm -f build-win/benchcom-*-win64.zip && eval "$1" > "$work/zip.txt" 2>&1)
    check "cpack makes the Windows zip" test -s "$(ls "$repo"/build-win/benchcom-*-win64.zip)"
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
    (cd "$repo" && BENCHCOM_FUZZ_CORPORA="$work/corpora" BENCHCOM_FUZZ_JOBS=2 \
        fuzz/run.sh campaign 3001 learn_string > "$work/campaign.txt" 2>&1)
    check "a short campaign runs clean" test $? -eq 0
    # Each job's share at least (a job that picks up the other's finds runs
    # them too, which may take it a little past its share).
    check "the campaign's two jobs share its executions, none left out" \
        test "$(awk '/^stat::number_of_executed_units:/ && $2 >= 1501' campaign.txt | wc -l)" -eq 2
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
usb_run() {  # no USB-ISS here: the reason on stderr; with one, its version
    bash -c "$1" > usb.txt 2> usb.err
    local status=$?
    if [ $status -eq 0 ]; then
        check "the USB-ISS answers" has usb.txt "ISS:5A-01:ver:"
    else
        check "no USB-ISS: status 1" test $status -eq 1
        check "no USB-ISS: the reason on stderr" has usb.err "benchcom-run: cannot open usb:04d8:ffee for"
    fi
}
list_ports() {
    bash -c "$1" > ports.txt
    check "--list-ports succeeds" test $? -eq 0
    check "--list-ports prints a line" test -s ports.txt
}
sim_capture() {
    rm -f op_scope.csv
    bash -c "$1"
    check "the capture on the bench inside succeeds" test $? -eq 0
    check "the capture on the bench inside writes the CSV" has op_scope.csv "Waveform Data,"
}
trace() {
    bash -c "$1" > /dev/null
    check "the trace shows the adapter exchange" has trace.txt "> 5a 01"
    check "the trace shows the reply" has trace.txt "< 07 05 40"
    check "the trace ends with the close" test "$(tail -n 1 trace.txt | cut -c14-)" = close
}
# The regression-test recipe, recorded on the bench inside in place of the
# hardware, then the recording served back.
record() {
    bash -c "${1//\/dev\/ttyACM0/sim}"
    check "the recording's trace names its format" grep -q "port trace, format 1:" capture.trace
}
keep() {
    bash -c "$1"
    check "the trace, the console and the files are kept" test -s kept/capture.trace -a -s kept/op_scope.csv
}
replay_diff() {
    rm -f op_scope.csv
    bash -c "$1" > replay_diff.txt
    check "the replay prints and writes what the recording did" test $? -eq 0 -a ! -s replay_diff.txt
}
replay_served() {
    rm -f op_scope.csv
    bash -c "$1"
    check "benchcom-sim serves the recording back" cmp -s served.txt kept/capture.txt
    check "and the files come out the same" cmp -s op_scope.csv kept/op_scope.csv
}
# The network lines: the README's ser2net configuration serving the bench's
# terminal on 127.0.0.1, with its ports for 7000 and 7001 and the address for
# bench-pi.
. "$repo/tests/net/ser2net.sh"
network_run() {
    [ -x /usr/sbin/ser2net ] || "$repo/tools/scripts/apt-install" ser2net > /dev/null
    rm -f port.txt
    build/benchcom-sim > port.txt &
    local sim=$!
    for _ in $(seq 50); do [ -s port.txt ] && break; sleep 0.1; done
    local line="" yaml
    yaml="$(readme_ser2net_yaml "$repo")"
    if start_ser2net "$work" "$(cat port.txt)" "$yaml"; then
        line="${1//bench-pi:7000/127.0.0.1:$rfc_port}"
        line="${line//bench-pi:7001/127.0.0.1:$raw_port}"
        for_a_while 10 bash -c "$line" > net.txt 2>&1
        stop_ser2net
    fi
    kill -INT $sim
    wait $sim
    check "ser2net serves the README's configuration: $1" test -n "$line"
    check "the adapter answers across the network: $1" has net.txt "ISS:5A-01:ver: 07 05 40"
}
sim_listen() {  # the exerciser's lines seen across the network
    for_a_while 3 bash -c "$1" > listen.txt
    check "the exerciser sees CTS, DSR and carrier detect across the network" \
        has listen.txt "GetCommModemStatu_: 00B0"
}
script_run() {  # the README's procedure.txt, from its block
    awk '/^```text$/ {on=1; next} /^```$/ {on=0} on' "$repo/README.md" |
        awk 'NR == 1 && !/^# procedure.txt/ {exit} {print}' > procedure.txt
    rm -f op_scope.csv
    bash -c "$1"
    check "the README's script runs" test $? -eq 0
    check "the script opens the port once" test "$(grep -c 'connect OK' procedure.log)" -eq 1
    check "the script's routines reach the adapter" has procedure.log "ISS:5A-01:ver: 07 05 40"
    check "the script's scpi line reads the scale" has procedure.log '<  2.000e+00\n'
    check "the script's capture writes the CSV" has op_scope.csv "Waveform Data,"
}
shell_pipe() {
    bash -c "$1" > shell.txt
    check "the shell reads piped lines" test $? -eq 0
    check "the piped shell runs a routine" has shell.txt "ISS:5A-01:ver: 07 05 40"
    check "the piped shell's scpi reaches the instrument" has shell.txt "< BENCHCOM,SIM-SCOPE,"
}
for_seconds() {
    bash -c "$1" > for.txt
    check "--for ends the demonstration with status 0" test $? -eq 0
    check "the demonstration ran until then" has for.txt "keys: 01 00 01"
}
run_in_dir() {
    rm -rf captures
    bash -c "$1"
    check "-C DIR: the capture is written there" has captures/op_scope.csv "Waveform Data,"
}

for line in "${lines[@]}"; do
    [ -n "${known[$line]:-}" ] && "${known[$line]}" "$line"
done
finish readme
