// Reading the sample data file. The file is opened in binary mode and the text-mode rules (CR LF
// reads as LF, a lone CR stays, the first Ctrl-Z ends the file) are applied here, so that every
// platform reads the same bytes as the same sample. The file is read twice so that the array is
// allocated once at its exact size, with no growing buffer.
#include "sample_file.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <new>

#include "estimation_state.h"
#include "number_syntax.h"

namespace {

constexpr int lineCapacity = 256; // 255 characters and the terminating NUL
constexpr int endOfFileByte = 0x1A;

// Buffered reader of the file's text, one line of at most 255 characters at a time.
struct TextReader {
    std::FILE* file;
    unsigned char buffer[1 << 16];
    std::size_t length;
    std::size_t position;
    bool ended;
    bool failed;
    char line[lineCapacity];

    void start(std::FILE* f)
    {
        file = f;
        length = position = 0;
        ended = failed = false;
    }

    int nextByte()
    {
        if (position == length) {
            if (ended)
                return EOF;
            length = std::fread(buffer, 1, sizeof buffer, file);
            position = 0;
            if (length == 0) {
                failed = std::ferror(file) != 0;
                ended = true;
                return EOF;
            }
        }
        return buffer[position++];
    }

    void pushBack() { --position; }

    // One character of the text after the line-end and end-of-file rules, or EOF.
    int nextChar()
    {
        const int c = nextByte();
        if (c == endOfFileByte) {
            ended = true;
            length = position = 0;
            return EOF;
        }
        if (c == '\r') {
            const int following = nextByte();
            if (following == '\n')
                return '\n';
            if (following != EOF)
                pushBack();
        }
        return c;
    }

    // A line that lies whole in the buffer, ends with a LF within 255 characters and holds no CR and
    // no Ctrl-Z is its own bytes there, ended by its LF; null (nothing taken) for any other line.
    const char* nextPlainLine()
    {
        const unsigned char* start = buffer + position;
        const std::size_t available = length - position;
        const std::size_t limit = available < lineCapacity - 1 ? available : lineCapacity - 1;
        for (std::size_t k = 0; k < limit; ++k) {
            const unsigned char c = start[k];
            if (c == '\n') {
                position += k + 1;
                return reinterpret_cast<const char*>(start);
            }
            if (c == '\r' || c == endOfFileByte)
                return nullptr;
        }
        return nullptr;
    }

    // The next line, or null at the end of the text. Most lines are read in place (nextPlainLine);
    // the others are put together in `line` by the text-mode rules and ended by a NUL. The line test
    // and the number conversion never look past a LF, so a line reads the same in either form.
    const char* nextLine()
    {
        if (const char* plain = nextPlainLine())
            return plain;
        int count = 0;
        while (count < lineCapacity - 1) {
            const int c = nextChar();
            if (c == EOF)
                break;
            line[count++] = static_cast<char>(c);
            if (c == '\n')
                break;
        }
        line[count] = '\0';
        return count > 0 ? line : nullptr;
    }
};

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

bool isDataLine(const char* line)
{
    for (const char* p = line;; ++p) {
        const char c = *p;
        if (c == '\0')
            return true;
        if (c >= '0' && c <= '9')
            return true;
        if ((c == '.' || c == 'e' || c == 'E') && p[1] >= '0' && p[1] <= '9')
            return true;
        if (c != ' ' && c != '\t')
            return false;
    }
}

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
