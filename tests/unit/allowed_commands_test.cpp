// The one rule of what the main window allows while sessions are under way.
#include "app/allowed_commands.h"

#include <gtest/gtest.h>

#include <string>

#include "resource.h"

namespace {

// One letter per verdict: R run, I ignore, B the "Output in progress" box.
char Letter(CommandVerdict v) { return v == CommandVerdict::Run ? 'R' : v == CommandVerdict::Ignore ? 'I' : 'B'; }

TEST(AllowedCommands, EachCommandInEachSessionState)
{
    const SessionsUnderWay kIdle = {false, false}, kCapture = {true, false}, kPlayback = {false, true},
                           kBoth = {true, true};
    const struct {
        int id;
        const char* verdicts; /* idle, capture, playback, both */
    } kCommands[] = {
        {IDM_RECORD, "RIRI"},
        {IDC_RECORD, "RIRI"},
        {IDM_PLAYBACK, "RRBB"},
        {IDC_PLAYBACK, "RRBB"},
        {IDM_SINE_1K, "RRBB"},
        {IDM_SAW_1K, "RRBB"},
        {IDM_SQUARE_1K, "RRBB"},
        {IDM_WHITE_NOISE, "RRBB"},
        {IDM_CREATE_TONE, "RRBB"},
        {IDM_CLEAR, "RIII"},
        {IDM_SAVE_RECORDING, "RIII"},
        {IDM_DEVICE_SELECTION, "RIII"},
        {IDM_DISPLAY_SETTINGS, "RIII"},
        {IDM_MIXER, "RIII"},
        {IDM_WAVE_CAPS, "RIII"},
        {IDM_DS_CAPS, "RIII"},
        {IDM_3D_SOUND, "RIII"},
        {IDM_AUDIO_FX, "RIII"},
        {IDC_RATE, "RIII"},
        {IDC_CHANNELS, "RIII"},
        {IDC_RESOLUTION, "RIII"},
        {IDC_BUFFER_SIZE, "RIII"},
        {IDM_STOP, "RRRR"},
        {IDC_STOP, "RRRR"},
        {IDM_EXIT, "RRRR"},
        {IDC_ALT_EXIT, "RRRR"},
        {IDM_HELP, "RRRR"},
        {IDM_ABOUT, "RRRR"},
        {IDC_VIEW, "RRRR"},
        {IDC_FRAME_SPEED, "RRRR"},
        {IDC_TRIGGER, "RRRR"},
    };
    for (const auto& c : kCommands) {
        std::string verdicts;
        for (const SessionsUnderWay& s : {kIdle, kCapture, kPlayback, kBoth})
            verdicts += Letter(VerdictFor(c.id, AllowedFor(s)));
        EXPECT_EQ(verdicts, c.verdicts) << c.id;
    }
    // The format and buffer combos and the three menus are greyed from the same answer.
    EXPECT_TRUE(AllowedFor(kIdle).bSettings);
    for (const SessionsUnderWay& s : {kCapture, kPlayback, kBoth}) EXPECT_FALSE(AllowedFor(s).bSettings);
}

} // namespace
