// The static estimation record and the one operation on it as a whole: releasing the sample.
#include "estimation_state.h"

EstimationState state;

void releaseSamples()
{
    if (state.samplesHeld == 1) {
        delete[] state.samples;
        state.samples = nullptr;
        state.samplesHeld = 0;
    }
}
