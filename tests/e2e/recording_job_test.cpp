// The main job, as a user does it: choose CD-quality stereo, play the 1 kHz
// sine preset, record it back through the loopback, stop,
// and save the recording through the real save dialog. A script then checks
// the file with sox (tests/e2e/check_recording.sh). Then the same on the
// simulated device, recording until the store has wrapped.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver.h"

#include "resource.h"

namespace {

constexpr int kRate44100 = 7;
constexpr int kRate96000 = 11;
constexpr int kStereo = 1;
constexpr int k16Bit = 1;
constexpr int k24Bit = 2;
constexpr int k1MB = 0;
constexpr int kBoxText = 0xFFFF; // the text of a message box

std::string SavePath()
{
    if (const char* path = std::getenv("MIRRAVOX_E2E_WAV")) return path;
    return ArtefactFolder() + "\\recording.wav";
}

void SaveShot(HWND hWnd, const char* name)
{
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(CaptureWindow(hWnd).SaveBmp(ArtefactFolder() + "\\" + name));
}

// Answers a message box of the program with OK and returns its text.
std::string AnswerBox(MirravoxProcess& program, const char* caption)
{
    HWND box = program.WaitForDialog(caption, 10000);
    if (!box) return "(no box \"" + std::string(caption) + "\")";
    std::string text = ControlText(box, kBoxText);
    PressButton(box, IDOK);
    return text;
}

TEST(RecordingJob, RecordAPlayedSineAndSaveIt)
{
    const std::string path = SavePath();
    DeleteFileA(path.c_str());

    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    SaveShot(hWnd, "before_recording.bmp");

    SelectComboItem(hWnd, IDC_RATE, kRate44100);
    SelectComboItem(hWnd, IDC_RESOLUTION, k16Bit);
    SelectComboItem(hWnd, IDC_CHANNELS, kStereo);
    ASSERT_EQ(ControlText(hWnd, IDC_REQUESTED), "176400");

    Command(hWnd, IDM_SINE_1K);
    Command(hWnd, IDM_RECORD);
    // Two seconds of sound are wanted, but under Wine a capture that follows
    // playback on the null sink delivers nothing for its first two seconds or
    // so: record for four.
    Sleep(4000);
    SaveShot(hWnd, "while_recording.bmp");
    SelectComboItem(hWnd, IDC_VIEW, 1); // the spectrum of the same sound
    Sleep(500);
    SaveShot(hWnd, "while_recording_spectrum.bmp");
    SelectComboItem(hWnd, IDC_VIEW, 0);
    Command(hWnd, IDM_STOP);
    SaveShot(hWnd, "after_recording.bmp");

    const std::vector<uint8_t> file = SaveRecordingAs(program, hWnd, path);
    ASSERT_GE(file.size(), 44u) << path;
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(file, 24), 44100u);
    EXPECT_EQ(file[22], 2) << "channels";
    EXPECT_EQ(file[34], 16) << "bits";
    // About two seconds of CD-quality stereo were recorded.
    EXPECT_GT(Le32(file, 40), 176400u); // more than a second of the two (the device starts late under Wine)
}

TEST(RecordingJob, WrappedRecordingOnTheSimulatedDeviceIsSavedAsTheSignalUnbroken)
{
    SetEnvironmentVariableA("MIRRAVOX_WAVE_DEVICE", "sim");
    MirravoxProcess program;
    SetEnvironmentVariableA("MIRRAVOX_WAVE_DEVICE", nullptr);
    HWND hWnd = program.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    SelectComboItem(hWnd, IDC_RATE, kRate96000);
    SelectComboItem(hWnd, IDC_CHANNELS, kStereo);
    SelectComboItem(hWnd, IDC_RESOLUTION, k24Bit);
    SelectComboItem(hWnd, IDC_BUFFER_SIZE, k1MB);
    ASSERT_EQ(ControlText(hWnd, IDC_REQUESTED), "576000");

    // 1048572 bytes of store hold 1.8 s: three seconds wrap it.
    Command(hWnd, IDM_RECORD);
    Sleep(3000);
    Command(hWnd, IDM_STOP);
    const std::vector<uint8_t> file = SaveRecordingAs(program, hWnd, ArtefactFolder() + "\\wrapped.wav");
    const std::vector<uint8_t> format = Chunk(file, "fmt "), data = Chunk(file, "data");
    ASSERT_GE(format.size(), 16u) << "no format chunk";
    EXPECT_EQ(Le32(format, 4), 96000u);
    EXPECT_EQ(format[2], 2) << "channels";
    EXPECT_EQ(format[14], 24) << "bits";
    // Every byte a 6144-byte block reached in one lap of the store (170
    // blocks), and no byte of the stretch after them.
    EXPECT_EQ(data.size(), 170u * 6144u);
    // The simulated device records the low byte of each byte's place in its
    // stream: the file must count up without a break, oldest byte first.
    size_t run = 1;
    while (run < data.size() && data[run] == uint8_t(data[run - 1] + 1)) ++run;
    EXPECT_EQ(run, data.size()) << "the signal breaks at byte " << run;
}

TEST(RecordingJob, BusyAndNothingRecordedMessages)
{
    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);

    Command(hWnd, IDM_SINE_1K);
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDM_SAW_1K, 0), 0);
    EXPECT_EQ(AnswerBox(program, "Output in progress"),
              "There is already a sound being played\nIn order to play a new sound you must stop\n"
              "the current output first.\n");

    Command(hWnd, IDM_STOP);
    Command(hWnd, IDM_CLEAR);
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDM_PLAYBACK, 0), 0);
    EXPECT_EQ(AnswerBox(program, "No sound data"),
              "There is no sound data available to be played back.\nRecord some sound first. Then attempt playback.");
}

} // namespace
