// The life-data reader. Lines come from the shared TextReader (whole, however long) and values from
// the classic number syntax, so a file reads the same values in both methods; what follows the value
// is checked here strictly, because a mistyped state or count silently read as a failure would change
// the estimate. Nothing that could be a record is skipped as a header without a word: a signed number,
// a special value such as nan, a NUL byte.
#include "life_data_file.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "number_syntax.h"
#include "text_lines.h"

namespace lifedata {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLineEnd(char c) { return c == '\0' || c == '\n'; }

struct LineRecord {
    double value = 0;
    double upper = 0;
    State state = State::failure;
    std::uint32_t count = 1;
    double stress = 0;
    std::string_view mode; // the mode word, empty where none; points into the line
};

// What one line holds: nothing to read, a record, or what was expected instead.
struct ParsedLine {
    enum class Kind { skipped, record, malformed } kind = Kind::skipped;
    LineRecord record;
    const char* expected = "";
};

ParsedLine malformed(const char* expected)
{
    ParsedLine parsed;
    parsed.kind = ParsedLine::Kind::malformed;
    parsed.expected = expected;
    return parsed;
}

// Moves past the blanks and at most one comma between two fields; false at the end of the line.
bool nextField(const char*& p)
{
    while (isBlank(*p))
        ++p;
    if (*p == ',') {
        ++p;
        while (isBlank(*p))
            ++p;
    }
    return !isLineEnd(*p);
}

bool atLineEnd(const char* p)
{
    while (isBlank(*p))
        ++p;
    return isLineEnd(*p);
}

// The token from `p` to the next separator.
const char* tokenEnd(const char* p)
{
    while (!isLineEnd(*p) && !isBlank(*p) && *p != ',')
        ++p;
    return p;
}

// A count: digits only, 1 to maximumCount. Advances `p` past it.
bool readCount(const char*& p, std::uint32_t& count)
{
    const char* end = tokenEnd(p);
    if (end == p)
        return false;
    std::uint64_t value = 0;
    for (const char* q = p; q < end; ++q) {
        if (!isDigit(*q))
            return false;
        value = value * 10 + static_cast<std::uint64_t>(*q - '0');
        if (value > maximumCount)
            return false;
    }
    if (value == 0)
        return false;
    count = static_cast<std::uint32_t>(value);
    p = end;
    return true;
}

// A state letter standing alone as a field: F, S or I in either case; 0 otherwise.
char readState(const char*& p)
{
    const char* end = tokenEnd(p);
    if (end - p != 1)
        return 0;
    const char c = static_cast<char>(*p | 0x20);
    if (c != 'f' && c != 's' && c != 'i')
        return 0;
    p = end;
    return c;
}

// A line whose first character is a sign followed by a number is data the classic reader skips;
// here it must not vanish silently.
bool startsWithSignedNumber(const char* line)
{
    const char* p = line;
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p != '+' && *p != '-')
        return false;
    ++p;
    return isDigit(*p) || (*p == '.' && isDigit(p[1]));
}

bool equalsIgnoringCase(const char* begin, const char* end, const char* word)
{
    for (; begin < end && *word; ++begin, ++word) {
        if ((*begin | 0x20) != *word)
            return false;
    }
    return begin == end && !*word;
}

// A line whose first word (after an optional sign) is one that number conversions elsewhere read as
// a special value: nan, nan(...), inf or infinity, in any case. A spreadsheet writes these for a
// missing or broken time; skipped as a header, the unit would be lost.
bool startsWithSpecialValue(const char* line)
{
    const char* p = line;
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p == '+' || *p == '-')
        ++p;
    const char* end = tokenEnd(p);
    if (equalsIgnoringCase(p, end, "nan") || equalsIgnoringCase(p, end, "inf") ||
        equalsIgnoringCase(p, end, "infinity"))
        return true;
    return end - p >= 5 && equalsIgnoringCase(p, p + 4, "nan(") && end[-1] == ')';
}

bool isBlankLine(const char* line)
{
    const char* p = line;
    while (*p == ' ' || *p == '\t')
        ++p;
    return isLineEnd(*p);
}

const char* const countExpected = "expected a count after the state: a whole number from 1 to 2147483647 in digits";
const char* const finiteTimeExpected = "expected a finite time";
const char* const fieldsExpected = "expected VALUE [F|S [COUNT]] or LOW HIGH I [COUNT]";
const char* const stressFieldsExpected = "expected VALUE F|S COUNT STRESS or LOW HIGH I COUNT STRESS";
const char* const stressCountExpected =
    "expected a count after the state (required with a stress): a whole number from 1 to 2147483647 in digits";

bool isLetter(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// A failure mode's word: a letter, then printable ASCII (so that it stays readable in every
// output), and not a lone state letter. Advances `p` past it; the reason it is not one otherwise.
const char* readMode(const char*& p, std::string_view& mode)
{
    const char* end = tokenEnd(p);
    for (const char* q = p; q < end; ++q) {
        if (*q < '!' || *q > '~')
            return "expected a mode word of printable ASCII characters";
    }
    const char* word = p;
    if (readState(word))
        return "expected one state: a mode word cannot be F, S or I";
    mode = std::string_view(p, static_cast<std::size_t>(end - p));
    p = end;
    return nullptr;
}

// The fields after the state, when the line ends there: [COUNT] [MODE].
ParsedLine finishLine(const char* p, LineRecord record)
{
    if (nextField(p) && !isLetter(*p)) {
        if (!readCount(p, record.count))
            return malformed(countExpected);
    }
    if (nextField(p) && isLetter(*p)) {
        if (record.state == State::suspension)
            return malformed("expected no mode on an S line: a suspension has no failure mode");
        if (const char* problem = readMode(p, record.mode))
            return malformed(problem);
    }
    if (!atLineEnd(p))
        return malformed(record.mode.empty() ? "expected nothing after the count" : "expected nothing after the mode");
    ParsedLine parsed;
    parsed.kind = ParsedLine::Kind::record;
    parsed.record = record;
    return parsed;
}

// The count and the stress that end every line of accelerated data.
ParsedLine finishStressLine(const char* p, LineRecord record, const StressColumn& column)
{
    if (!nextField(p) || !readCount(p, record.count))
        return malformed(stressCountExpected);
    if (!nextField(p))
        return malformed(stressFieldsExpected);
    const char* start = p;
    record.stress = readNumber(start, &p);
    if (p == start || p != tokenEnd(start))
        return malformed(stressFieldsExpected);
    const double lowest = column.celsius ? -273.15 : 0;
    if (!std::isfinite(record.stress) || !(record.stress > lowest))
        return malformed(column.celsius ? "expected a stress above -273.15 degrees Celsius" : "expected a stress above 0");
    if (!atLineEnd(p))
        return malformed("expected nothing after the stress");
    ParsedLine parsed;
    parsed.kind = ParsedLine::Kind::record;
    parsed.record = record;
    return parsed;
}

// The line's fields after its state: the count, and the stress with a stress column.
ParsedLine finishLine(const char* p, LineRecord record, const StressColumn* column)
{
    return column ? finishStressLine(p, record, *column) : finishLine(p, record);
}

ParsedLine parseLine(const char* line, const StressColumn* column = nullptr)
{
    if (!isDataLine(line)) {
        if (startsWithSpecialValue(line))
            return malformed(finiteTimeExpected);
        return startsWithSignedNumber(line) ? malformed("expected a time without a sign (times are not below 0)") : ParsedLine{};
    }
    if (isBlankLine(line))
        return {};
    const char* p = nullptr;
    LineRecord record;
    record.value = readNumber(line, &p);
    if (p == line)
        return malformed("expected a number at the start of the line");
    record.upper = record.value;
    if (!std::isfinite(record.value))
        return malformed(finiteTimeExpected);
    if (!nextField(p))
        return column ? malformed(stressFieldsExpected) : finishLine(p, record);

    if (const char state = readState(p)) {
        if (state == 'i')
            return malformed("expected LOW HIGH I: an interval needs both ends");
        record.state = state == 's' ? State::suspension : State::failure;
        return finishLine(p, record, column);
    }
    const char* high = p;
    const double upper = readNumber(high, &p);
    if (p == high || p != tokenEnd(high))
        return malformed(fieldsExpected);
    if (!std::isfinite(upper))
        return malformed("expected a finite upper end of the interval");
    if (!nextField(p) || readState(p) != 'i')
        return malformed(column ? stressFieldsExpected : "expected I after the two ends of an interval: LOW HIGH I [COUNT]");
    if (record.value > upper)
        return malformed("expected LOW not above HIGH in LOW HIGH I");
    record.upper = upper;
    record.state = record.value == upper ? State::failure : State::interval;
    return finishLine(p, record, column);
}

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

struct ClosingFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, ClosingFile>;

File openData(const std::string& path)
{
    File file(std::fopen(path.c_str(), "rb"));
    if (!file)
        throw DataError(path + ": " + std::strerror(errno));
    return file;
}

// Calls use(line number, parsed line) for every line that holds a record, in file order, until it
// returns false. Any line that would lose or change a record is an error naming the line.
template <typename Use>
void readRecordLines(const std::string& path, Use use, const StressColumn* column = nullptr)
{
    File file = openData(path);
    // Large enough to be kept off the stack.
    auto reader = std::make_unique<WholeLineReader>();
    reader->start(file.get());
    std::uint64_t lineNumber = 0;
    for (std::string_view line; !(line = reader->nextLine()).empty();) {
        ++lineNumber;
        // A spreadsheet's "CSV UTF-8" starts with a byte-order mark, which would hide a first record.
        if (lineNumber == 1 && line.starts_with(byteOrderMark))
            line.remove_prefix(byteOrderMark.size());
        auto refuse = [&](const char* expected) {
            throw DataError(path + ":" + std::to_string(lineNumber) + ": " + expected);
        };
        // The parser stops at a NUL, so a NUL byte would silently cut the line short.
        if (line.find('\0') != std::string_view::npos)
            refuse("expected text: the line holds a NUL byte");
        const ParsedLine parsed = parseLine(line.data(), column);
        if (parsed.kind == ParsedLine::Kind::malformed)
            refuse(parsed.expected);
        if (parsed.kind == ParsedLine::Kind::skipped)
            continue;
        if (!use(lineNumber, parsed.record))
            return;
    }
    if (reader->failed())
        throw DataError(path + ": cannot be read");
}

} // namespace

namespace {

// The mode indexes of the records, names numbered in order of first appearance; kept only when
// some line names a mode, so that data without modes stays as it was.
class ModeNumbering {
public:
    void add(const LineRecord& record)
    {
        named_ = named_ || !record.mode.empty();
        if (record.state == State::suspension) {
            modes_.push_back(noMode);
            return;
        }
        const std::string name = record.mode.empty() ? unlabelledMode : std::string(record.mode);
        const auto [found, added] = indexes_.try_emplace(name, static_cast<std::uint32_t>(names_.size()));
        if (added)
            names_.push_back(name);
        modes_.push_back(found->second);
    }
    void moveInto(LifeData& data)
    {
        if (!named_)
            return;
        data.modes = std::move(modes_);
        data.modeNames = std::move(names_);
    }

private:
    bool named_ = false;
    std::vector<std::uint32_t> modes_;
    std::vector<std::string> names_;
    std::unordered_map<std::string, std::uint32_t> indexes_;
};

} // namespace

LifeData readLifeDataFile(const std::string& path)
{
    LifeData data;
    ModeNumbering modes;
    readRecordLines(path, [&](std::uint64_t, const auto& record) {
        data.values.push_back(record.value);
        data.upper.push_back(record.upper);
        data.states.push_back(record.state);
        data.counts.push_back(record.count);
        modes.add(record);
        return true;
    });
    modes.moveInto(data);
    return data;
}

LifeData readLifeDataFile(const std::string& path, const StressColumn& column)
{
    LifeData data;
    readRecordLines(
        path,
        [&](std::uint64_t, const auto& record) {
            data.values.push_back(record.value);
            data.upper.push_back(record.upper);
            data.states.push_back(record.state);
            data.counts.push_back(record.count);
            data.stresses.push_back(record.stress);
            return true;
        },
        &column);
    return data;
}

std::uint64_t lineOfRecord(const std::string& path, std::size_t index)
{
    std::uint64_t found = 0;
    std::size_t records = 0;
    try {
        readRecordLines(path, [&](std::uint64_t lineNumber, const auto&) {
            if (records++ == index)
                found = lineNumber;
            return found == 0;
        });
    } catch (const DataError&) {
        return 0;
    }
    return found;
}

std::uint64_t countMarkedLines(const std::string& path)
{
    File file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return 0;
    auto reader = std::make_unique<TextReader>();
    reader->start(file.get());
    std::uint64_t marked = 0;
    while (const char* line = reader->nextLine()) {
        const ParsedLine parsed = parseLine(line);
        if (parsed.kind == ParsedLine::Kind::record &&
            (parsed.record.state != State::failure || parsed.record.count != 1))
            ++marked;
    }
    return marked;
}

} // namespace lifedata
