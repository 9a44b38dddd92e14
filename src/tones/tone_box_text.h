// The message boxes of the tone and save commands: text, caption and icon, so
// the Win32 layer shows them with one MessageBoxA call and never spells a
// text of its own.
#pragma once

enum class ToneBoxIcon { None, Information, Exclamation, Error };

struct ToneBoxText {
    const char* pszText;
    const char* pszCaption;
    ToneBoxIcon icon;
    bool bYesNo = false; // a question with Yes and No; otherwise an OK box
};

// A tone whose playback source cannot be allocated.
inline constexpr ToneBoxText kToneLowMemoryBox{
    "There is not enough memory in your computer to allocate\nthe requested tone. Select a shorter tone\n"
    "or free up some memory",
    "Low memory", ToneBoxIcon::Exclamation};
