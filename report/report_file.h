// The result report: inputs, the seven results and the Weibull-plot coordinates of every observation.
#pragma once

#include <cstdio>
#include <string>

// The program's one-line notice, line 2 of the report and the About box's second text.
extern const char* const programNotice;

// Writes the report of the last run to `state.reportFile`, CR LF line ends on every platform.
// Returns true only when the file was opened, every byte written and the file closed.
bool writeReport();

// Lines 4 to 15 of the report (inputs and the seven results), each ended by LF.
std::string resultSummary();

// Creates or replaces the file at `path` with exactly `bytes`; true only when every byte reached it
// and the file was closed without error, so that a full disk is never taken for a saved file.
bool writeWholeFile(const char* path, const std::string& bytes);

// Writes the report, exactly the bytes that writeReport puts in its file, to the open `file`, line
// by line; true when the stream accepted every byte (the caller flushes and closes).
bool writeReportTo(std::FILE* file);
