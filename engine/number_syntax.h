// The decimal number syntax of data lines (and of the command line's option values): an optional
// sign, digits with at most one full stop, and an exponent introduced by e, E, d or D.
#pragma once

// Converts the longest number at the start of `text` (after leading white space) to the nearest
// double: infinity beyond the double range, gradual underflow below it, 0 when there is no mantissa
// digit. `*end`, when given, receives the first character not taken (`text` itself when nothing was).
double readNumber(const char* text, const char** end);

// True when all of `text` is one finite number (an option value, say), left in `value`; white
// space before or after it is refused alike.
bool readWholeNumber(const char* text, double& value);
