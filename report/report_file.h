// The result report: inputs, the seven results and the Weibull-plot coordinates of every observation.
#pragma once

#include <string>

// The program's one-line notice, line 2 of the report and the About box's second text.
extern const char* const programNotice;

// Writes the report of the last run to `state.reportFile`, CR LF line ends on every platform.
// Returns true only when the file was opened, every byte written and the file closed.
bool writeReport();

// Lines 4 to 15 of the report (inputs and the seven results), each ended by LF.
std::string resultSummary();

// The whole report as text, exactly the bytes that writeReport puts in the file.
std::string reportText();
