// The one number-to-text conversion of the program: "% W.Pe" with a three-digit exponent,
// two-stage rounding and texts of its own for infinities and NaNs, identical on every platform.
#pragma once

#include <string>

std::string formatScientific(double value, int width, int precision);
