// The create-tone dialog's check of its fields, with the boxes it shows.
#include "tones/tone_entries.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr ToneSoundFormat k44Stereo16{44100, 2, 16};

struct Outcome {
    ToneCheck check;
    std::vector<std::string> captions; // every box shown, in order
};

// Answers every question with `answer`.
Outcome Check(const char* amplitude, const char* frequency, const char* seconds,
              const ToneSoundFormat& format = k44Stereo16, bool saving = false, bool answer = true)
{
    Outcome out;
    out.check = CheckToneEntries({amplitude, frequency, seconds}, format, saving, [&](MessageBoxId box) {
        out.captions.push_back(MessageBoxTextOf(box).pszCaption);
        return answer;
    });
    return out;
}

TEST(ToneEntries, ParsesUnsignedWholeNumbersOnly)
{
    for (const auto& [text, value] : {std::pair<const char*, uint32_t>{" 42 ", 42u}, {"4294967295", 4294967295u}})
        EXPECT_EQ(ParseToneField(text), value) << text;
    for (const char* text : {"", "-1", "+1", "1x", "1 2", "4294967296"})
        EXPECT_EQ(ParseToneField(text), std::nullopt) << text;
    EXPECT_EQ(ParseToneField(nullptr), std::nullopt);
}

TEST(ToneEntries, AcceptsOrRefusesEachField)
{
    const ToneSoundFormat k5000{5000, 1, 16};
    struct Case {
        const char *amplitude, *frequency, *seconds;
        ToneSoundFormat format;
        bool saving, answer, accepted; // answer: to every question
        std::vector<std::string> captions;
        int fieldsRead;
    } cases[] = {
        {"0", "1000", "1", k44Stereo16, false, true, true, {}, 3},
        {"100", "1000", "1", k44Stereo16, false, true, true, {}, 3},
        {"101", "1000", "1", k44Stereo16, false, true, false, {"Amplitude invalid"}, 1},
        {"", "1000", "1", k44Stereo16, false, true, false, {"Amplitude invalid"}, 1},
        {"50", "1", "1", k44Stereo16, false, true, true, {}, 3},
        {"50", "60000", "1", k44Stereo16, false, true, true, {"Frequency too high"}, 3},
        {"50", "0", "1", k44Stereo16, false, true, false, {"Frequency invalid"}, 2},
        {"50", "60001", "1", k44Stereo16, false, true, false, {"Frequency invalid"}, 2},
        {"50", "22049", "1", k44Stereo16, false, false, true, {}, 3},
        {"50", "22050", "1", k44Stereo16, false, true, true, {"Frequency too high"}, 3},
        {"50", "22050", "1", k44Stereo16, false, false, false, {"Frequency too high"}, 2},
        {"50", "2500", "1", k5000, false, false, false, {"Frequency too high"}, 2},
        // 298 s of 16-bit stereo at 44100 Hz is 52,567,200 bytes; 297 s is 52,390,800.
        {"50", "1000", "298", k44Stereo16, true, false, false, {"File Size Warning"}, 3},
        {"50", "1000", "298", k44Stereo16, true, true, true, {"File Size Warning"}, 3},
        {"50", "1000", "297", k44Stereo16, true, false, true, {}, 3},
        {"50", "1000", "298", k44Stereo16, false, false, true, {}, 3},
        {"50", "1000", "4000000000", k44Stereo16, false, false, true, {}, 3},
        // An empty seconds field asks when saving, and plays as 0 seconds.
        {"50", "1000", "", k44Stereo16, true, false, false, {"File Size Warning"}, 3},
        {"50", "1000", "", k44Stereo16, false, false, true, {}, 3},
    };
    for (const Case& c : cases) {
        const Outcome out = Check(c.amplitude, c.frequency, c.seconds, c.format, c.saving, c.answer);
        SCOPED_TRACE(std::string(c.amplitude) + " % " + c.frequency + " Hz " + c.seconds + " s" +
                     (c.saving ? " saving" : " playing"));
        EXPECT_EQ(std::tie(out.check.bAccepted, out.captions, out.check.nFieldsRead),
                  std::tie(c.accepted, c.captions, c.fieldsRead));
    }
}

TEST(ToneEntries, RemembersWhatWasReadEvenWhenRefused)
{
    g_nToneAmplitude = 50, g_nToneFrequency = 3000, g_nToneSeconds = 1;
    RememberToneEntries(Check("75", "70000", "9").check); // frequency refused: seconds unread
    EXPECT_EQ((std::vector<int32_t>{g_nToneAmplitude, g_nToneFrequency, g_nToneSeconds}),
              (std::vector<int32_t>{75, 70000, 1}));

    const ToneCheck big = Check("10", "440", "4000000000").check;
    RememberToneEntries(big);
    EXPECT_EQ(static_cast<uint32_t>(g_nToneSeconds), 4000000000u); // shown again as entered
    EXPECT_EQ(big.nGenerateSeconds, 2147483647);                   // never a negative length
    EXPECT_EQ(Check("10", "440", "").check.nGenerateSeconds, 0);
}

} // namespace
