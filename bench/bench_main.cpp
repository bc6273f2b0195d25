// varnel_bench: every benchmark, each straightforward loop right before the fast procedure that
// replaces it, so that both are measured side by side in one run on the same machine state.
#include <benchmark/benchmark.h>

#include "benchmarks.h"

int main(int argc, char** argv)
{
    registerReaderBenchmarks();
    registerShapeBenchmarks();
    registerFitBenchmarks();
    registerRunBenchmarks();
    registerBoundsBenchmarks();
    registerPrepareBenchmarks();
    registerFitCallBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
