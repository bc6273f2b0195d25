// The life-data reader: every accepted form of a data line, and every malformed line refused with
// the file, the line and what was expected.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "life_data_file.h"

using namespace lifedata;
using namespace std::string_literals;

namespace {

std::string writeData(const std::string& name, const std::string& text)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "varnel_lifedata_tests";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

struct Expected {
    double value, upper;
    State state;
    std::uint32_t count;
};

TEST(LifeDataFile, ReadsEveryFormOfADataLine)
{
    const std::string path = writeData("forms.csv",
                                       "time,state,count\r\n"
                                       "10\r\n"
                                       "11 F\n"
                                       "12 s 3\n"
                                       "13,S,2147483647\n"
                                       "14\tf\t007\n"
                                       "0 15 I\n"
                                       "5, 16, i, 4\n"
                                       "17 17 I\n"
                                       "  1.8e1   \n"
                                       "\n"
                                       "   \t\n"
                                       "# a comment\n");
    const LifeData data = readLifeDataFile(path);
    const Expected expected[] = {
        {10, 10, State::failure, 1},  {11, 11, State::failure, 1},    {12, 12, State::suspension, 3},
        {13, 13, State::suspension, maximumCount}, {14, 14, State::failure, 7}, {0, 15, State::interval, 1},
        {5, 16, State::interval, 4},  {17, 17, State::failure, 1},    {18, 18, State::failure, 1},
    };
    ASSERT_EQ(data.values.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(data.values[i], expected[i].value) << i;
        EXPECT_EQ(data.upper[i], expected[i].upper) << i;
        EXPECT_EQ(data.states[i], expected[i].state) << i;
        EXPECT_EQ(data.counts[i], expected[i].count) << i;
    }
    const DataSummary summary = summarizeLifeData(data);
    EXPECT_EQ(summary.lines, 9u);
    EXPECT_EQ(summary.suspensions, 3u + maximumCount);
    EXPECT_EQ(summary.intervals, 5u);
    EXPECT_EQ(summary.failures, 11u);
    EXPECT_EQ(summary.units, summary.failures + summary.suspensions + summary.intervals);
    // The classic reader would take 12 s 3, 13 S, 14 f 007 and both intervals as single failures.
    EXPECT_EQ(countMarkedLines(path), 5u);
}

TEST(LifeDataFile, MalformedLinesNameFileLineAndWhatWasExpected)
{
    const struct {
        const char* line;
        const char* expected;
    } cases[] = {
        {"10 X", "expected VALUE [F|S [COUNT]] or LOW HIGH I [COUNT]"},
        {"10 FS", "expected VALUE [F|S [COUNT]] or LOW HIGH I [COUNT]"},
        {"10 20x I", "expected VALUE [F|S [COUNT]] or LOW HIGH I [COUNT]"},
        {"10 S 0", "expected a count after the state: a whole number from 1 to 2147483647 in digits"},
        {"10 S 2147483648", "expected a count after the state: a whole number from 1 to 2147483647 in digits"},
        {"10 S 1e3", "expected a count after the state: a whole number from 1 to 2147483647 in digits"},
        {"10 S +3", "expected a count after the state: a whole number from 1 to 2147483647 in digits"},
        {"10 S 3 4", "expected nothing after the count"},
        {"10 I", "expected LOW HIGH I: an interval needs both ends"},
        {"10 20", "expected I after the two ends of an interval: LOW HIGH I [COUNT]"},
        {"10 20 S", "expected I after the two ends of an interval: LOW HIGH I [COUNT]"},
        {"20 10 I", "expected LOW not above HIGH in LOW HIGH I"},
        {"1e400", "expected a finite time"},
        {"10 1e400 I", "expected a finite upper end of the interval"},
        {"10,,S", "expected VALUE [F|S [COUNT]] or LOW HIGH I [COUNT]"},
        {"e5 S", "expected a number at the start of the line"},
        // The classic reader skips a signed line as text; here it would be a unit lost without a word.
        {"-10 S", "expected a time without a sign (times are not below 0)"},
    };
    for (const auto& c : cases) {
        const std::string path = writeData("malformed.dat", std::string("# header\n1\n") + c.line + "\n2\n");
        try {
            readLifeDataFile(path);
            ADD_FAILURE() << c.line << " was accepted";
        } catch (const DataError& error) {
            EXPECT_EQ(std::string(error.what()), path + ":3: " + c.expected) << c.line;
        }
    }
}

TEST(LifeDataFile, LineNumbersCountTextLinesAndUnreadableFilesSayWhy)
{
    const std::string path = writeData("long.dat", "1\n" + std::string(300, ' ') + "\n2 Q\n");
    try {
        readLifeDataFile(path);
        ADD_FAILURE() << "accepted";
    } catch (const DataError& error) {
        EXPECT_EQ(std::string(error.what()).substr(path.size()), ":3: expected VALUE [F|S [COUNT]] or LOW HIGH I [COUNT]");
    }
    EXPECT_THROW(readLifeDataFile(path + ".absent"), DataError);
    EXPECT_EQ(countMarkedLines(path + ".absent"), 0u);
}

TEST(LifeDataFile, LongLinesAreReadWholeInEveryForm)
{
    // 303 characters: one number, which a reader cutting lines at 255 characters would split in two.
    const std::string digits = "1." + std::string(300, '0') + "1";
    const std::string interval = "0 " + std::string(280, '0') + "7 I 2";
    // In place, put together across a CR LF, and without a final LF; the padding pushes the last
    // line across the read buffer's end.
    const std::string text = digits + "\n" + interval + "\r\n" + std::string(70000, ' ') + "\n" + digits + " S";
    const LifeData data = readLifeDataFile(writeData("whole.dat", text));
    ASSERT_EQ(data.values.size(), 3u);
    EXPECT_EQ(data.values[0], 1.0);
    EXPECT_EQ(data.states[0], State::failure);
    EXPECT_EQ(data.upper[1], 7.0);
    EXPECT_EQ(data.states[1], State::interval);
    EXPECT_EQ(data.counts[1], 2u);
    EXPECT_EQ(data.values[2], 1.0);
    EXPECT_EQ(data.states[2], State::suspension);
}

TEST(LifeDataFile, NothingThatCouldBeARecordIsSkippedSilently)
{
    const struct {
        std::string text;
        const char* where;
    } refused[] = {
        // A NUL byte cut the line at 20 and the suspension was read as a failure.
        {"1\n20\0 S\n"s, ":2: expected text: the line holds a NUL byte"},
        {"1\r\n2\r\n3\0"s, ":3: expected text: the line holds a NUL byte"},
        // Special values were skipped as headers.
        {"1\nnan\n", ":2: expected a finite time"},
        {"1\nNaN,S\n", ":2: expected a finite time"},
        {"1\n  -inf S\n", ":2: expected a finite time"},
        {"1\nInfinity\n", ":2: expected a finite time"},
        {"1\n+INF\t3\n", ":2: expected a finite time"},
        {"1\nnan(0x7) S 2\n", ":2: expected a finite time"},
    };
    for (const auto& c : refused) {
        const std::string path = writeData("refused.dat", c.text);
        try {
            readLifeDataFile(path);
            ADD_FAILURE() << c.where << " was accepted";
        } catch (const DataError& error) {
            EXPECT_EQ(std::string(error.what()), path + c.where);
        }
    }
    // Words that only begin like a special value stay headers.
    const std::string headers = writeData("headers.dat", "information\nnanoseconds\ninfinite S\nnan(\n4\n");
    EXPECT_EQ(readLifeDataFile(headers).values, std::vector<double>{4});
}

TEST(LifeDataFile, AByteOrderMarkStartsTheFileAndNothingElse)
{
    const std::string bom = "\xEF\xBB\xBF";
    const LifeData data = readLifeDataFile(writeData("bom.csv", bom + "12,S\r\n13\r\n"));
    ASSERT_EQ(data.values.size(), 2u);
    EXPECT_EQ(data.values[0], 12.0);
    EXPECT_EQ(data.states[0], State::suspension);
    EXPECT_EQ(readLifeDataFile(writeData("bom_header.csv", bom + "time,state\n5\n")).values, std::vector<double>{5});
    // The classic reader takes the marked line as a header, so its warning counts it as no data line.
    EXPECT_EQ(countMarkedLines(writeData("bom_marked.csv", bom + "12 S\n")), 0u);
}

TEST(LifeData, RecordsFromACallerAreChecked)
{
    const LifeData good{{1, 0, 3}, {1, 2, 3}, {State::failure, State::interval, State::suspension}, {1, 2, 3}};
    EXPECT_NO_THROW(validateLifeData(good));
    auto broken = [&](auto change) {
        LifeData data = good;
        change(data);
        return data;
    };
    EXPECT_THROW(validateLifeData(broken([](LifeData& d) { d.counts.pop_back(); })), DataError);
    EXPECT_THROW(validateLifeData(broken([](LifeData& d) { d.values[0] = d.upper[0] = NAN; })), DataError);
    EXPECT_THROW(validateLifeData(broken([](LifeData& d) { d.values[2] = d.upper[2] = -1; })), DataError);
    EXPECT_THROW(validateLifeData(broken([](LifeData& d) { d.values[1] = 5; })), DataError);
    EXPECT_THROW(validateLifeData(broken([](LifeData& d) { d.counts[0] = 0; })), DataError);
    EXPECT_THROW(validateLifeData(broken([](LifeData& d) { d.upper[0] = 2; })), DataError);
    try {
        validateLifeData(broken([](LifeData& d) { d.counts[2] = maximumCount + 1u; }));
    } catch (const DataError& error) {
        EXPECT_EQ(std::string(error.what()), "record 3: a count outside 1 to 2147483647");
    }
}

} // namespace
