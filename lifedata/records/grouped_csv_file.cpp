// The CSV of a fleet, one record per row; blank lines and lines that start with # (notes) are skipped. Fields are split at commas; a field may be quoted ("..."
// with "" for a quote) to hold commas, but not line breaks. Numbers use the data files' syntax,
// and every row that would lose or change a record is an error naming its line, as in data files.
#include "grouped_csv_file.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "number_syntax.h"

namespace lifedata {

namespace {

constexpr std::size_t absent = static_cast<std::size_t>(-1);

// Where each column that matters stands in a row.
struct Layout {
    std::size_t fields = 0;
    std::size_t time = absent;
    std::size_t state = absent;
    std::size_t count = absent;
    std::size_t upper = absent;
    std::size_t group = absent;
};

std::string_view trimmed(std::string_view text)
{
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(" \t") + 1 - begin);
}

// The fields of a line, unquoted, into `fields` (whose strings are reused from line to line); false
// when a quote is not closed or is followed by more text.
bool splitFields(const std::string& line, std::vector<std::string>& fields)
{
    std::size_t count = 0;
    std::size_t p = 0;
    for (;;) {
        if (count == fields.size())
            fields.emplace_back();
        std::string& field = fields[count++];
        field.clear();
        const std::size_t start = line.find_first_not_of(" \t", p);
        if (start != std::string::npos && line[start] == '"') {
            std::size_t q = start + 1;
            for (;;) {
                if (q >= line.size())
                    return false;
                if (line[q] == '"' && q + 1 < line.size() && line[q + 1] == '"') {
                    field += '"';
                    q += 2;
                } else if (line[q] == '"') {
                    ++q;
                    break;
                } else {
                    field += line[q++];
                }
            }
            p = line.find_first_not_of(" \t", q);
            if (p != std::string::npos && line[p] != ',')
                return false;
        } else {
            const std::size_t comma = line.find(',', p);
            field = trimmed(std::string_view(line).substr(p, comma == std::string::npos ? std::string::npos : comma - p));
            p = comma;
        }
        if (p == std::string::npos) {
            fields.resize(count);
            return true;
        }
        ++p;
    }
}

// Made for every row, so it keeps only references until there is an error to name.
class CsvError {
public:
    CsvError(const std::string& path, std::uint64_t line) : path_(path), line_(line) {}
    [[noreturn]] void operator()(const std::string& expected) const
    {
        throw DataError(path_ + ":" + std::to_string(line_) + ": expected " + expected);
    }

private:
    const std::string& path_;
    std::uint64_t line_;
};

Layout headerLayout(const std::vector<std::string>& names, const std::string& groupColumn, const CsvError& fail)
{
    Layout layout;
    layout.fields = names.size();
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::size_t* slot = names[i] == groupColumn ? &layout.group
                            : names[i] == "time"    ? &layout.time
                            : names[i] == "state"   ? &layout.state
                            : names[i] == "count"   ? &layout.count
                            : names[i] == "upper"   ? &layout.upper
                                                    : nullptr;
        if (!slot)
            continue;
        if (*slot != absent)
            fail("each column once in the header, not '" + names[i] + "' twice");
        *slot = i;
    }
    if (layout.time == absent || layout.group == absent)
        fail("a header naming the columns time and " + groupColumn + " (and state, count, upper if given)");
    if (layout.group == layout.time)
        fail("the group column to be another than time");
    return layout;
}

double timeOf(const std::string& field, const char* what, const CsvError& fail)
{
    double value = 0;
    if (!readWholeNumber(field.c_str(), value) || !(value >= 0))
        fail(std::string(what) + ": a finite number not below 0, not '" + field + "'");
    return value;
}

State stateOf(const std::string& field, const CsvError& fail)
{
    if (field == "F" || field == "f")
        return State::failure;
    if (field == "S" || field == "s")
        return State::suspension;
    if (field == "I" || field == "i")
        return State::interval;
    fail("a state F, S or I, not '" + field + "'");
}

std::uint32_t countOf(const std::string& field, const CsvError& fail)
{
    if (field.empty())
        return 1;
    std::uint64_t count = 0;
    for (const char c : field) {
        if (c < '0' || c > '9' || count > maximumCount)
            fail("a count: a whole number from 1 to 2147483647 in digits, not '" + field + "'");
        count = 10 * count + static_cast<unsigned>(c - '0');
    }
    if (count < 1 || count > maximumCount)
        fail("a count: a whole number from 1 to 2147483647 in digits, not '" + field + "'");
    return static_cast<std::uint32_t>(count);
}

void addRecord(const std::vector<std::string>& fields, const Layout& layout, const CsvError& fail,
               GroupedCsvData& data, std::unordered_map<std::string, std::int64_t>& codes)
{
    if (fields.size() != layout.fields)
        fail(std::to_string(layout.fields) + " fields as in the header, not " + std::to_string(fields.size()));
    const double time = timeOf(fields[layout.time], "a time", fail);
    const State state = layout.state == absent ? State::failure : stateOf(fields[layout.state], fail);
    const std::string noUpper = layout.upper == absent ? "" : fields[layout.upper];
    double upper = time;
    if (state == State::interval) {
        if (noUpper.empty())
            fail("the interval's upper end in the column upper");
        upper = timeOf(noUpper, "an upper end", fail);
        if (upper < time)
            fail("an upper end not below the time of the interval");
    } else if (!noUpper.empty()) {
        fail("upper blank on an F or S row, not '" + noUpper + "'");
    }
    const auto [entry, added] = codes.try_emplace(fields[layout.group], static_cast<std::int64_t>(data.groups.size()));
    if (added)
        data.groups.push_back(fields[layout.group]);
    data.codes.push_back(entry->second);
    data.records.values.push_back(time);
    data.records.upper.push_back(upper);
    data.records.states.push_back(state);
    data.records.counts.push_back(layout.count == absent ? 1 : countOf(fields[layout.count], fail));
}

} // namespace

GroupedCsvData readGroupedCsvFile(const std::string& path, const std::string& groupColumn)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw DataError(path + ": " + std::strerror(errno));
    GroupedCsvData data;
    std::unordered_map<std::string, std::int64_t> codes;
    std::optional<Layout> layout;
    std::vector<std::string> fields;
    std::string line;
    std::uint64_t lineNumber = 0;
    while (std::getline(file, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (lineNumber == 1 && line.starts_with("\xEF\xBB\xBF"))
            line.erase(0, 3);
        const CsvError fail(path, lineNumber);
        if (line.find('\0') != std::string::npos)
            fail("text, not a NUL byte");
        const std::string_view text = trimmed(line);
        if (text.empty() || text.front() == '#')
            continue;
        if (!splitFields(line, fields))
            fail("a closing quote at the end of a quoted field");
        if (!layout)
            layout = headerLayout(fields, groupColumn, fail);
        else
            addRecord(fields, *layout, fail, data, codes);
    }
    if (file.bad())
        throw DataError(path + ": cannot be read");
    if (!layout)
        CsvError(path, lineNumber + 1)("a header naming the columns time and " + groupColumn);
    return data;
}

} // namespace lifedata
