// Every message box of the program: its text, caption and icon, spelt once.
//
// Portable core. The Win32 layer shows a box with ShowMessageBox
// (message_boxes_win.h), owned by the window it is given; tests compare what
// a box showed with MessageBoxTextOf.
//
// Adding a box: one enumerator here and one row, in the same place, in the
// table of message_boxes.cpp.
#pragma once

enum class MessageBoxId {
    None, // no box: what a result that needs none maps to
    // Sound format and buffer settings
    LowMemoryInput,
    LowMemoryOutput,
    // Main window
    OutputBusy,
    MixerFailed,
    // Capture and playback sessions
    CaptureObject,
    InputFormat,
    InputOpen,
    OutputObject,
    OutputFormat,
    OutputOpen,
    NoSoundToPlay,
    // Tones and saving
    ToneLowMemory,
    NoSoundToSave,
    InvalidFormat,
    OpenFailed,
    TooLarge,
    WriteFailed,
    // 3D audio test
    Init3DFailed,
    Play3DFailed,
    // Create tone
    AmplitudeInvalid,
    FrequencyInvalid,
    FrequencyTooHigh, // a question
    FileSizeWarning,  // a question
    // Audio effects test
    DirectSoundStartFailed,
    DirectSoundPlayFailed,
    Count
};

enum class BoxIcon { None, Information, Exclamation, Error };

struct MessageBoxText {
    const char* pszText;
    const char* pszCaption;
    BoxIcon icon;
    bool bQuestion = false; // Yes and No buttons instead of OK
};

// The row of a box; None and anything outside the table give an empty row.
const MessageBoxText& MessageBoxTextOf(MessageBoxId id);
