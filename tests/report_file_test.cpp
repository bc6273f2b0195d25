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
#include "report_text.h"

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
        // A file of the test's own: CTest runs the tests of this suite side by side.
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::strcpy(state.RFile, writeTempFile("report-" + name + ".dat", bytes).c_str());
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

// Whole reports of a five-value sample, byte for byte, as recorded from the program under each rank
// method (gamma typed in, so that the results are the same and only the ordinates differ).
TEST_F(ReportFile, WholeReportsOfFiveValues)
{
    const std::string head = "Varnel  Version 1.00  -  Output file\r\n"
                             "Weibull parameter estimation - Copyright (C) 2026 the Varnel developers\r\n"
                             "\r\n"
                             "Data file          : RFile  = ";
    const std::string results = "Shape    parameter : m      =  1.97424456e+000\r\n"
                                "Scale    parameter : t0     =  4.74051200e+000\r\n"
                                "Location parameter : gamma  =  5.00000000e-001\r\n"
                                "\r\n"
                                "Expected value     : mu     =  2.44974524e+000\r\n"
                                "Median   value     : xi     =  2.32681848e+000\r\n"
                                "Mode     value     : tm     =  2.03799060e+000\r\n"
                                "Variance           : sigma2 =  1.06324889e+000\r\n"
                                "\r\n"
                                "\r\n"
                                "Input data reduced by gamma\r\n"
                                "ln(t)               ln(ln(1/(1-F)))\r\n";
    const char* x[] = {"-6.93147181e-001", " 2.23143551e-001", " 6.93147181e-001", " 9.16290732e-001",
                       " 1.25276297e+000"};
    const struct {
        const char* label;
        const char* y[5];
    } methods[] = {
        {"i/(n+1)", {"-1.70198336e+000", "-9.02720456e-001", "-3.66512921e-001", " 9.40478276e-002", " 5.83198081e-001"}},
        {"(i-1)/(n-1)", {"-1.#INF0000e+000", "-1.24589932e+000", "-3.66512921e-001", " 3.26634260e-001", " 1.#INF0000e+000"}},
        {"(i-0.3)/(n+0.4)", {"-1.97445869e+000", "-9.72686141e-001", "-3.66512921e-001", " 1.44767396e-001", " 7.14455486e-001"}},
        {"(i-0.5)/n", {"-2.25036733e+000", "-1.03093043e+000", "-3.66512921e-001", " 1.85626759e-001", " 8.34032445e-001"}},
    };
    for (int fi = 1; fi <= 4; ++fi) {
        run("2.5\n1\n4\n3\n1.75\n", fi, 0.5);
        std::string expected = head + state.RFile + "\r\nRank method        : Fi     = " + methods[fi - 1].label + "\r\n" + results;
        for (int i = 0; i < 5; ++i)
            expected += std::string(x[i]) + "    " + methods[fi - 1].y[i] + "\r\n";
        EXPECT_EQ(reportText(), expected) << "rank method " << fi;
    }
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
