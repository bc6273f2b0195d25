// One whole estimation, the body of the worker thread.
#pragma once

// Reads, sorts, finds `gamma` if asked, solves for `m`, computes `t0` and the statistics, and shows
// the seven results through the host; reports the two failures; always ends with hostRunEnded().
void runEstimation();

// The same run from its second step, on the sample a program without a data file has put into the
// state (`samples` allocated with new[], `samplesHeld` 1, `n` values in any order).
void runEstimationOnSamples();
