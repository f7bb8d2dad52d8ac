// The hours field's text, whatever the user types: ParseNumberText takes
// exactly what strtod takes of a plainly written decimal number, and a number
// it takes, written back as the field shows it, reads again as nearly itself.
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/DataExchange.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// strtod, held to what a person types as a number: after blanks and tabs, an
// optional sign and then a digit or a decimal point, and not hexadecimal
// (strtod alone would also take "inf", "nan" and "0x1p3", and skip any white
// space); only blanks and tabs after it; a zero only when written with a
// leading "0".
bool ExpectedNumber(const std::string& text, double& value) {
    const size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return false;
    size_t i = start;
    if (text[i] == '+' || text[i] == '-') ++i;
    if (i >= text.size() || !(std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.')) return false;
    if (text[i] == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) return false;

    const char* begin = text.c_str() + start;
    char* end = nullptr;
    const double parsed = std::strtod(begin, &end);
    if (end == begin) return false;
    for (size_t j = start + static_cast<size_t>(end - begin); j < text.size(); ++j) {
        if (!IsBlank(text[j])) return false;
    }
    if (parsed == 0.0 && text[start] != '0') return false;
    value = parsed;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = Bytes(data, size);
    const double untouched = -12345.5;
    double value = untouched;
    const bool taken = ParseNumberText(text, value);

    double expected = untouched;
    Require(taken == ExpectedNumber(text, expected), "the text is taken exactly when strtod reads a plain number");
    Require(value == expected || (std::isnan(value) && std::isnan(expected)),
            "the value is strtod's, and a refused text leaves it alone");
    if (!taken || !std::isfinite(value)) return 0;

    // Six significant digits: as near as that allows, also among the
    // denormals, whose spacing is coarser than that near the bottom.
    double shown = untouched;
    Require(ParseNumberText(FormatNumber(value), shown), "the number as the field shows it reads again");
    Require(std::fabs(shown - value) <= 1e-5 * std::fabs(value) + 1e-310,
            "the number as the field shows it is the number to six digits");
    return 0;
}
