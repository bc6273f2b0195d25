// The report file: its lines byte for byte, the labels, the special texts, and honest failure.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "estimation_run.h"
#include "estimation_state.h"
#include "fake_host.h"
#include "plotting_position.h"
#include "report_file.h"

namespace {

std::vector<std::string> splitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return lines;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ReportFile : public ::testing::Test {
protected:
    void SetUp() override { resetHostAndState(); }
    void TearDown() override { resetHostAndState(); }

    void run(const std::string& bytes, int fi, double gamma = 0.0)
    {
        std::strcpy(state.RFile, writeTempFile("report-data.dat", bytes).c_str());
        state.autoGamma = 0;
        state.gamma = gamma;
        state.initialM = 1.0;
        state.Fi = fi;
        selectRankFunction();
        runEstimation();
        ASSERT_EQ(state.samplesHeld, 1);
    }
};

TEST_F(ReportFile, LinesOfARunOfThree)
{
    run("1\n2\n3\n", 1);
    const std::vector<std::string> lines = splitCrLf(reportText());
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[0], "Varnel  Version 1.00  -  Output file");
    EXPECT_EQ(lines[1], programNotice);
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], std::string("Data file          : RFile  = ") + state.RFile);
    EXPECT_EQ(lines[4], "Rank method        : Fi     = i/(n+1)");
    EXPECT_EQ(lines[5], "Shape    parameter : m      =  2.73857317e+000");
    EXPECT_EQ(lines[7], "Location parameter : gamma  =  0.00000000e+000");
    EXPECT_EQ(lines[8], "");
    EXPECT_EQ(lines[12].substr(0, 30), "Variance           : sigma2 = ");
    EXPECT_EQ(lines[13], "");
    EXPECT_EQ(lines[14], "");
    EXPECT_EQ(lines[15], "Input data reduced by gamma");
    EXPECT_EQ(lines[16], "ln(t)               ln(ln(1/(1-F)))");
    // x = ln 1 = 0 and y = ln(ln(1/(1 - 0.25))).
    EXPECT_EQ(lines[17], " 0.00000000e+000    -1.24589932e+000");
    for (int i = 17; i < 20; ++i) {
        EXPECT_EQ(lines[i].size(), 36u);
        EXPECT_EQ(lines[i].find("    "), 16u);
    }
}

TEST_F(ReportFile, LabelsAndInfiniteOrdinates)
{
    const char* labels[] = {"i/(n+1)", "(i-1)/(n-1)", "(i-0.3)/(n+0.4)", "(i-0.5)/n"};
    for (int fi = 1; fi <= 4; ++fi) {
        run("1\n2\n3\n", fi);
        const std::vector<std::string> lines = splitCrLf(reportText());
        EXPECT_EQ(lines[4], std::string("Rank method        : Fi     = ") + labels[fi - 1]);
        if (fi == 2) {
            EXPECT_EQ(lines[17].substr(20), "-1.#INF0000e+000");
            EXPECT_EQ(lines[19].substr(20), " 1.#INF0000e+000");
        } else {
            EXPECT_EQ(lines[17].find('#'), std::string::npos);
            EXPECT_EQ(lines[19].find('#'), std::string::npos);
        }
    }
}

TEST_F(ReportFile, ObservationBelowGammaPlusOneGivesNegativeX)
{
    run("0.5\n2\n3\n", 1, 0.25);
    const std::vector<std::string> lines = splitCrLf(reportText());
    EXPECT_EQ(lines[17][0], '-');
    EXPECT_EQ(lines[18][0], ' ');
}

TEST_F(ReportFile, WritingReplacesAndFailsHonestly)
{
    run("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n", 1);
    const std::string path = writeTempFile("report-out.txt", "");
    std::strcpy(state.reportFile, path.c_str());
    ASSERT_TRUE(writeReport());
    const std::string longReport = readFile(path);
    EXPECT_EQ(longReport, reportText());

    run("1\n2\n3\n", 1);
    ASSERT_TRUE(writeReport());
    EXPECT_EQ(readFile(path), reportText()) << "the second save replaces the first completely";
    EXPECT_LT(readFile(path).size(), longReport.size());

    std::strcpy(state.reportFile, "/nonexistent-folder/report.txt");
    EXPECT_FALSE(writeReport());
    std::strcpy(state.reportFile, "/dev/full");
    EXPECT_FALSE(writeReport()) << "a full disk is a failure, not a saved report";
}

} // namespace
