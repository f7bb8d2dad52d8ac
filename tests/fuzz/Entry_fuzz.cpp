// An entry of the site list as anyone may write it, typed into a browser of
// any of the simulated keyboards, with Caps Lock on or off, under either code
// page: whatever the bytes, the browser gets exactly the characters that the
// entry stands for, control characters left out, and nothing else.
//
// The first byte of the input chooses the keyboard, Caps Lock, the code page
// and the list's encoding; the rest, up to 499 bytes, is the entry.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/EntryText.h"
#include "engine/Input.h"
#include "store/SiteList.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/sim/SimDesktop.h"

namespace {

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

std::u16string Utf16(const std::u32string& text) {
    std::u16string out;
    for (char32_t c : text) {
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t choice = data[0];
    const EntryEncoding encodings[] = {EntryEncoding::kBytes, EntryEncoding::kUtf16Le, EntryEncoding::kUtf16Be};
    SiteEntry entry;
    entry.encoding = encodings[(choice >> 4) % 3];
    entry.length = std::min(size - 1, kUrlBufferSize - 1);
    std::memcpy(entry.bytes, data + 1, entry.length);

    sim::Reset();
    const sim::Layout layouts[] = {sim::Layout::kUs, sim::Layout::kUsInternational, sim::Layout::kGerman};
    sim::SetLayout(sim::kOtherThread, layouts[choice % 3]);
    sim::SetCapsLock((choice & 4) != 0);
    sim::SetCodePage((choice & 8) ? sim::CodePage::k932 : sim::CodePage::k1252);
    sim::SetForeground(sim::AddWindow("Browser", desktop::Rect{0, 0, 800, 600}));

    const KeyboardState keyboard = KeyboardOf(desktop::GetForegroundWindow());
    const std::u32string characters = EntryCharacters(entry);
    std::u32string printable;
    for (char32_t c : characters) {
        Require(c <= 0x10FFFF && !(c >= 0xD800 && c < 0xE000), "every character is a code point");
        if (!IsControl(c)) printable += c;
        TypeChar(c, keyboard);
    }
    Require(sim::TypedText() == sim::Utf8(Utf16(printable)), "the browser gets exactly the entry's characters");
    return 0;
}
