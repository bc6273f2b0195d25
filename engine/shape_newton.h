// The shape parameter `m`: the maximum-likelihood equation, its slope and the damped Newton iteration.
#pragma once

#include "estimation_state.h"

double mlShapeEquation(double m);
double mlShapeDerivative(double m);

// Iterates from `start` until g is zero or NaN, Stop is requested, a first-try step falls below the
// relative tolerance, |m| exceeds 1e154, or a step can only repeat itself; returns the last m and
// leaves the reason in `state.iterationEnding`.
double newtonSolve(double start, double (*g)(double), double (*slope)(double));

// The ending in a few words for messages and JSON: "converged", "stopped", "diverged",
// "step repeating", "not finite" (and "none" before any iteration).
const char* iterationEndingName(IterationEnding ending);
