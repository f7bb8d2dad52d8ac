// A dialog's data exchange: the step that moves its fields into its controls
// and back, checking what the user typed. Through the desktop seam, so that
// the simulated dialog of the host tests exchanges as the real one does.
#pragma once

#include <string>

#include "framework/Desktop.h"

// One exchange between a dialog's fields and its controls. Once a check has
// failed, the later steps of the same exchange do nothing.
class CDataExchange {
public:
    CDataExchange(desktop::Window dialog, bool saveAndValidate)
        : m_hDialog(dialog), m_bSaveAndValidate(saveAndValidate) {}

    // Tells the user in a box captioned with the program's name, and puts the
    // focus on the control with its text selected.
    void Fail(int controlId, const std::string& message);

    const desktop::Window m_hDialog;
    const bool m_bSaveAndValidate;
    bool m_bFailed = false;
};

// A number field exchanged with a float: written as FormatNumber writes it,
// read back as ParseNumberText reads it, from the first 31 characters.
void DDX_Text(CDataExchange& dx, int controlId, float& value);
// Refuses a value outside [min, max]; the value stays as read.
void DDV_MinMaxFloat(CDataExchange& dx, int controlId, float value, float min, float max);

// --- The checks, as pure functions --------------------------------------------

// Reads `text` as a number field does: leading blanks and tabs skipped, strtod's
// syntax, nothing but blanks and tabs after it. False when the text is no number
// (an empty field, "abc", "2h", ".0", "-0").
bool ParseNumberText(const std::string& text, double& value);
// "%.*g" at precision 6: 0 -> "0", 1.5 -> "1.5", 1.9833333 -> "1.98333".
std::string FormatNumber(double value);

// "Please enter a number between 0 and 1e+010." for the bounds 0 and 10^10.
std::string RangeMessage(double min, double max);
