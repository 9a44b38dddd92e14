#include "shell/message_boxes.h"

namespace {

constexpr char kLowMemory[] = "Low memory";
constexpr char kSoundDevice[] = "Sound device problem";
constexpr char kNoSoundData[] = "No sound data";
constexpr char kWavWriteError[] = "Error writing wav file to disk";

// The texts that come in kinds differ only in a word or two.
#define LOW_MEMORY_TEXT(what, choice)                                                                                  \
    "There is not enough memory in your computer to allocate\nthe requested " what ". Select " choice                  \
    "\nor free up some memory"
#define FORMAT_REFUSED_TEXT(direction, verb)                                                                           \
    "The sound " direction " device selected is not able to " verb "\nsound in the format requested. Select a "        \
    "different " direction "\ndevice, or a different sound format"
#define OPEN_FAILED_TEXT(direction)                                                                                    \
    "The sound " direction " device selected is not able to be opened.\nThis may be because the device is already "    \
    "in use or because\nthe device has not been installed correctly"

// In the order of MessageBoxId.
constexpr MessageBoxText kBoxes[] = {
    {"", "", BoxIcon::None},
    {LOW_MEMORY_TEXT("Input sound buffer", "a smaller buffer size"), kLowMemory, BoxIcon::Exclamation},
    {LOW_MEMORY_TEXT("output sound buffer", "a smaller buffer size"), kLowMemory, BoxIcon::Exclamation},
    {"There is already a sound being played\nIn order to play a new sound you must stop\n"
     "the current output first.\n",
     "Output in progress", BoxIcon::Information},
    {"Could not open the windows mixer (Volume control).\nOpen the volume control manually from the task bar\n"
     "or from the Start menu\n",
     "Could not open mixer", BoxIcon::None},
    {"Could not create the sound capture object", kSoundDevice, BoxIcon::Exclamation},
    {FORMAT_REFUSED_TEXT("input", "record"), kSoundDevice, BoxIcon::Exclamation},
    {OPEN_FAILED_TEXT("input"), kSoundDevice, BoxIcon::Exclamation},
    {"Could not create the sound output object", kSoundDevice, BoxIcon::Exclamation},
    {FORMAT_REFUSED_TEXT("output", "play"), kSoundDevice, BoxIcon::Exclamation},
    {OPEN_FAILED_TEXT("output"), kSoundDevice, BoxIcon::Exclamation},
    {"There is no sound data available to be played back.\nRecord some sound first. Then attempt playback.",
     kNoSoundData, BoxIcon::Information},
    {LOW_MEMORY_TEXT("tone", "a shorter tone"), kLowMemory, BoxIcon::Exclamation},
    {"There is no sound data available to be saved.\nRecord some sound first before attempting to save.", kNoSoundData,
     BoxIcon::Information},
    {"Mirravox does not support saving 24-bit 128khz audio.\n Please lower either the bit or sample rate",
     "Invalid Format", BoxIcon::Error},
    {"Could not open file for writing", kWavWriteError, BoxIcon::None},
    {"The sound data is too large to be saved in a wav file.\nA wav file cannot hold more than 4GB.\n"
     "Select fewer seconds or a lower sample rate",
     "File too large", BoxIcon::Exclamation},
    {"The wav file could not be written completely.\nThe disk may be full.\nThe incomplete file has been deleted",
     kWavWriteError, BoxIcon::None},
    {"Error initializing DirectMusic.", "3D Testing", BoxIcon::Error},
    {"Error playing DirectMusic segment. ", "3D Audio Testing", BoxIcon::Error},
    {"The amplitude entered is invalid\nEnter a value between 0 and 100.", "Amplitude invalid", BoxIcon::Exclamation},
    {"The frequency entered is invalid\nEnter a value between 1 and 60000.", "Frequency invalid", BoxIcon::Exclamation},
    {"The frequency selected is too high for sample rate\nSelect a higher sample rate or a lower frequency.\nThe "
     "frequency must be less than half the sample rate\nThe tone generated will not be at the correct frequency!\nDo "
     "you want to continue anyway\n",
     "Frequency too high", BoxIcon::Exclamation, true},
    {"The current setting will result in a file size greater than 50MB\nWould you like to continue?",
     "File Size Warning", BoxIcon::Exclamation, true},
    {"Error initializing DirectSound.  Sample will now exit.", "DirectSound Sample", BoxIcon::Error},
    {"Error playing DirectSound buffer.Sample will now exit.", "DirectSound Sample", BoxIcon::Error},
};
#undef LOW_MEMORY_TEXT
#undef FORMAT_REFUSED_TEXT
#undef OPEN_FAILED_TEXT
static_assert(sizeof(kBoxes) / sizeof(kBoxes[0]) == static_cast<int>(MessageBoxId::Count), "one row per MessageBoxId");

} // namespace

const MessageBoxText& MessageBoxTextOf(MessageBoxId id)
{
    const int i = static_cast<int>(id);
    return i > 0 && i < static_cast<int>(MessageBoxId::Count) ? kBoxes[i] : kBoxes[0];
}
