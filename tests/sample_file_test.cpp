// The data file reader: line rules, number syntax, ownership of the sample array.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "estimation_state.h"
#include "fake_host.h"
#include "number_syntax.h"
#include "sample_file.h"

namespace {

std::vector<double> readValues(const std::string& name, const std::string& bytes)
{
    const std::string path = writeTempFile(name, bytes);
    const std::uint32_t count = readSampleFile(path.c_str());
    EXPECT_EQ(count, state.n);
    return std::vector<double>(state.samples, state.samples + count);
}

class SampleFile : public ::testing::Test {
protected:
    void SetUp() override { resetHostAndState(); }
    void TearDown() override { resetHostAndState(); }
};

TEST_F(SampleFile, LineEndsAndEndOfFile)
{
    const std::vector<double> lf = readValues("lf.dat", "1.5\n2\n# note\n3e1\n");
    EXPECT_EQ(lf, (std::vector<double>{1.5, 2, 30}));
    EXPECT_EQ(readValues("crlf.dat", "1.5\r\n2\r\n# note\r\n3e1\r\n"), lf);
    EXPECT_EQ(readValues("nofinal.dat", "1.5\n2\n# note\n3e1"), lf);

    // CR alone is an ordinary character: the whole text is one line, and only its start is a number.
    EXPECT_EQ(readValues("cr.dat", "1.5\r2\r3\r"), (std::vector<double>{1.5}));

    // Ctrl-Z ends the file; what stands before it on its line is a last line.
    EXPECT_EQ(readValues("ctrlz.dat", "1\n2\n3\x1a\n4\n5\n"), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(readValues("ctrlz-cr.dat", "1\r\x1a" "2\n"), (std::vector<double>{1}));

    // A NUL ends what the test and the conversion see: "1<NUL>2" reads as 1, "x<NUL>3" is skipped,
    // and a last line that begins with NUL looks empty, which the line test takes as a 0.
    EXPECT_EQ(readValues("nul.dat", std::string("1\0002\nx\0003\n\0", 9)), (std::vector<double>{1, 0}));
}

TEST_F(SampleFile, BlankAndSkippedLines)
{
    EXPECT_EQ(readValues("blank.dat", "\n   \n\t \n1\n"), (std::vector<double>{1}));
    // A last line of blanks without a LF reaches the end of the text: a data line reading 0.
    EXPECT_EQ(readValues("blanklast.dat", "1\n \t"), (std::vector<double>{1, 0}));
    EXPECT_EQ(readValues("skipped.dat", "-1\n+2\nabc\n.x\n.5\n e5\nE-1\n7,5\n8 9\n10 units\n"),
              (std::vector<double>{0.5, 0, 7, 8, 10}));
}

TEST_F(SampleFile, LongLinesAreCutEvery255Characters)
{
    EXPECT_EQ(readValues("long.dat", std::string(300, '1') + "\n").size(), 2u);
    EXPECT_EQ(state.samples[1], 111111111111111111111111111111111111111111111.0);

    // 254 characters and the LF are one line; 255 characters leave the LF as a line of its own.
    EXPECT_EQ(readValues("254.dat", std::string(254, '2') + "\n5\n").size(), 2u);
    EXPECT_EQ(readValues("255.dat", std::string(255, '2') + "\n5\n").size(), 2u);
    // A 255-character piece of blanks with more text behind it is a data line reading 0.
    EXPECT_EQ(readValues("blank255.dat", std::string(255, ' ') + "x\n"), (std::vector<double>{0}));
}

TEST_F(SampleFile, NumberSyntax)
{
    const std::vector<double> values =
        readValues("syntax.dat", "1.5d3\n1.5D3\n2.5e\n2.5e+\n1e400\n4.9e-324\n1e-400\n.25\n3.\n0.1\n");
    ASSERT_EQ(values.size(), 10u);
    EXPECT_EQ(values[0], 1500);
    EXPECT_EQ(values[1], 1500);
    EXPECT_EQ(values[2], 2.5);
    EXPECT_EQ(values[3], 2.5);
    EXPECT_EQ(values[4], std::numeric_limits<double>::infinity());
    EXPECT_EQ(values[5], std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(values[6], 0.0);
    EXPECT_EQ(values[7], 0.25);
    EXPECT_EQ(values[8], 3.0);
    EXPECT_EQ(values[9], 0.1);

    const char* end = nullptr;
    EXPECT_EQ(readNumber("-1.25e1x", &end), -12.5);
    EXPECT_STREQ(end, "x");
    EXPECT_EQ(readNumber("  +.5", &end), 0.5);
    EXPECT_EQ(readNumber("-1e999", &end), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(readNumber("1e-99999999999999999999", &end), 0.0);
    EXPECT_EQ(readNumber("0.000000000000000000000000001e99999", &end), std::numeric_limits<double>::infinity());
    EXPECT_EQ(readNumber("-", &end), 0.0);
    EXPECT_STREQ(end, "-");
    EXPECT_TRUE(std::signbit(readNumber("-0", &end)));
    // Correct rounding of a halfway case that naive digit accumulation gets wrong.
    EXPECT_EQ(readNumber("9007199254740993", &end), 9007199254740992.0);
    EXPECT_EQ(readNumber("2.2250738585072011e-308", &end), 2.225073858507201e-308);
}

TEST_F(SampleFile, InfinitySortsLast)
{
    readValues("inf.dat", "1e400\n3\n1\n2\n");
    sortSamples();
    EXPECT_EQ(std::vector<double>(state.samples, state.samples + 4),
              (std::vector<double>{1, 2, 3, std::numeric_limits<double>::infinity()}));
    EXPECT_EQ(compareSamples(std::nan(""), 1.0), 0);
    EXPECT_EQ(compareSamples(1.0, 2.0), -1);
    EXPECT_EQ(compareSamples(2.0, 1.0), 1);
}

TEST_F(SampleFile, OwnershipOfTheArray)
{
    const std::string empty = writeTempFile("empty.dat", "");
    EXPECT_EQ(readSampleFile(empty.c_str()), 0u);
    EXPECT_EQ(state.samplesHeld, 1);
    ASSERT_NE(state.samples, nullptr);

    // A second read releases the first array (the sanitizer build catches a leak).
    readValues("second.dat", "1\n2\n");
    EXPECT_EQ(state.samplesHeld, 1);
    EXPECT_EQ(state.n, 2u);

    // A file that cannot be opened, or a folder, changes nothing.
    double* held = state.samples;
    EXPECT_EQ(readSampleFile("/nonexistent/varnel.dat"), 0u);
    EXPECT_EQ(readSampleFile(std::filesystem::temp_directory_path().string().c_str()), 0u);
    EXPECT_EQ(state.samples, held);
    EXPECT_EQ(state.n, 2u);
    EXPECT_EQ(state.samplesHeld, 1);
}

TEST(DataLine, LineTest)
{
    EXPECT_TRUE(isDataLine(""));
    EXPECT_TRUE(isDataLine("  \t7\n"));
    EXPECT_TRUE(isDataLine(".5"));
    EXPECT_TRUE(isDataLine("e5"));
    EXPECT_TRUE(isDataLine("E5"));
    EXPECT_TRUE(isDataLine(" \t"));
    EXPECT_FALSE(isDataLine("\n"));
    EXPECT_FALSE(isDataLine("  \n"));
    EXPECT_FALSE(isDataLine("\r1"));
    EXPECT_FALSE(isDataLine("-1"));
    EXPECT_FALSE(isDataLine("+1"));
    EXPECT_FALSE(isDataLine(".e"));
    EXPECT_FALSE(isDataLine("d5"));
    EXPECT_FALSE(isDataLine("\xef\xbb\xbf" "1"));
}

} // namespace
