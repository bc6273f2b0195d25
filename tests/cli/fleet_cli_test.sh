#!/usr/bin/env bash
# End-to-end tests of `varnel --life --by`: fleet_cli_test.sh VARNEL
# Each group's line is the document `--life --json` gives for that group's records alone.
set -u
varnel=$1
. "$(dirname "$0")/checks.sh"

cat >"$work/fleet.csv" <<'CSV'
# Notes before the header, and blank lines, are not rows.

part,time,state,count,upper,note
A,100,F,,,first
"B",90,F,,,
A,150,F,2,,
A,200,s,3,,
C,10,S,,,never failed
B,120,F,,,
B,"130",S,,,"a note, with a comma"
A,250,F,,,
B,300,I,,400,
B,500,F,,,
CSV
printf '100 F\n150 F 2\n200 S 3\n250 F\n' >"$work/A.dat"
printf '90\n120 F\n130 S\n300 400 I\n500 F\n' >"$work/B.dat"

# same_document LINE FILE OPTIONS...: the line, without its group, is the file's --json document.
same_document() {
    local line=$1 file=$2
    shift 2
    timeout 60 "$varnel" --life --json "$@" "$file" >"$work/single.json"
    printf '%s\n' "$line" >"$work/line.json"
    /usr/bin/python3 - "$work/line.json" "$work/single.json" <<'PY' || fail "the group line differs from --json on $file"
import json, sys
line = json.load(open(sys.argv[1]))
line.pop("group")
sys.exit(line != json.load(open(sys.argv[2])))
PY
}

# Groups in the order of their first row; the one without failures has its error and the rest go on.
expect 1 '^\{"group": "A", "method": "mle",' EMPTY -- --life --by part "$work/fleet.csv"
[ "$(wc -l <"$work/out")" -eq 3 ] || fail "one line per group: $(cat "$work/out")"
[ "$(sed -n 2p "$work/out" | cut -c1-14)" = '{"group": "B",' ] || fail "B is the second group"
sed -n 3p "$work/out" | cmp -s - <(printf '%s\n' '{"group": "C", "error": "no failures: the Weibull parameters cannot be estimated"}') ||
    fail "C's error line: $(sed -n 3p "$work/out")"
cp "$work/out" "$work/fleet.jsonl"
same_document "$(sed -n 1p "$work/fleet.jsonl")" "$work/A.dat"
same_document "$(sed -n 2p "$work/fleet.jsonl")" "$work/B.dat"

# Every other option applies to each group; any number of threads gives the same bytes.
grep -v '^C,' "$work/fleet.csv" >"$work/good.csv"
expect 0 '"percent": 50,' EMPTY -- --life --by part --two-parameter --b-life 50 --at 100 --threads 1 "$work/good.csv"
cp "$work/out" "$work/one-thread.jsonl"
same_document "$(sed -n 2p "$work/one-thread.jsonl")" "$work/B.dat" --two-parameter --b-life 50 --at 100
expect 0 '"group": "B"' EMPTY -- --life --by part --two-parameter --b-life 50 --at 100 --threads 3 "$work/good.csv"
cmp -s "$work/out" "$work/one-thread.jsonl" || fail "--threads 3 writes other lines than --threads 1"

# The file's errors name the file, the line and what was expected, and nothing is analysed.
bad() {
    printf "$1" >"$work/bad.csv"
    expect 1 EMPTY "^varnel: $work/bad.csv:$2: expected $3" -- --life --by part "$work/bad.csv"
}
bad 'time,state\n1,F\n' 1 'a header naming the columns time and part'
bad 'part,time,time\n' 1 "each column once in the header, not 'time' twice"
bad 'part,time\nA,1\nA,x\n' 3 "a time: a finite number not below 0, not 'x'"
bad 'part,time\nA,-1\n' 2 'a time: a finite number not below 0'
bad 'part,time,state\nA,1,Q\n' 2 "a state F, S or I, not 'Q'"
bad 'part,time,state,upper\nA,1,F,2\n' 2 "upper blank on an F or S row, not '2'"
bad 'part,time,state,upper\nA,1,I,\n' 2 "the interval's upper end in the column upper"
bad 'part,time,state,upper\nA,3,I,2\n' 2 'an upper end not below the time of the interval'
bad 'part,time,count\nA,1,0\n' 2 "a count: a whole number from 1 to 2147483647 in digits, not '0'"
bad 'part,time\nA,1,2\n' 2 '2 fields as in the header, not 3'
bad 'part,time\n\n"A,1\n' 3 'a closing quote at the end of a quoted field'
bad '' 1 'a header naming the columns time and part'
expect 1 EMPTY 'missing.csv: No such file or directory|missing.csv.*no such file' -- --life --by part "$work/missing.csv"

# Usage: --by belongs to --life, and one plot cannot stand for many groups.
expect 0 '--by COLUMN        DATAFILE is a CSV with a header' EMPTY -- --help
expect 2 EMPTY '--by needs --life' -- --by part "$work/fleet.csv"
expect 2 EMPTY '--plot cannot be used with --by' -- --life --by part --plot "$work/p.svg" "$work/fleet.csv"

finish fleet_cli
