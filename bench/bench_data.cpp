// Generated samples and data files for the benchmarks. A fixed seed makes every run use the same
// values, so that figures from different runs compare.
#include "bench_data.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>

#include "estimation_state.h"
#include "random_stream.h"

const std::vector<double>& weibullSample(std::uint32_t n)
{
    static std::map<std::uint32_t, std::vector<double>> samples;
    std::vector<double>& sample = samples[n];
    if (sample.empty()) {
        std::mt19937_64 random(20240611);
        std::weibull_distribution<double> weibull(1.8, 100.0);
        sample.resize(n);
        for (double& value : sample)
            value = 50.0 + weibull(random);
        std::sort(sample.begin(), sample.end());
    }
    return sample;
}

void useSample(const std::vector<double>& sample)
{
    state.samples = const_cast<double*>(sample.data());
    state.n = static_cast<std::uint32_t>(sample.size());
    state.samplesHeld = 0;
    state.gamma = 0.0;
}

void forgetSample()
{
    state.samples = nullptr;
    state.n = 0;
}

std::string weibullDataFile(std::uint32_t lines)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "varnel_bench";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / ("weibull-" + std::to_string(lines) + ".dat")).string();
    if (std::filesystem::exists(path))
        return path;

    // The file order is not sorted: the run's sort is part of the work measured.
    std::mt19937_64 random(lines);
    std::weibull_distribution<double> weibull(1.8, 100.0);
    std::string text;
    for (std::uint32_t i = 0; i < lines; ++i) {
        char line[64];
        char* end = std::to_chars(line, line + sizeof line - 1, 50.0 + weibull(random),
                                  std::chars_format::fixed, 5).ptr;
        *end++ = '\n';
        text.append(line, end);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return path;
}

std::int64_t fileSize(const std::string& path)
{
    return static_cast<std::int64_t>(std::filesystem::file_size(path));
}

void reportTimePerValue(benchmark::State& bench, std::uint32_t n)
{
    bench.counters["time/value"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

const lifedata::LifeData& censoredLifeData()
{
    static const lifedata::LifeData data = [] {
        lifedata::RandomStream stream(7, 0);
        lifedata::LifeData d;
        for (std::uint32_t i = 0; i < censoredRecordCount; ++i) {
            d.values.push_back(lifedata::weibullDraw(stream, 1.8, 100, 0));
            d.states.push_back(i % 3 == 2 ? lifedata::State::suspension : lifedata::State::failure);
        }
        d.upper = d.values;
        d.counts.assign(censoredRecordCount, 1);
        return d;
    }();
    return data;
}
