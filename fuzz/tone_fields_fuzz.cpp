// The create-tone dialog's three fields: the input split at line feeds into
// amplitude, frequency and seconds, checked for playing and for saving.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tones/tone_entries.h"

namespace {

// A number is read only from blanks around decimal digits (of the field as
// a C string: up to its first NUL).
void CheckField(const std::string& text)
{
    if (!ParseToneField(text.c_str())) return;
    for (const char* c = text.c_str(); *c; ++c)
        if (!std::isdigit(static_cast<unsigned char>(*c)) && *c != ' ' && *c != '\t') std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string fields[3];
    int at = 0;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n' && at < 2)
            ++at;
        else
            fields[at].push_back(static_cast<char>(data[i]));
    }
    for (const std::string& f : fields) CheckField(f);

    const ToneEntryTexts texts{fields[0].c_str(), fields[1].c_str(), fields[2].c_str()};
    const ToneSoundFormat format{size % 2 ? 44100 : 8000, 1 + static_cast<int32_t>(size % 3 == 0),
                                 size % 5 ? 16 : 8};
    for (bool saving : {false, true}) {
        const ToneCheck check = CheckToneEntries(texts, format, saving, [](MessageBoxId) { return true; });
        if (check.bAccepted && (check.nAmplitude < 0 || check.nAmplitude > 100 || check.nFrequency < 1 ||
                                check.nFrequency > 60000 || check.nGenerateSeconds < 0))
            std::abort();
    }
    return 0;
}
