// The checks of a dialog's data exchange, as pure functions: what the text of a
// number field means, how a number is written back, and what a refusal says.
#pragma once

#include <string>

// Reads `text` as a number field does: leading blanks and tabs skipped, strtod's
// syntax, nothing but blanks and tabs after it. False when the text is no number
// (an empty field, "abc", "2h", ".0", "-0").
bool ParseNumberText(const std::string& text, double& value);
// "%.*g" at precision 6: 0 -> "0", 1.5 -> "1.5", 1.9833333 -> "1.98333".
std::string FormatNumber(double value);

constexpr const char* kNotANumberMessage = "Please enter a number.";
// "Please enter a number between 0 and 1e+010." for the bounds 0 and 10^10.
std::string RangeMessage(double min, double max);
