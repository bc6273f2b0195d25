# Shared by the end-to-end test scripts of varnel, which source it after setting `varnel`: a scratch
# folder removed at the end, failure counting, and runs of the program that can never hang.

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Ends the script with status 77, which CTest shows as skipped.
skip() {
    echo "SKIPPED: $*"
    exit 77
}

# run ARGS...: runs varnel with a timeout, leaving stdout and stderr in $work/out and $work/err and
# the exit status in $status (124 when the timeout had to end it).
run() {
    timeout 100 "$varnel" "$@" >"$work/out" 2>"$work/err"
    status=$?
}

# expect_text FILE PATTERN WHAT: FILE holds a line matching PATTERN, or is empty when PATTERN is EMPTY.
expect_text() {
    if [ "$2" = EMPTY ]; then
        [ -s "$1" ] && fail "$3 should be empty: $(head -c 300 "$1")"
    else
        grep -qE -- "$2" "$1" || fail "$3 lacks /$2/: $(head -c 300 "$1")"
    fi
    return 0
}

# expect STATUS STDOUT_PATTERN STDERR_PATTERN -- ARGS...
expect() {
    local want=$1 out_pattern=$2 err_pattern=$3
    shift 4
    run "$@"
    [ "$status" -eq "$want" ] || fail "varnel $* exited $status, expected $want; stderr: $(head -c 300 "$work/err")"
    expect_text "$work/out" "$out_pattern" "varnel $*: stdout"
    expect_text "$work/err" "$err_pattern" "varnel $*: stderr"
}

# start_background ARGS...: starts varnel as $pid with a watchdog that kills it after 60 seconds.
# Signals go to varnel itself: timeout(1) in between would handle a second Ctrl-C on its own.
start_background() {
    "$varnel" "$@" >"$work/out" 2>"$work/err" &
    pid=$!
    # The watchdog leaves the test's output alone, or CTest would wait for its sleep to end.
    (sleep 60; kill -KILL "$pid") >/dev/null 2>&1 &
    watchdog=$!
}

# wait_background: waits for the background varnel and leaves its exit status in $status.
wait_background() {
    wait "$pid"
    status=$?
    kill "$watchdog" 2>/dev/null
}

# interrupt_after_a_second ARGS...: starts varnel and, when it is still running a second later,
# sends it the Ctrl-C signal ($running says whether it was); then waits for it.
interrupt_after_a_second() {
    start_background "$@"
    sleep 1
    running=0
    kill -INT "$pid" 2>/dev/null && running=1
    wait_background
}

# finish NAME: reports and ends the script with the outcome of its checks.
finish() {
    [ "$failures" -eq 0 ] && echo "$1: all checks passed"
    exit $((failures > 0))
}
