# Sourced by the shell tests: named checks, counted, and the closing line
# "NAME: N passed, N failed".
passed=0 failed=0

check() {  # check NAME CONDITION...
    local name="$1"
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}

finish() {  # finish NAME: the closing line, and a failed status if any check failed
    echo "$1: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
