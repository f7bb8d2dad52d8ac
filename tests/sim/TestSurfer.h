// A CSurfer for the host tests: the program's main dialog on the simulated
// desktop.
#pragma once

#include <string>

#include "ui/Surfer.h"
#include "tests/sim/SimDesktop.h"

class TestSurfer : public CSurfer {
public:
    // Creates the dialog and fills it as the dialog's initialisation does
    // (the hours field shows "0").
    TestSurfer();

    desktop::Window DialogWindow() const override { return m_hDialog; }

    desktop::Window Control(int id) const { return Item(id); }
    std::string Text(int id) const { return desktop::GetText(Item(id)); }
    bool Visible(int id) const { return sim::IsVisible(Item(id)); }

    // The dialog's message loop for `ms` of virtual time, every tick going to
    // the dialog's timer handler.
    void RunFor(uint64_t ms) {
        sim::RunFor(ms, [this](desktop::Window, uintptr_t id) { OnSurferTimer(id); });
    }

private:
    desktop::Window m_hDialog = nullptr;
};
