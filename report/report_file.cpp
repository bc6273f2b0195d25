// The report file of the last run. Line ends are CR LF on every platform: the lines are built here
// and written in binary mode, so both programs write byte-identical reports.
#include "report_file.h"

#include <cmath>
#include <cstdio>

#include "estimation_state.h"
#include "number_text.h"
#include "plotting_position.h"

const char* const programNotice = "Weibull parameter estimation - Copyright (C) 2026 the Varnel developers";

namespace {

std::string number(double value) { return formatScientific(value, 12, 8); }

bool put(std::FILE* file, const std::string& text)
{
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

void appendSummary(std::string& text, const char* eol)
{
    text += std::string("Data file          : RFile  = ") + state.RFile + eol;
    text += std::string("Rank method        : Fi     = ") + rankMethodLabel(state.Fi) + eol;
    text += "Shape    parameter : m      = " + number(state.m) + eol;
    text += "Scale    parameter : t0     = " + number(state.t0) + eol;
    text += "Location parameter : gamma  = " + number(state.gamma) + eol + eol;
    text += "Expected value     : mu     = " + number(state.mu) + eol;
    text += "Median   value     : xi     = " + number(state.xi) + eol;
    text += "Mode     value     : tm     = " + number(state.tm) + eol;
    text += "Variance           : sigma2 = " + number(state.sigma2) + eol + eol + eol;
}

} // namespace

std::string resultSummary()
{
    std::string text;
    appendSummary(text, "\n");
    return text;
}

bool writeReportTo(std::FILE* file)
{
    const char* eol = "\r\n";
    std::string text = std::string("Varnel  Version 1.00  -  Output file") + eol;
    text += std::string(programNotice) + eol + eol;
    appendSummary(text, eol);
    text += std::string("Input data reduced by gamma") + eol;
    text += std::string("ln(t)               ln(ln(1/(1-F)))") + eol;
    if (!put(file, text))
        return false;
    // One line at a time through the stream's buffer: the memory for a report does not grow with n.
    std::string line;
    for (std::uint32_t i = 1; i <= state.n; ++i) {
        const double x = std::log(state.samples[i - 1] - state.gamma);
        line = number(x);
        line += "    ";
        line += number(weibullOrdinate(i));
        line += eol;
        if (!put(file, line))
            return false;
    }
    return true;
}

bool writeWholeFile(const char* path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    return written && flushed && closed;
}

bool writeReport()
{
    std::FILE* file = std::fopen(state.reportFile, "wb");
    if (!file)
        return false;
    const bool written = writeReportTo(file);
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    return written && flushed && closed;
}
