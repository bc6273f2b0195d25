// One whole estimation, the body of the worker thread.
#pragma once

// Reads, sorts, finds `gamma` if asked, solves for `m`, computes `t0` and the statistics, and shows
// the seven results through the host; reports the two failures; always ends with hostRunEnded().
void runEstimation();
