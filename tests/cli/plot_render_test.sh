#!/usr/bin/env bash
# The Weibull plot renders: plot_render_test.sh VARNEL RENDER_PLOT EXAMPLES
# Draws each example under the two rank methods that differ most (2 leaves points out) and renders
# the pictures with scripts/render-plot; every step has a timeout.
set -u
varnel=$1
render=$2
examples=$3
. "$(dirname "$0")/checks.sh"

for data in "$examples"/ball_bearings.dat "$examples"/glass_fibres.dat; do
    for rank in 1 2; do
        name=$(basename "$data" .dat)-$rank
        if ! timeout 60 "$varnel" -q -r "$rank" --plot "$work/$name.svg" "$data" >/dev/null; then
            fail "varnel --plot on $data, rank $rank"
            continue
        fi
        if ! timeout 60 "$render" "$work/$name.svg"; then
            fail "render-plot $name.svg"
            continue
        fi
        signature=$(od -An -tx1 -N8 "$work/$name.png" | tr -d ' \n')
        [ "$signature" = "89504e470d0a1a0a" ] || fail "$name.png is not a PNG ($signature)"
    done
done
# An accelerated model's two pictures, the second beside the first.
if timeout 60 "$varnel" --life --stress arrhenius --celsius --use-stress 130 --plot "$work/motorettes.svg" \
    "$examples"/motorette_insulation.dat >/dev/null; then
    for name in motorettes motorettes-life-stress; do
        timeout 60 "$render" "$work/$name.svg" || fail "render-plot $name.svg"
    done
else
    fail "varnel --life --stress --plot on the motorettes"
fi
finish "all plots rendered"
