// Fuzz target: any bytes as a data file. readSampleFile must give the same count and the same values,
// bit for bit, as the plain reading below, which applies the file's rules one at a time over the
// whole text instead of streaming it through a line buffer. The life-data reader, on the same bytes,
// must either refuse the file or give records that pass its own checks, no more than the classic
// reader's lines.
#include <sys/mman.h>
#include <unistd.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "estimation_state.h"
#include "life_data_file.h"
#include "reference_number.h"
#include "sample_file.h"

namespace {

constexpr std::size_t longestLine = 255;

// The text as text mode gives it: a CR right before a LF disappears (the pair reads as the LF), any
// other CR stays, and the first Ctrl-Z ends everything.
std::string textOf(const std::uint8_t* data, std::size_t size)
{
    std::string text;
    for (std::size_t i = 0; i < size && data[i] != 0x1A; ++i) {
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n')
            continue;
        text += static_cast<char>(data[i]);
    }
    return text;
}

// Lines end after a LF or after 255 characters; a last piece without a LF is a line too.
std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (const char c : text) {
        line += c;
        if (c == '\n' || line.size() == longestLine) {
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

bool digit(char c) { return c >= '0' && c <= '9'; }

// Spaces and tabs are passed over; then the end of the visible text (a NUL), a digit, or a full stop
// or e/E before a digit makes a data line. c_str() stops at the first NUL as the program's buffer does.
bool beginsLikeNumber(const char* line)
{
    std::size_t i = 0;
    while (line[i] == ' ' || line[i] == '\t')
        ++i;
    const char c = line[i];
    if (c == '\0' || digit(c))
        return true;
    return (c == '.' || c == 'e' || c == 'E') && digit(line[i + 1]);
}

std::vector<double> referenceReading(const std::uint8_t* data, std::size_t size)
{
    std::vector<double> values;
    for (const std::string& line : linesOf(textOf(data, size))) {
        if (beginsLikeNumber(line.c_str()))
            values.push_back(referenceNumber(line.c_str()).value);
    }
    return values;
}

[[noreturn]] void mismatch(const char* what, std::size_t index, double expected, double got)
{
    std::fprintf(stderr, "readSampleFile differs from the reference: %s at %zu: expected %.17g, got %.17g\n",
                 what, index, expected, got);
    std::abort();
}

// The bytes go into a memory file, which readSampleFile opens by its path like any data file.
struct MemoryFile {
    int fd;
    std::string path;
};

const MemoryFile& memoryFile()
{
    static const MemoryFile file = [] {
        const int fd = memfd_create("varnel-fuzz-data", 0);
        if (fd < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        return MemoryFile{fd, "/proc/self/fd/" + std::to_string(fd)};
    }();
    return file;
}

void replaceContents(int fd, const std::uint8_t* data, std::size_t size)
{
    if (ftruncate(fd, 0) != 0) {
        std::perror("ftruncate");
        std::abort();
    }
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = pwrite(fd, data + written, size - written, static_cast<off_t>(written));
        if (n <= 0) {
            std::perror("pwrite");
            std::abort();
        }
        written += static_cast<std::size_t>(n);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const MemoryFile& file = memoryFile();
    replaceContents(file.fd, data, size);

    const std::vector<double> expected = referenceReading(data, size);
    const std::uint32_t count = readSampleFile(file.path.c_str());

    if (count != expected.size())
        mismatch("count", 0, static_cast<double>(expected.size()), count);
    if (state.n != count || state.samplesHeld != 1 || state.samples == nullptr)
        mismatch("state after a successful read", 0, count, state.n);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (std::bit_cast<std::uint64_t>(state.samples[i]) != std::bit_cast<std::uint64_t>(expected[i]))
            mismatch("value", i, expected[i], state.samples[i]);
    }
    lifedata::LifeData records;
    bool accepted = true;
    try {
        records = lifedata::readLifeDataFile(file.path);
    } catch (const lifedata::DataError&) {
        accepted = false; // a malformed line, refused with its message
    }
    if (accepted) {
        try {
            lifedata::validateLifeData(records);
        } catch (const lifedata::DataError& error) {
            std::fprintf(stderr, "readLifeDataFile gave a record its checks refuse: %s\n", error.what());
            std::abort();
        }
        // Every record is a classic data line, but for a first line behind a byte-order mark, which
        // the classic reader takes as a header.
        const bool byteOrderMark = size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF;
        if (records.values.size() > count + byteOrderMark)
            mismatch("life-data records", 0, count, static_cast<double>(records.values.size()));
    }
    // Some reads then start with no sample held, the others with one to release.
    if (size % 2 == 0)
        releaseSamples();
    return 0;
}
