#!/usr/bin/env bash
# The command-line program on input a user should never have given it: empty, unreadable, huge,
# binary or in another encoding, with values that break the iteration, and with outputs that cannot
# be written. Every case must end with the documented message and exit status: never a crash, a hang
# or a success that did not happen.
#   varnel_hostile_test.sh VARNEL EXAMPLES GROUP
# Big files are made here, in a temporary folder that is removed at the end. Exit status 77 means the
# group could not be run on this machine (CTest shows it as skipped).
set -u
varnel=$1
examples=$2
group=$3
. "$(dirname "$0")/../cli/checks.sh"

results='^Shape    parameter : m      = '
read_error='^varnel: Read data error: Invalid data type'
gamma_error='^varnel: Parameter error: Invalid gamma$'
stopped='iteration was stopped'
time_limit='time limit reached'
repeating='damped step could only repeat itself'

case $group in
empty)
    : >"$work/empty.dat"
    expect 1 EMPTY "$read_error\$" -- "$work/empty.dat"
    expect 1 EMPTY "$read_error \\(/dev/null: not a regular file\\)\$" -- /dev/null
    printf '# no data here\n\n   \n-1\n+2\nabc\n' >"$work/no-data.dat"
    expect 1 EMPTY "$read_error\$" -- "$work/no-data.dat"
    mkdir "$work/folder.dat"
    expect 1 EMPTY "$read_error \\(.*folder\\.dat/: is a directory\\)\$" -- "$work/folder.dat/"
    ;;
unreadable)
    printf '1\n2\n3\n' >"$work/locked.dat"
    chmod 000 "$work/locked.dat"
    as=()
    if [ "$(id -u)" -eq 0 ]; then
        # Permission bits do not stop root; the case is run as nobody, who needs to reach the folder
        # and the program.
        command -v setpriv >/dev/null || skip "running as root and setpriv is missing: cannot make a file unreadable"
        chmod 755 "$work"
        as=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
        "${as[@]}" test -x "$varnel" || skip "nobody cannot run $varnel, so the unreadable file cannot be tried"
    fi
    "${as[@]}" test -r "$work/locked.dat" && skip "a file with no permissions is still readable here"
    timeout 100 "${as[@]}" "$varnel" "$work/locked.dat" >"$work/out" 2>"$work/err"
    status=$?
    [ "$status" -eq 1 ] || fail "an unreadable file exits $status, expected 1; stderr: $(cat "$work/err")"
    expect_text "$work/out" EMPTY "unreadable file: stdout"
    expect_text "$work/err" "$read_error \\(.*locked\\.dat: Permission denied\\)\$" "unreadable file: stderr"
    ;;
huge-line)
    # 100 MB in one line without a LF: no data in it at all, and then one value in every
    # 255-character piece (a number padded with blanks), 392157 pieces.
    head -c 100000000 /dev/zero | tr '\0' x >"$work/letters.dat"
    expect 1 EMPTY "$read_error\$" -- "$work/letters.dat"
    rm "$work/letters.dat"
    awk 'BEGIN { for (i = 0; i < 392157; i++) printf "%-255d", i % 997 + 1 }' >"$work/pieces.dat"
    [ "$(stat -c %s "$work/pieces.dat")" -eq 100000035 ] || fail "the 100 MB line was not made"
    run -q -g 0 -t 2 -o - "$work/pieces.dat"
    [ "$status" -eq 0 ] || fail "the 100 MB line exits $status, expected 0; stderr: $(head -c 300 "$work/err")"
    lines=$(wc -l <"$work/out")
    [ "$lines" -eq $((17 + 392157)) ] || fail "the report of the 100 MB line has $lines lines, expected 17 + 392157"
    grep -q 'Shape    parameter' "$work/out" || fail "the 100 MB line gives no results"
    ;;
many-lines)
    # 10 million lines of two characters, three of them numbers: the same estimate as the three alone.
    { yes - | head -n 5000000; printf '1\n2\n'; yes - | head -n 4999997; printf '3\n'; } >"$work/sparse.dat"
    [ "$(wc -l <"$work/sparse.dat")" -eq 10000000 ] || fail "the 10 million lines were not made"
    expect 0 "${results} 2\\.73857317e\\+000\$" EMPTY -- -q -g 0 "$work/sparse.dat"
    rm "$work/sparse.dat"
    # 10 million values: an array of 80 MB, sorted, and an iteration held to two seconds.
    yes "$(seq 9)" | head -n 10000000 >"$work/dense.dat"
    run -q -g 0 -t 2 "$work/dense.dat"
    [ "$status" -eq 0 ] || fail "10 million values exit $status, expected 0; stderr: $(head -c 300 "$work/err")"
    grep -qE "${results} 1\\.[0-9]{8}e\\+000\$" "$work/out" || fail "10 million values: no plausible m: $(head -c 300 "$work/out")"
    ;;
encodings)
    # A NUL ends what a line shows, so each line of a UTF-16 file after the first looks empty and
    # reads as 0: the run refuses the zeros (little-endian) or finds too few lines (big-endian).
    { printf '\xff\xfe'; printf '1.5\r\n2.5\r\n3.5\r\n' | iconv -f ASCII -t UTF-16LE; } >"$work/utf16le.dat"
    expect 1 EMPTY "$gamma_error" -- "$work/utf16le.dat"
    { printf '\xfe\xff'; printf '1.5\n2.5\n3.5\n' | iconv -f ASCII -t UTF-16BE; } >"$work/utf16be.dat"
    expect 1 EMPTY "$read_error\$" -- "$work/utf16be.dat"
    # A UTF-8 byte-order mark hides the first number; the rest still read.
    printf '\xef\xbb\xbf9\n1\n2\n3\n' >"$work/utf8bom.dat"
    expect 0 "${results} 2\\.73857317e\\+000\$" EMPTY -- -g 0 "$work/utf8bom.dat"
    ;;
non-finite)
    printf '1e400\n1e400\n1e400\n1e400\n' >"$work/infinite.dat"
    expect 1 EMPTY "$gamma_error" -- "$work/infinite.dat"
    # With a typed location the run goes through and shows infinities; it does not hang.
    expect 0 'Scale    parameter : t0     =  1\.#INF0000e\+000$' 'value was not a number' -- -q -g 0 -t 10 "$work/infinite.dat"
    ;;
no-root)
    # Three equal values: g(m) has no root. The iteration ends by itself once its steps stop moving
    # m, or else by the time limit or Ctrl-C; every way gives results, status 0 and only the message
    # that says how it ended.
    printf '5\n5\n5\n' >"$work/equal.dat"
    for options in "-q -t 1" "-q -t 1 -g 0"; do
        run $options "$work/equal.dat"
        [ "$status" -eq 0 ] || fail "varnel $options on equal values exits $status, expected 0"
        expect_text "$work/out" "$results" "varnel $options on equal values: stdout"
        grep -qvE "$time_limit|$repeating" "$work/err" && fail "varnel $options on equal values: $(cat "$work/err")"
    done
    for options in "-q" "-q -g 0"; do
        interrupt_after_a_second $options "$work/equal.dat"
        [ "$status" -eq 0 ] || fail "Ctrl-C, varnel $options on equal values exits $status, expected 0"
        expect_text "$work/out" "$results" "Ctrl-C, varnel $options on equal values: stdout"
        grep -qvE "$stopped|$repeating" "$work/err" && fail "Ctrl-C, varnel $options on equal values: $(cat "$work/err")"
    done
    ;;
initial-m)
    data=$examples/ball_bearings.dat
    for m in 0 -0 0e5 -1 -1e-300 1e-400; do
        expect 2 EMPTY 'initial m must be greater than 0' -- -m "$m" "$data"
    done
    expect 2 EMPTY "needs a number, not ' 0'" -- -m ' 0' "$data"
    expect 2 EMPTY 'initial m must be greater than 0' -- --initial-m=-2 "$data"
    expect 2 EMPTY "needs a number, not '1e400'" -- -m 1e400 "$data"
    # Extreme starting values are allowed; whatever the iteration makes of them ends with results.
    expect 0 "$results" EMPTY -- -q -t 10 -m 4.9e-324 "$data"
    expect 0 "$results" 'value was not a number' -- -q -t 10 -m 1e300 "$data"
    ;;
report-memory)
    # The report is written line by line, so its memory does not grow with n: three million values
    # take about 24 MB as a sample and 110 MB as a report, and under 200 MB of address space a report
    # built whole in memory cannot be had. A time limit of 1 ms stops the iteration before its first
    # step (reading alone takes longer), so both runs end at m = 2 exactly and write the same bytes.
    seq 3000000 >"$work/many.dat"
    limits="-q -g 0 -m 2 -t 0.001"
    run $limits -o "$work/unlimited.txt" "$work/many.dat"
    [ "$status" -eq 0 ] || fail "report of many values exits $status: $(cat "$work/err")"
    (ulimit -v 200000 && exec timeout 100 "$varnel" $limits -o "$work/limited.txt" "$work/many.dat" \
        >"$work/out" 2>"$work/err")
    status=$?
    [ "$status" -eq 0 ] || fail "report of many values in 200 MB exits $status: $(head -c 300 "$work/err")"
    expect_text "$work/out" 'Shape    parameter : m      =  2\.00000000e\+000$' "report of many values: stdout"
    [ "$(wc -l <"$work/limited.txt")" -eq 3000017 ] || fail "the report has 17 + n lines"
    [ "$(sha256sum <"$work/limited.txt")" = "$(sha256sum <"$work/unlimited.txt")" ] ||
        fail "the report written in 200 MB differs from the unlimited one"
    ;;
bootstrap-memory)
    # Bootstrap samples of 6.4 billion units cannot be held in 400 MB of address space, with helper
    # threads at work beside the calling one: the run must end with the usual message and status 1,
    # never an abort (134). (That an exception on a helper thread reaches the caller is the pool's
    # own test.)
    printf '10 F 2147483647\n20 F 2147483647\n30 F 2147483647\n' >"$work/huge-counts.dat"
    for round in 1 2 3 4 5; do
        (ulimit -v 400000 && exec timeout 100 "$varnel" --mle --bounds none --bootstrap 20 --threads 4 \
            "$work/huge-counts.dat" >"$work/out" 2>"$work/err")
        status=$?
        [ "$status" -eq 1 ] || fail "round $round: a bootstrap out of memory exits $status, expected 1: $(head -c 300 "$work/err")"
        expect_text "$work/err" '^varnel: .*huge-counts\.dat: not enough memory to analyse the data$' \
            "round $round: a bootstrap out of memory: stderr"
    done
    # Three lines with counts of 1,000,000: a bootstrap sample of 3,000,000 units is drawn sorted
    # as values with counts, one sample at a time, so two refits fit in 200 MB of address space.
    printf '10 F 1000000\n20 F 1000000\n30 F 1000000\n' >"$work/counts.dat"
    (ulimit -v 200000 && exec timeout 100 "$varnel" --mle --bounds none --bootstrap 2 --threads 2 \
        "$work/counts.dat" >"$work/out" 2>"$work/err")
    status=$?
    [ "$status" -eq 0 ] || fail "a bootstrap of 3,000,000 units in 200 MB exits $status: $(head -c 300 "$work/err")"
    expect_text "$work/out" 'p-value 0\.333333 from 2 of 2 bootstrap refits' \
        "a bootstrap of 3,000,000 units in 200 MB: stdout"
    ;;
time-limit)
    # A limit longer than the clock can count in nanoseconds is as good as none, never a stop at once:
    # on a long iteration only the Ctrl-C a second later may end it.
    for limit in 1e10 1e300; do
        interrupt_after_a_second -q -m 3 -t "$limit" "$examples/long_iteration.dat"
        [ "$running" -eq 1 ] || fail "-t $limit: the iteration ended within a second: $(head -c 300 "$work/err")"
        [ "$status" -eq 0 ] || fail "-t $limit and Ctrl-C exit $status, expected 0"
        expect_text "$work/err" "$stopped" "-t $limit and Ctrl-C: stderr"
        grep -q "$time_limit" "$work/err" && fail "-t $limit ran out at once"
    done
    expect 2 EMPTY 'needs a number' -- -t 1e400 "$examples/ball_bearings.dat"
    expect 2 EMPTY 'time limit must be greater than 0' -- -t -1 "$examples/ball_bearings.dat"
    ;;
outputs)
    # Results first, then a report that cannot be written: an error naming it and status 1.
    data=$examples/ball_bearings.dat
    expect 1 "$results" 'cannot write report .*/missing/report\.txt: No such file or directory' \
        -- -o "$work/missing/report.txt" "$data"
    expect 1 "$results" "cannot write report $work: Is a directory" -- -o "$work" "$data"
    # A report of 2000 observations fills the output buffer many times before the close.
    seq 1 2000 >"$work/long.dat"
    expect 1 "$results" 'cannot write report /dev/full: No space left on device' -- -q -o /dev/full "$work/long.dat"
    # Standard output on a full device: no claimed success either.
    timeout 100 "$varnel" "$data" >/dev/full 2>"$work/err"
    status=$?
    [ "$status" -eq 1 ] || fail "results to a full device exit $status, expected 1"
    expect_text "$work/err" 'cannot write to standard output' "results to a full device: stderr"
    timeout 100 "$varnel" -o - "$work/long.dat" >/dev/full 2>"$work/err"
    status=$?
    [ "$status" -eq 1 ] || fail "a report on standard output to a full device exits $status, expected 1"
    ;;
binary)
    # A program picked by mistake: whatever lines happen to look like numbers are read, and the
    # outcome is results or one of the two run failures, within the time limit.
    run -q -t 5 "$varnel"
    case $status in
    0) expect_text "$work/out" "$results" "varnel on itself: stdout" ;;
    1) expect_text "$work/err" "($read_error|$gamma_error)" "varnel on itself: stderr" ;;
    *) fail "varnel on its own executable exits $status; stderr: $(head -c 300 "$work/err")" ;;
    esac
    ;;
valgrind)
    command -v valgrind >/dev/null || skip "valgrind is not installed"
    # valgrind runs one thread at a time, and by default a thread that yields may get the processor
    # straight back: the run's thread, yielding while it waits for a helper's chunk, would then starve
    # the helpers and the time-limit timer. Fair scheduling hands it on, as a real kernel does.
    memcheck=(valgrind -q --fair-sched=yes --error-exitcode=99 --leak-check=full
        --show-leak-kinds=definite,indirect,possible --errors-for-leak-kinds=definite,indirect,possible)
    check_memory() {
        local want=$1
        shift
        timeout 200 "${memcheck[@]}" "$varnel" "$@" >"$work/out" 2>"$work/err"
        status=$?
        [ "$status" -eq "$want" ] || fail "valgrind varnel $* exited $status, expected $want: $(head -c 2000 "$work/err")"
    }
    # A whole run with the search and a report; a long sample stopped by the time limit (helper and
    # timer threads); a failed run, which releases its sample on the way out.
    check_memory 0 -o "$work/report.txt" "$examples/ball_bearings.dat"
    check_memory 0 -q -m 3 -t 2 "$examples/long_iteration.dat"
    printf '0\n3\n4\n' >"$work/zero.dat"
    check_memory 1 "$work/zero.dat"
    ;;
*)
    fail "unknown group $group"
    ;;
esac

finish "$group"
