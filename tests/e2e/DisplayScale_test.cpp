// The main dialog at the display scales that users run (100%, 125%, 150%, 200%):
// every text fits its control, measured with the control's own font, and the
// dialog grows with the scale.
#include <iterator>
#include <optional>
#include <string>

#include "res/resource.h"
#include "tests/e2e/ProgramTest.h"
#include "tests/e2e/RemoteTools.h"
#include "tests/e2e/TextProbe.h"

namespace e2e {
namespace {

constexpr int kDefaultDpi = 96;
// The dialog's client area at 100%: 158 x 111 dialog units of the dialog face.
constexpr SIZE kClientAt100{237, 180};

// What the status line says while surfing, at its longest: it is hidden at start.
constexpr const wchar_t* kStatusTexts[] = {L"Will surf until user interrupts me",
                                           L"Will stop in 23 hours, 59 minutes"};

// The display scale that programs started from now on find: the user's
// LogPixels, as the display settings write it, which Wine reads when a process
// starts. Put back as it was when the object goes.
class DisplayScaleSetting {
public:
    explicit DisplayScaleSetting(DWORD dpi) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &m_key) != ERROR_SUCCESS)
            return;
        DWORD size = sizeof m_previous;
        m_hadValue = RegQueryValueExA(m_key, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&m_previous),
                                      &size) == ERROR_SUCCESS;
        m_set = Write(dpi);
    }
    ~DisplayScaleSetting() {
        if (!m_key) return;
        if (m_hadValue)
            Write(m_previous);
        else
            RegDeleteValueA(m_key, kValue);
        RegCloseKey(m_key);
    }
    DisplayScaleSetting(const DisplayScaleSetting&) = delete;
    DisplayScaleSetting& operator=(const DisplayScaleSetting&) = delete;

    bool Set() const { return m_set; }

private:
    static constexpr const char* kKey = "Control Panel\\Desktop";
    static constexpr const char* kValue = "LogPixels";

    bool Write(DWORD dpi) const {
        return RegSetValueExA(m_key, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) ==
               ERROR_SUCCESS;
    }

    HKEY m_key = nullptr;
    DWORD m_previous = 0;
    bool m_hadValue = false;
    bool m_set = false;
};

std::string Narrow(const wchar_t* text) {
    std::string narrow;
    for (; *text; ++text) narrow += static_cast<char>(*text);
    return narrow;
}

std::string Describe(const TextFit& fit) {
    return "\"" + Narrow(fit.text) + "\" (id " + std::to_string(fit.id) + ") needs " +
           std::to_string(fit.neededWidth) + " x " + std::to_string(fit.neededHeight) + " pixels (" +
           std::to_string(fit.lineWidth) + " wide on one line), its control has " + std::to_string(fit.roomWidth) +
           " x " + std::to_string(fit.roomHeight) + (fit.wraps ? " (a wrapping static)" : " (one line)");
}

class DisplayScale : public ProgramTest, public ::testing::WithParamInterface<int> {
protected:
    // Measures the main dialog's texts inside the program; fails the test if it cannot.
    void Probe(TextProbe& probe) const {
        probe.dialog = HandleToLong(dialog);
        probe.extraCount = 0;
        for (const wchar_t* text : kStatusTexts) {
            TextFit& extra = probe.extras[probe.extraCount++];
            extra.id = IDC_STATUS;
            lstrcpynW(extra.text, text, static_cast<int>(std::size(extra.text)));
        }
        RemoteBuffer block(program->Handle(), sizeof probe);
        ASSERT_TRUE(block.Write(&probe, sizeof probe)) << "cannot write into the program's memory";
        const std::string error = RunInProcess(program->Handle(), TextProbePath(), kTextProbeEntry, block.Address());
        ASSERT_EQ(error, "") << "the text probe did not run in the program";
        ASSERT_TRUE(block.Read(&probe, sizeof probe)) << "cannot read the program's memory";
    }
};

TEST_P(DisplayScale, EveryTextFitsItsControlAndTheDialogGrowsWithTheScale) {
    const int dpi = GetParam();
    // Windows takes a new scale only at sign-in, so there the setting is left alone.
    std::optional<DisplayScaleSetting> setting;
    if (RunningUnderWine()) {
        setting.emplace(dpi);
        ASSERT_TRUE(setting->Set()) << "cannot set the display scale (HKCU\\Control Panel\\Desktop, LogPixels)";
    }
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForMainDialog());

    TextProbe probe{};
    ASSERT_NO_FATAL_FAILURE(Probe(probe));
    if (!setting && probe.dpi != dpi) GTEST_SKIP() << "this Windows session runs at " << probe.dpi << " dpi";
    ASSERT_EQ(probe.dpi, dpi) << "the program did not start at the display scale set";
    RecordProperty("dialog", std::to_string(probe.window.cx) + " x " + std::to_string(probe.window.cy));

    const double scale = static_cast<double>(dpi) / kDefaultDpi;
    EXPECT_NEAR(probe.client.cx, kClientAt100.cx * scale, kClientAt100.cx * scale / 10) << "client width";
    EXPECT_NEAR(probe.client.cy, kClientAt100.cy * scale, kClientAt100.cy * scale / 10) << "client height";
    EXPECT_EQ(probe.count, 13) << "visible controls with a text";
    for (int i = 0; i < probe.count; ++i) EXPECT_TRUE(probe.fits[i].Fits()) << Describe(probe.fits[i]);
    for (int i = 0; i < probe.extraCount; ++i) EXPECT_TRUE(probe.extras[i].Fits()) << Describe(probe.extras[i]);
}

INSTANTIATE_TEST_SUITE_P(Dpi, DisplayScale, ::testing::Values(96, 120, 144, 192));

}  // namespace
}  // namespace e2e
