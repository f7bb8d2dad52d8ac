#include "framework/DataExchange.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "res/resource.h"

namespace {

// The text of a number field as the exchange reads it: a buffer of 32 bytes.
constexpr size_t kFieldChars = 31;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

size_t SkipDigits(const std::string& text, size_t i) {
    while (i < text.size() && IsDigit(text[i])) ++i;
    return i;
}

// The end of the decimal number that starts at `start` (optional sign, digits
// with an optional decimal point, optional exponent), or `start` itself when
// there is none. strtod alone would also take "inf", "nan" and hexadecimal,
// and which of those it takes differs between C runtimes.
size_t ScanNumber(const std::string& text, size_t start) {
    size_t i = start;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t integerEnd = SkipDigits(text, i);
    size_t end = integerEnd;
    bool digits = integerEnd > i;
    if (end < text.size() && text[end] == '.') {
        const size_t fractionEnd = SkipDigits(text, end + 1);
        digits = digits || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!digits) return start;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        size_t e = end + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
        const size_t exponentEnd = SkipDigits(text, e);
        if (exponentEnd > e) end = exponentEnd;
    }
    return end;
}

}  // namespace

bool ParseNumberText(const std::string& text, double& value) {
    size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) ++start;
    const size_t end = ScanNumber(text, start);
    if (end == start) return false;
    const double parsed = std::strtod(text.substr(start, end - start).c_str(), nullptr);
    // A zero counts only when written with a leading "0": so ".0" and "-0" are
    // refused, as is a value too small to be anything but zero.
    if (parsed == 0.0 && text[start] != '0') return false;
    for (size_t i = end; i < text.size(); ++i) {
        if (!IsBlank(text[i])) return false;
    }
    value = parsed;
    return true;
}

// Windows' classic C runtime writes the exponent with at least three digits
// ("1e+010"), and that is the form the program's users know; other runtimes
// write two. Pad to three everywhere, so the texts are the same on every build.
std::string FormatNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", 6, value);
    std::string number = text;
    const size_t exponent = number.find_first_of("eE");
    if (exponent != std::string::npos && exponent + 2 < number.size()) {
        const size_t digits = exponent + 2;  // past the sign
        while (number.size() - digits < 3) number.insert(digits, "0");
    }
    return number;
}

std::string RangeMessage(double min, double max) {
    std::string message = desktop::LoadText(IDS_OUT_OF_RANGE);
    message.replace(message.find("%1"), 2, FormatNumber(min));
    message.replace(message.find("%2"), 2, FormatNumber(max));
    return message;
}

void CDataExchange::Fail(int controlId, const std::string& message) {
    m_bFailed = true;
    desktop::ShowMessageBox(m_hDialog, message, desktop::AppName(), desktop::kMbOk | desktop::kMbIconExclamation);
    const desktop::Window control = desktop::DialogItem(m_hDialog, controlId);
    desktop::Focus(control);
    desktop::SelectAllText(control);
}

void DDX_Text(CDataExchange& dx, int controlId, float& value) {
    if (dx.m_bFailed) return;
    const desktop::Window control = desktop::DialogItem(dx.m_hDialog, controlId);
    if (!dx.m_bSaveAndValidate) {
        desktop::SetText(control, FormatNumber(value));
        return;
    }
    double parsed = 0;
    if (!ParseNumberText(desktop::GetText(control).substr(0, kFieldChars), parsed)) {
        dx.Fail(controlId, desktop::LoadText(IDS_NOT_A_NUMBER));
        return;
    }
    value = static_cast<float>(parsed);
}

void DDV_MinMaxFloat(CDataExchange& dx, int controlId, float value, float min, float max) {
    if (dx.m_bFailed || !dx.m_bSaveAndValidate) return;
    if (value < min || value > max) dx.Fail(controlId, RangeMessage(min, max));
}
