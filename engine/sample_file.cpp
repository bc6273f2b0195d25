// Reading the sample data file. The lines come from TextReader, which applies the text-mode rules
// the same way on every platform. The file is read twice so that the array is allocated once at its
// exact size, with no growing buffer.
#include "sample_file.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <new>

#include "estimation_state.h"
#include "number_syntax.h"
#include "text_lines.h"

namespace {

// Counts the data lines; false when the file cannot be read or holds more lines than a count can.
bool countDataLines(TextReader& reader, std::uint32_t& count)
{
    count = 0;
    while (const char* line = reader.nextLine()) {
        if (isDataLine(line)) {
            if (count == std::numeric_limits<std::uint32_t>::max())
                return false;
            ++count;
        }
    }
    return !reader.failed;
}

// Stores the value of every data line; false when the file no longer has exactly `count` of them.
bool storeDataLines(TextReader& reader, double* values, std::uint32_t count)
{
    std::uint32_t stored = 0;
    while (const char* line = reader.nextLine()) {
        if (isDataLine(line)) {
            if (stored == count)
                return false;
            values[stored++] = readNumber(line, nullptr);
        }
    }
    return !reader.failed && stored == count;
}

} // namespace

int compareSamples(double a, double b)
{
    const double difference = a - b;
    if (difference < 0)
        return -1;
    if (difference > 0)
        return 1;
    return 0;
}

void sortSamples()
{
    std::sort(state.samples, state.samples + state.n,
              [](double a, double b) { return compareSamples(a, b) < 0; });
}

std::uint32_t readSampleFile(const char* path)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return 0;

    // Large enough to be kept off the worker thread's stack.
    static TextReader reader;
    reader.start(file);
    std::uint32_t count = 0;
    if (!countDataLines(reader, count)) {
        std::fclose(file);
        return 0;
    }

    double* values = new (std::nothrow) double[count];
    if (!values) {
        std::fclose(file);
        return 0;
    }

    std::rewind(file);
    reader.start(file);
    const bool complete = storeDataLines(reader, values, count);
    std::fclose(file);

    // The old sample goes only when the new one is complete; a file that changed between the passes
    // loses both, so the run rejects it rather than estimate from half of it.
    releaseSamples();
    if (!complete) {
        delete[] values;
        state.n = 0;
        return 0;
    }
    state.samples = values;
    state.samplesHeld = 1;
    state.n = count;
    return count;
}
