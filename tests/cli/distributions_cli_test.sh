#!/usr/bin/env bash
# End-to-end tests of `varnel --life --distribution`: distributions_cli_test.sh VARNEL EXAMPLES
# The option's usage errors, its documents, and that the plain analysis is unchanged without it.
set -u
varnel=$1
examples=$2
. "$(dirname "$0")/checks.sh"

ovarian=$examples/ovarian_suspensions.dat
names='weibull2, weibull3, lognormal2, lognormal3, exponential1, exponential2, normal, loglogistic'

# Usage errors: status 2, nothing on standard output, the reason on standard error.
expect 2 EMPTY "unknown distribution 'weibull' \(use one of $names.*, all\)" -- --life --distribution weibull "$ovarian"
expect 2 EMPTY '--distribution needs --life' -- --distribution lognormal2 "$ovarian"
expect 2 EMPTY '--distribution needs --method mle' -- --life --method rrx --distribution lognormal2 "$ovarian"
expect 2 EMPTY '--distribution cannot be used with -g' -- --life -g 10 --distribution lognormal2 "$ovarian"
expect 2 EMPTY '--distribution cannot be used with --shape' -- --life --shape 2 --distribution all "$ovarian"
expect 2 EMPTY '--distribution cannot be used with --two-parameter' -- --life --two-parameter --distribution all "$ovarian"
expect 2 EMPTY 'option --distribution cannot be used with --plan' -- --plan --distribution all --shape 2 --units 10
expect 2 EMPTY 'needs a value' -- --life "$ovarian" --distribution

# A repeated name is fitted once; the list is in rank order with ranks 1, 2, ...
expect 0 '"distributions": \[' EMPTY -- --life --json --distribution lognormal2 --distribution=sev \
    --distribution lognormal2 "$ovarian"
[ "$(grep -c '"name": "lognormal2"' "$work/out")" -eq 1 ] || fail "lognormal2 appears once"
grep -q '"twoParameter"' "$work/out" && fail "a comparison has no twoParameter member"
grep -A40 '"name": "lognormal2"' "$work/out" | grep -q '"rank": 1' || fail "lognormal2 ranks first"

# Text: the ranking table, then each distribution's bounds; a model without a maximum is listed
# last, unranked, with its status, and the exit status is 0 since others were fitted.
expect 0 '^rank +distribution +parameters +log-likelihood +AICc +BIC +status$' EMPTY -- --life --distribution all "$ovarian"
expect_text "$work/out" '^- +weibull3 +- .*no interior maximum' "the unranked weibull3"
expect_text "$work/out" '^lognormal2$' "the bounds of lognormal2"
tail -n +5 "$work/out" | head -1 | grep -q '^1 ' || fail "the first row has rank 1"

# Without the option the document is the plain analysis, with no trace of the comparison.
expect 0 '"twoParameter"' EMPTY -- --life --json "$ovarian"
grep -q 'distributions' "$work/out" && fail "the plain analysis names no distributions"
expect 0 '^      --distribution NAME$' EMPTY -- --help

finish distributions
