// Generated samples and data files for the benchmarks, the same on every run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "life_data.h"

// n values of a Weibull distribution (shape 1.8, characteristic life 100) shifted by 50, ascending.
const std::vector<double>& weibullSample(std::uint32_t n);

// Points the estimation state at `sample` (not owned: `samplesHeld` stays 0), with `gamma` 0.
void useSample(const std::vector<double>& sample);

// Clears what useSample set, so that no benchmark leaves the state pointing at its sample.
void forgetSample();

// A data file of the first `lines` values of the sample, one a line with five decimals (about ten
// bytes a line), written once; returns its path.
std::string weibullDataFile(std::uint32_t lines);

// The size of the file at `path` in bytes.
std::int64_t fileSize(const std::string& path);

// Adds the column "time/value": the time of one iteration divided by the n values (or lines) it
// handles. Every benchmark has it, as the table of scripts/bench needs the same columns in each row.
void reportTimePerValue(benchmark::State& bench, std::uint32_t n);

// The life-data benchmarks' records: 1,000,000 Weibull lifetimes (shape 1.8, eta 100) in the order
// drawn, every third unit suspended at its time.
constexpr std::uint32_t censoredRecordCount = 1000000;
const lifedata::LifeData& censoredLifeData();
