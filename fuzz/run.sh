#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer, halting at the first fault) into build-fuzz/
# and runs them:
#   fuzz/run.sh [SECONDS] [TARGET...]         each for SECONDS (default 60) on a
#                                             copy of its corpus, as CI does
#   fuzz/run.sh campaign RUNS [TARGET...]     each for RUNS executions, one after
#                                             the other at the lowest priority,
#                                             then merges what they found into
#                                             the corpus (-merge=1); with
#                                             BENCHCOM_FUZZ_JOBS=N, N processes
#                                             share each target's RUNS and its
#                                             growing corpus
# A target is fuzz/TARGET_fuzz.cpp with its corpus in fuzz/corpus/TARGET/
# (or in $BENCHCOM_FUZZ_CORPORA/TARGET/); without TARGETs every one there is run. Each target sets its own input
# length and schedule (see its LLVMFuzzerInitialize).
# Exits non-zero when any target crashes, leaks, times out or fails a check;
# the input that did it is kept in build-fuzz/artifacts/TARGET/, the run's
# output in build-fuzz/TARGET.log (build-fuzz/campaign/TARGET.log).
set -euo pipefail
cd "$(dirname "$0")/.."

corpora="${BENCHCOM_FUZZ_CORPORA:-fuzz/corpus}"
mode=minutes
if [ "${1:-}" = campaign ]; then
    mode=campaign
    shift
    runs="${1:?usage: fuzz/run.sh campaign RUNS [TARGET...]}"
    # Background work on a shared machine: everything below yields.
    renice -n 19 -p $$ >/dev/null
else
    seconds="${1:-60}"
fi
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in fuzz/*_fuzz.cpp; do
        name="$(basename "$source")"
        targets+=("${name%_fuzz.cpp}")
    done
fi

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

# fuzz TARGET LOG WORK FLAG...: runs the target on the corpus in WORK.
fuzz() {
    local target="$1" log="$2" work="$3"
    shift 3
    local artifacts="build-fuzz/artifacts/$target"
    mkdir -p "$artifacts"
    if ! build-fuzz/fuzz_"$target" "$@" -timeout=30 -print_final_stats=1 -artifact_prefix="$artifacts/" \
        "$work" >"$log" 2>&1; then
        echo "!! $target failed; the input is in $artifacts/:" >&2
        tail -n 60 "$log" >&2
        return 1
    fi
    grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" || true
}

# A fresh copy of the target's corpus to fuzz on.
fresh_corpus() {
    rm -rf "$1"
    mkdir -p "$1"
    if [ -d "$corpora/$2" ]; then cp -r "$corpora/$2"/. "$1"/; fi
}

# campaign_jobs TARGET WORK: RUNS executions of the target, split among the
# jobs; each picks up what the others add to WORK as it goes (-reload).
campaign_jobs() {
    local jobs="${BENCHCOM_FUZZ_JOBS:-1}" pids=() ok=0 job
    if [ "$jobs" -le 1 ]; then
        fuzz "$1" "build-fuzz/campaign/$1.log" "$2" -runs="$runs"
        return
    fi
    for ((job = 1; job <= jobs; job++)); do
        fuzz "$1" "build-fuzz/campaign/$1.$job.log" "$2" -runs="$(((runs + jobs - 1) / jobs))" -reload=1 &
        pids+=($!)
    done
    for job in "${pids[@]}"; do wait "$job" || ok=1; done
    return $ok
}

status=0
for target in "${targets[@]}"; do
    if [ "$mode" = minutes ]; then
        work="build-fuzz/corpus/$target"
        fresh_corpus "$work" "$target"
        echo "== $target: ${seconds} s"
        fuzz "$target" "build-fuzz/$target.log" "$work" -max_total_time="$seconds" || status=1
        continue
    fi
    work="build-fuzz/campaign/$target"
    fresh_corpus "$work" "$target"
    echo "== $target: $runs executions, started $(date '+%F %T')"
    start=$(date +%s)
    if ! campaign_jobs "$target" "$work"; then
        status=1
        continue
    fi
    echo "   $(( $(date +%s) - start )) s"
    mkdir -p "$corpora/$target"
    before=$(find "$corpora/$target" -type f | wc -l)
    build-fuzz/fuzz_"$target" -merge=1 "$corpora/$target" "$work" \
        >"build-fuzz/campaign/$target.merge.log" 2>&1
    grep -E '^MERGE-OUTER: [0-9]+ new files' "build-fuzz/campaign/$target.merge.log" || true
    echo "   corpus: $before files, now $(find "$corpora/$target" -type f | wc -l)"
done
exit $status
