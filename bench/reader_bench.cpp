// Reading the data file: readSampleFile beside a reading with fgets and strtod, the straightforward
// way to read such a file (it lacks the d/D exponents and the own text-mode rules, which these files
// do not use, so it gives the same values here).
#include <cstdio>
#include <cstdlib>

#include "bench_data.h"
#include "benchmarks.h"
#include "estimation_state.h"
#include "sample_file.h"

namespace {

std::uint32_t readWithFgetsAndStrtod(const char* path)
{
    std::FILE* file = std::fopen(path, "r");
    if (!file)
        return 0;
    char line[256];
    std::uint32_t count = 0;
    while (std::fgets(line, sizeof line, file))
        count += isDataLine(line);
    double* values = new double[count];
    std::rewind(file);
    std::uint32_t stored = 0;
    while (std::fgets(line, sizeof line, file) && stored < count) {
        if (isDataLine(line))
            values[stored++] = std::strtod(line, nullptr);
    }
    std::fclose(file);
    benchmark::DoNotOptimize(values);
    delete[] values;
    return stored;
}

void readingStraightforward(benchmark::State& bench, std::uint32_t lines)
{
    const std::string path = weibullDataFile(lines);
    for (auto _ : bench)
        benchmark::DoNotOptimize(readWithFgetsAndStrtod(path.c_str()));
    bench.SetBytesProcessed(bench.iterations() * fileSize(path));
    reportTimePerValue(bench, lines);
}

void readingFast(benchmark::State& bench, std::uint32_t lines)
{
    const std::string path = weibullDataFile(lines);
    for (auto _ : bench)
        benchmark::DoNotOptimize(readSampleFile(path.c_str()));
    bench.SetBytesProcessed(bench.iterations() * fileSize(path));
    reportTimePerValue(bench, lines);
    releaseSamples();
}

} // namespace

void registerReaderBenchmarks()
{
    for (const std::uint32_t lines : {100000u, 1000000u}) {
        const std::string name = "readSampleFile/lines:" + std::to_string(lines);
        benchmark::RegisterBenchmark((name + "/straightforward").c_str(), readingStraightforward, lines)
            ->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark((name + "/fast").c_str(), readingFast, lines)
            ->Unit(benchmark::kMillisecond)->UseRealTime();
    }
}
