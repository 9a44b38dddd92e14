// The create-tone dialog's remembered values and the check of its three
// fields (amplitude, frequency, seconds), run by "Play Tone" and "Save Tone".
//
// Portable core: the dialog procedure hands over the field texts and the
// sound format, and shows the boxes this check names through a callback; the
// check itself touches no window, so every rule is tested natively.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "shell/message_boxes.h"

// Remembered from one opening of the dialog to the next, for the life of the
// process (not saved). An entry is remembered as soon as it is read, even one
// that is then refused, so that it shows again.
extern int32_t g_nToneShape;     // list index of the last generated shape (a ToneShape)
extern int32_t g_nToneAmplitude; // percent
extern int32_t g_nToneFrequency; // Hz
extern int32_t g_nToneSeconds;   // seconds

constexpr int32_t kToneDialogCancel = 0;
constexpr int32_t kToneDialogPlay = 1;
constexpr int32_t kToneDialogSave = 2;

constexpr int64_t kToneFileWarningBytes = 50 * 1024 * 1024;

// A field read as an unsigned whole number: optional leading and trailing
// blanks around decimal digits, at most 4294967295. Anything else (empty, a
// sign, a letter, too large) is no number.
std::optional<uint32_t> ParseToneField(const char* text);

struct ToneEntryTexts {
    const char* pszAmplitude;
    const char* pszFrequency;
    const char* pszSeconds;
};

struct ToneSoundFormat {
    int32_t nSampleRate;
    int32_t nChannels;
    int32_t nBitsPerSample;
};

// What the check read: the values to remember (the first nFieldsRead of
// amplitude, frequency, seconds, as they were entered, reinterpreted as
// signed 32-bit), and on success what to generate.
struct ToneCheck {
    bool bAccepted = false;
    int nFieldsRead = 0;
    int32_t nAmplitude = 0;
    int32_t nFrequency = 0;
    int32_t nSeconds = 0;
    // Seconds for GenerateTone: an entry above 2147483647 is held there, so
    // that a huge entry asks for the longest tone instead of a negative one.
    int32_t nGenerateSeconds = 0;
};

// Shows a box (AmplitudeInvalid, FrequencyInvalid, or the questions
// FrequencyTooHigh and FileSizeWarning); for a question, true means Yes.
using ToneBoxFn = std::function<bool(MessageBoxId)>;

// The check, in this order: amplitude (0 to 100), frequency (1 to 60000),
// the question when the frequency is at least half the sample rate, the
// seconds (no number counts as 0), and, only when saving, the question when
// the file would exceed 50 MB or the seconds were no number. A refused field
// shows its box and refuses; a question answered anything but Yes refuses.
ToneCheck CheckToneEntries(const ToneEntryTexts& texts, const ToneSoundFormat& format, bool saving,
                           const ToneBoxFn& show);

// Stores what a check read in the remembered values.
void RememberToneEntries(const ToneCheck& check);
