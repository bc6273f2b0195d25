#!/usr/bin/env bash
# End-to-end tests of the varnel program: varnel_cli_test.sh VARNEL EXAMPLES GROUP
# Every run has a timeout, so a hang fails the test instead of stalling the suite.
set -u
varnel=$1
examples=$2
group=$3
. "$(dirname "$0")/checks.sh"

printf '1\n2\n3\n' >"$work/three.dat"
printf '1\n2\n' >"$work/two.dat"

case $group in
results)
    expect 0 '^Shape    parameter : m      =  2.73857317e\+000$' EMPTY -- -g 0 "$work/three.dat"
    lines=$(wc -l <"$work/out")
    [ "$lines" -eq 12 ] || fail "the results are report lines 4 to 15 (12 lines), got $lines"
    head -1 "$work/out" | grep -qx "Data file          : RFile  = $work/three.dat" || fail "first line names the data file"
    grep -q $'\r' "$work/out" && fail "results on standard output end lines with LF only"
    expect 0 'Rank method        : Fi     = \(i-0\.3\)/\(n\+0\.4\)' 'damped step could only repeat itself' -- --rank 3 "$examples/ball_bearings.dat"
    expect 0 'Rank method' EMPTY -- --rank 3 "$examples/glass_fibres.dat"
    expect 0 'Location parameter : gamma  =  1\.50000000e\+001' EMPTY -- --gamma=15 -m 2 "$examples/ball_bearings.dat"
    expect 0 '^varnel 1\.00$' EMPTY -- --version
    expect 0 'Usage: varnel' EMPTY -- --help
    expect 0 'threads for the sums, the calling thread included, 1 to 1024' EMPTY -- --help
    expect 0 'also fit a mixture of two Weibull populations' EMPTY -- --help
    expect 0 'F = p F1 \+ \(1 - p\) F2: ok' EMPTY -- --life --two-parameter --mixture "$examples/old_faithful_eruptions.dat"
    # No second population is no failure of the analysis: the one-Weibull fit is the answer.
    printf '10 F 3\n20 F 3\n' >"$work/ties.dat"
    expect 0 'F2: one population' EMPTY -- --life --mixture "$work/ties.dat"
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
    expect 1 'Shape    parameter' 'cannot write report /nonexistent/dir/r.txt' -- -o /nonexistent/dir/r.txt "$work/three.dat"
    expect 1 'Shape    parameter' 'cannot write report /dev/full' -- -o /dev/full "$work/three.dat"
    ;;
failures)
    expect 1 EMPTY '^varnel: Read data error: Invalid data type$' -- "$work/two.dat"
    expect 1 EMPTY '^varnel: Parameter error: Invalid gamma$' -- -g 1 "$work/three.dat"
    expect 1 EMPTY 'Invalid data type \(.*missing\.dat: no such file\)' -- "$work/missing.dat"
    expect 1 EMPTY 'Invalid data type \(.*: is a directory\)' -- "$work"
    expect 1 EMPTY 'Invalid data type \(/dev/zero: not a regular file\)' -- /dev/zero
    mkfifo "$work/fifo"
    expect 1 EMPTY 'Invalid data type \(.*fifo: not a regular file\)' -- "$work/fifo"
    expect 2 EMPTY 'unknown option' -- --frobnicate "$work/three.dat"
    expect 2 EMPTY 'needs a value' -- "$work/three.dat" --gamma
    expect 2 EMPTY "needs a number, not '1.5x'" -- -g 1.5x "$work/three.dat"
    expect 2 EMPTY '--mixture needs --life' -- --mixture "$work/three.dat"
    expect 2 EMPTY '--mixture cannot be used with -g' -- --life --mixture -g 0.5 "$work/three.dat"
    expect 2 EMPTY '--mixture cannot be used with --shape' -- --life --mixture --shape 2 "$work/three.dat"
    expect 2 EMPTY '--mixture needs --method mle' -- --life --method rrx --mixture "$work/three.dat"
    # Blanks around a value are refused on either side alike, as around a seed or a count.
    expect 2 EMPTY "needs a number, not ' 4'" -- --mle --threads ' 4' "$work/three.dat"
    expect 2 EMPTY "needs a number, not '4 '" -- --mle --threads '4 ' "$work/three.dat"
    expect 2 EMPTY "needs a number, not ' 15'" -- -g ' 15' "$work/three.dat"
    expect 2 EMPTY "needs a number, not ' 0.9'" -- --mle --confidence ' 0.9' "$work/three.dat"
    expect 2 EMPTY 'rank method must be 1, 2, 3 or 4' -- -r 5 "$work/three.dat"
    expect 2 EMPTY 'rank method must be 1, 2, 3 or 4' -- -r 1.5 "$work/three.dat"
    expect 2 EMPTY 'initial m must be greater than 0' -- -m 0 "$work/three.dat"
    expect 2 EMPTY 'initial m must be greater than 0' -- -m -1 "$work/three.dat"
    expect 2 EMPTY 'no data file given' --
    expect 2 EMPTY 'more than one data file' -- "$work/three.dat" "$work/two.dat"
    grep -q "Try 'varnel --help'" "$work/err" || fail "usage errors point to --help"
    ;;
stop)
    # Data in large units from far above the root: an iteration of many seconds.
    long="$examples/long_iteration.dat"
    expect 0 'Shape    parameter' 'time limit reached' -- -q -m 3 -t 0.5 "$long"

    # The first Ctrl-C stops the iteration with results and status 0.
    interrupt_after_a_second -m 3 "$long"
    [ "$status" -eq 0 ] || fail "Ctrl-C during the iteration exits $status, expected 0"
    grep -q 'Shape    parameter' "$work/out" || fail "Ctrl-C still prints results"
    grep -q 'iteration was stopped' "$work/err" || fail "Ctrl-C says the iteration was stopped"

    # A second Ctrl-C ends the program at once with 130: after the first, the program is held
    # opening its report on a pipe that nobody reads.
    mkfifo "$work/pipe"
    start_background -m 3 -o "$work/pipe" "$long"
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

finish "$group"
