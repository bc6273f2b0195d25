// A plain second reading of the decimal number syntax, written apart from the program's own so that
// the fuzz targets can compare the two: the longest prefix is found here character by character, and
// only the digits so found are handed to strtod for the correctly rounded conversion.
#pragma once

#include <cstddef>

struct ReferenceNumber {
    double value;       // 0 when there is no mantissa digit
    std::size_t length; // characters taken, leading white space included; 0 when there is no number
};

ReferenceNumber referenceNumber(const char* text);

// True when the whole of `text` is one number (leading white space allowed, nothing after it).
bool referenceWholeNumber(const char* text, double& value);
