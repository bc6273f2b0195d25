// One evaluation of the shape equation and of its slope, within a run (per-run arrays and helper
// threads) and without (the straightforward loop). The evaluations alternate between two values of
// m, as the trials of the iteration do, so that no evaluation is the remembered one of the last m.
#include "bench_data.h"
#include "benchmarks.h"
#include "per_value_work.h"
#include "shape_newton.h"

namespace {

void evaluate(benchmark::State& bench, double (*procedure)(double), std::uint32_t n, bool fast)
{
    useSample(weibullSample(n));
    if (fast) {
        startPerValueWork();
        benchmark::DoNotOptimize(procedure(1.0)); // the per-run arrays are made once per run
    }
    const double m[2] = {1.5, 1.5000001};
    unsigned k = 0;
    for (auto _ : bench)
        benchmark::DoNotOptimize(procedure(m[k++ & 1]));
    stopPerValueWork();
    forgetSample();
    reportTimePerValue(bench, n);
}

} // namespace

void registerShapeBenchmarks()
{
    const struct {
        const char* name;
        double (*procedure)(double);
    } procedures[] = {{"mlShapeEquation", mlShapeEquation}, {"mlShapeDerivative", mlShapeDerivative}};
    for (const auto& p : procedures) {
        for (const std::uint32_t n : {1000u, 100000u, 1000000u}) {
            const std::string name = std::string(p.name) + "/n:" + std::to_string(n);
            benchmark::RegisterBenchmark((name + "/straightforward").c_str(), evaluate, p.procedure, n, false)
                ->Unit(benchmark::kMicrosecond)->UseRealTime();
            benchmark::RegisterBenchmark((name + "/fast").c_str(), evaluate, p.procedure, n, true)
                ->Unit(benchmark::kMicrosecond)->UseRealTime();
        }
    }
}
