// The one rule of what the main window allows while sessions are under way.
#include "app/allowed_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"

namespace {

// One letter per verdict: R run, I ignore, B the "Output in progress" box.
char Letter(CommandVerdict v) { return v == CommandVerdict::Run ? 'R' : v == CommandVerdict::Ignore ? 'I' : 'B'; }

TEST(AllowedCommands, EachCommandInEachSessionState)
{
    const SessionsUnderWay kIdle = {false, false}, kCapture = {true, false}, kPlayback = {false, true},
                           kBoth = {true, true};
    // Verdicts idle, capturing, playing, both, and the commands that get them.
    const struct {
        const char* verdicts;
        std::vector<int> ids;
    } kRules[] = {
        {"RIRI", {IDM_RECORD, IDC_RECORD}},
        {"RRBB",
         {IDM_PLAYBACK, IDC_PLAYBACK, IDM_SINE_1K, IDM_SAW_1K, IDM_SQUARE_1K, IDM_WHITE_NOISE, IDM_CREATE_TONE}},
        {"RIII",
         {IDM_CLEAR, IDM_SAVE_RECORDING, IDM_DEVICE_SELECTION, IDM_DISPLAY_SETTINGS, IDM_MIXER, IDM_WAVE_CAPS,
          IDM_DS_CAPS, IDM_3D_SOUND, IDM_AUDIO_FX, IDC_RATE, IDC_CHANNELS, IDC_RESOLUTION, IDC_BUFFER_SIZE}},
        {"RRRR",
         {IDM_STOP, IDC_STOP, IDM_EXIT, IDC_ALT_EXIT, IDM_HELP, IDM_ABOUT, IDC_VIEW, IDC_FRAME_SPEED, IDC_TRIGGER}},
    };
    for (const auto& rule : kRules)
        for (int id : rule.ids) {
            std::string verdicts;
            for (const SessionsUnderWay& s : {kIdle, kCapture, kPlayback, kBoth})
                verdicts += Letter(VerdictFor(id, AllowedFor(s)));
            EXPECT_EQ(verdicts, rule.verdicts) << id;
        }
    // The format and buffer combos and the three menus are greyed from the same answer.
    EXPECT_TRUE(AllowedFor(kIdle).bSettings);
    for (const SessionsUnderWay& s : {kCapture, kPlayback, kBoth}) EXPECT_FALSE(AllowedFor(s).bSettings);
}

} // namespace
