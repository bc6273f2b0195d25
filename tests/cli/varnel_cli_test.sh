#!/usr/bin/env bash
# End-to-end tests of the varnel program: varnel_cli_test.sh VARNEL EXAMPLES GROUP
# Every run has a timeout, so a hang fails the test instead of stalling the suite.
set -u
varnel=$1
examples=$2
group=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Starts varnel in the background as $pid, with a watchdog that kills it after 60 seconds. Signals
# go to varnel itself: timeout(1) in between would handle a second Ctrl-C on its own.
start_background() {
    "$varnel" "$@" &
    pid=$!
    (sleep 60; kill -KILL "$pid" 2>/dev/null) &
    watchdog=$!
}

# Waits for the background varnel; its exit status is left in $status.
wait_background() {
    wait "$pid"
    status=$?
    kill "$watchdog" 2>/dev/null
}

# expect_run STATUS STDOUT_PATTERN STDERR_PATTERN -- ARGS...
expect_run() {
    local status=$1 out_pattern=$2 err_pattern=$3
    shift 4
    timeout 60 "$varnel" "$@" >"$work/out" 2>"$work/err"
    local got=$?
    [ "$got" -eq "$status" ] || fail "varnel $* exited $got, expected $status; stderr: $(cat "$work/err")"
    expect_text "$work/out" "$out_pattern" "varnel $*: stdout"
    expect_text "$work/err" "$err_pattern" "varnel $*: stderr"
}

# expect_text FILE PATTERN WHAT: FILE holds a line matching PATTERN, or is empty when PATTERN is EMPTY.
expect_text() {
    if [ "$2" = EMPTY ]; then
        [ -s "$1" ] && fail "$3 should be empty: $(head -c 300 "$1")"
    else
        grep -qE -- "$2" "$1" || fail "$3 lacks /$2/: $(head -c 300 "$1")"
    fi
}

printf '1\n2\n3\n' >"$work/three.dat"
printf '1\n2\n' >"$work/two.dat"

case $group in
results)
    expect_run 0 '^Shape    parameter : m      =  2.73857317e\+000$' EMPTY -- -g 0 "$work/three.dat"
    lines=$(wc -l <"$work/out")
    [ "$lines" -eq 12 ] || fail "the results are report lines 4 to 15 (12 lines), got $lines"
    head -1 "$work/out" | grep -qx "Data file          : RFile  = $work/three.dat" || fail "first line names the data file"
    grep -q $'\r' "$work/out" && fail "results on standard output end lines with LF only"
    expect_run 0 'Rank method        : Fi     = \(i-0\.3\)/\(n\+0\.4\)' EMPTY -- --rank 3 "$examples/ball_bearings.dat"
    expect_run 0 'Location parameter : gamma  =  1\.50000000e\+001' EMPTY -- --gamma=15 -m 2 "$examples/ball_bearings.dat"
    expect_run 0 '^varnel 1\.00$' EMPTY -- --version
    expect_run 0 'Usage: varnel' EMPTY -- --help
    ;;
report)
    # --report - puts the whole report, CR LF and all, on standard output and nothing else.
    timeout 60 "$varnel" -g 0 -o - "$work/three.dat" >"$work/stdout-report" || fail "report to stdout"
    timeout 60 "$varnel" -g 0 -o "$work/file-report.txt" "$work/three.dat" >/dev/null || fail "report to file"
    cmp -s "$work/stdout-report" "$work/file-report.txt" || fail "the report on stdout differs from the file"
    [ "$(wc -l <"$work/file-report.txt")" -eq 20 ] || fail "a report of 3 values has 20 lines"
    [ "$(grep -c $'\r$' "$work/file-report.txt")" -eq 20 ] || fail "every report line ends with CR LF"
    head -1 "$work/file-report.txt" | cmp -s - <(printf 'Varnel  Version 1.00  -  Output file\r\n') || fail "report line 1"
    # A report that cannot be written is an error after the results, never a quiet success.
    expect_run 1 'Shape    parameter' 'cannot write report /nonexistent/dir/r.txt' -- -o /nonexistent/dir/r.txt "$work/three.dat"
    expect_run 1 'Shape    parameter' 'cannot write report /dev/full' -- -o /dev/full "$work/three.dat"
    ;;
failures)
    expect_run 1 EMPTY '^varnel: Read data error: Invalid data type$' -- "$work/two.dat"
    expect_run 1 EMPTY '^varnel: Parameter error: Invalid gamma$' -- -g 1 "$work/three.dat"
    expect_run 1 EMPTY 'Invalid data type \(.*missing\.dat: no such file\)' -- "$work/missing.dat"
    expect_run 1 EMPTY 'Invalid data type \(.*: is a directory\)' -- "$work"
    expect_run 1 EMPTY 'Invalid data type \(/dev/zero: not a regular file\)' -- /dev/zero
    mkfifo "$work/fifo"
    expect_run 1 EMPTY 'Invalid data type \(.*fifo: not a regular file\)' -- "$work/fifo"
    expect_run 2 EMPTY 'unknown option' -- --frobnicate "$work/three.dat"
    expect_run 2 EMPTY 'needs a value' -- "$work/three.dat" --gamma
    expect_run 2 EMPTY "needs a number, not '1.5x'" -- -g 1.5x "$work/three.dat"
    expect_run 2 EMPTY 'rank method must be 1, 2, 3 or 4' -- -r 5 "$work/three.dat"
    expect_run 2 EMPTY 'rank method must be 1, 2, 3 or 4' -- -r 1.5 "$work/three.dat"
    expect_run 2 EMPTY 'initial m must be greater than 0' -- -m 0 "$work/three.dat"
    expect_run 2 EMPTY 'initial m must be greater than 0' -- -m -1 "$work/three.dat"
    expect_run 2 EMPTY 'no data file given' --
    expect_run 2 EMPTY 'more than one data file' -- "$work/three.dat" "$work/two.dat"
    grep -q "Try 'varnel --help'" "$work/err" || fail "usage errors point to --help"
    ;;
stop)
    # Data in large units from far above the root: an iteration of many seconds.
    long="$examples/long_iteration.dat"
    expect_run 0 'Shape    parameter' 'time limit reached' -- -q -m 3 -t 0.5 "$long"

    # The first Ctrl-C stops the iteration with results and status 0.
    start_background -m 3 "$long" >"$work/out" 2>"$work/err"
    sleep 1
    kill -INT "$pid"
    wait_background
    [ "$status" -eq 0 ] || fail "Ctrl-C during the iteration exits $status, expected 0"
    grep -q 'Shape    parameter' "$work/out" || fail "Ctrl-C still prints results"
    grep -q 'iteration was stopped' "$work/err" || fail "Ctrl-C says the iteration was stopped"

    # A second Ctrl-C ends the program at once with 130: after the first, the program is held
    # opening its report on a pipe that nobody reads.
    mkfifo "$work/pipe"
    start_background -m 3 -o "$work/pipe" "$long" >/dev/null 2>&1
    sleep 1
    kill -INT "$pid"
    sleep 0.5
    kill -INT "$pid"
    wait_background
    [ "$status" -eq 130 ] || fail "two Ctrl-C exit $status, expected 130"
    ;;
*)
    fail "unknown group $group"
    ;;
esac

[ "$failures" -eq 0 ] && echo "$group: all checks passed"
exit $((failures > 0))
