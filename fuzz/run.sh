#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer, halting at the first fault) into build-fuzz/
# and runs each for SECONDS (default 60) on a copy of its seed corpus.
#   fuzz/run.sh [SECONDS] [TARGET...]     TARGET: learn_string scope_client adapter
# Exits non-zero when any target crashes, leaks, times out or fails a check;
# the input that did it is kept in build-fuzz/artifacts/TARGET/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(learn_string scope_client adapter)

# Longest input tried per target: the text of a learn string with room to
# spare; a few replies and the pieces that make whole waveform blocks; a
# handful of adapter replies.
declare -A max_len=([learn_string]=2048 [scope_client]=4096 [adapter]=1024)

fuzzer_links() {
    command -v clang++ >/dev/null || return 1
    local probe
    probe="$(mktemp -d)"
    printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
        'extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }' >"$probe/p.cpp"
    local ok=0
    clang++ -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" >/dev/null 2>&1 || ok=1
    rm -rf "$probe"
    return $ok
}

install_missing() {
    local need=()
    command -v cmake >/dev/null || need+=(cmake)
    command -v ninja >/dev/null || need+=(ninja-build)
    fuzzer_links || need+=(clang libclang-rt-dev)
    [ ${#need[@]} -eq 0 ] && return
    echo "installing: ${need[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${need[@]}"
}

install_missing >&2
CXX=clang++ cmake -S fuzz -B build-fuzz -G Ninja >/dev/null
cmake --build build-fuzz -j2

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
for target in "${targets[@]}"; do
    work="build-fuzz/corpus/$target"
    artifacts="build-fuzz/artifacts/$target"
    rm -rf "$work"
    mkdir -p "$work" "$artifacts"
    cp fuzz/corpus/"$target"/* "$work"/
    echo "== $target: ${seconds} s"
    if ! build-fuzz/fuzz_"$target" -max_total_time="$seconds" -max_len="${max_len[$target]}" \
        -timeout=30 -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" \
        >"build-fuzz/$target.log" 2>&1; then
        echo "!! $target failed; the input is in $artifacts/:" >&2
        tail -n 60 "build-fuzz/$target.log" >&2
        status=1
        continue
    fi
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "build-fuzz/$target.log" || true
done
exit $status
