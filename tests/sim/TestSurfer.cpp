#include "tests/sim/TestSurfer.h"

#include "framework/DataExchange.h"
#include "res/resource.h"

namespace {

constexpr double kMinHours = 0.0;
constexpr double kMaxHours = 1e10;
constexpr size_t kHoursTextLimit = 31;

}  // namespace

TestSurfer::TestSurfer() : m_hDialog(sim::CreateMainDialog()) { UpdateData(false); }

bool TestSurfer::UpdateData(bool saveAndValidate) {
    const desktop::Window hours = Item(IDC_HOURS);
    if (!saveAndValidate) {
        desktop::SetText(hours, FormatNumber(m_fHours));
        return true;
    }
    auto refuse = [&](const std::string& message) {
        desktop::ShowMessageBox(DialogWindow(), message, desktop::AppName(),
                            desktop::kMbOk | desktop::kMbIconExclamation);
        desktop::Focus(hours);
        desktop::SelectAllText(hours);
        return false;
    };
    double value = 0.0;
    if (!ParseNumberText(desktop::GetText(hours).substr(0, kHoursTextLimit), value)) {
        return refuse(kNotANumberMessage);
    }
    m_fHours = static_cast<float>(value);
    if (!(m_fHours >= kMinHours && m_fHours <= kMaxHours)) return refuse(RangeMessage(kMinHours, kMaxHours));
    return true;
}
