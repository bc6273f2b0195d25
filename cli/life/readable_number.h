// Numbers of the life-data text as people read them: about 6 significant digits, plain where
// that fits ("2.10206", "81.8783", "-113.691") and with an exponent only for very large or very
// small values. The JSON keeps every bit; the classic method's text keeps its own format.
#pragma once

#include <string>

// The value to 6 significant digits, shortest form: "0.5", "1.23457e+06", "1e-05"; "inf", "-inf"
// and "nan" for values without digits.
std::string readableNumber(double value);

// The same with a space where a minus sign would stand, so that a column of them lines up.
std::string readableSigned(double value);
