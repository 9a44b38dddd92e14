// Save Recording through the real save dialog, and what it reports.
#include <fstream>
#include <sstream>
#include <string>

#include "file_dialog_hook.h"
#include "main_window_fixture.h"

namespace {

class SaveCommands : public MainWindowFixture {
protected:
    void TearDown() override
    {
        DeleteFileA(path.c_str());
        MainWindowFixture::TearDown();
    }
    std::string Saved() // the file's bytes, "(missing)" when there is none
    {
        std::ifstream f(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << f.rdbuf();
        return f ? bytes.str() : "(missing)";
    }
    std::string path = [] {
        char dir[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, dir);
        return std::string(dir) + "mirravox-save-test.wav";
    }();
};

TEST_F(SaveCommands, NothingRecordedShowsNoSoundDataAndNoDialog)
{
    MessageBoxCatcher boxes;
    FileDialogAnswer dialog(path);
    Command(IDM_SAVE_RECORDING);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "No sound data");
    EXPECT_EQ(boxes.Boxes()[0].text,
              "There is no sound data available to be saved.\nRecord some sound first before attempting to save.");
    EXPECT_EQ(boxes.Boxes()[0].icon, "information");
    EXPECT_EQ(dialog.Shown(), 0);
}

TEST_F(SaveCommands, ConfirmedDialogWritesTheRecordingCancelledNothing)
{
    for (int i = 0; i < 1000; ++i) g_pInputBuffer[i] = static_cast<uint8_t>(i * 7);
    g_nRecordedBytes = 1000;
    MessageBoxCatcher boxes;
    for (const std::string& answer : {std::string(), path.substr(0, path.size() - 4)}) { // the dialog adds ".wav"
        FileDialogAnswer dialog(answer);
        Command(IDM_SAVE_RECORDING);
        EXPECT_EQ(dialog.Shown(), 1);
        EXPECT_EQ(dialog.Title(), "Save wav file");
        if (answer.empty()) {
            EXPECT_EQ(Saved(), "(missing)") << "cancelled";
        }
    }
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes()[0].text;
    const std::string file = Saved();
    ASSERT_EQ(file.size(), 44u + 1000u);
    EXPECT_EQ(file.substr(0, 4), "RIFF");
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(uint8_t(file[44 + i]), static_cast<uint8_t>(i * 7)) << i;
}

TEST_F(SaveCommands, UnwritableFileIsReported)
{
    g_nRecordedBytes = 1000;
    // Another program holds the file open without sharing it.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(held, "keep me", 7, &written, nullptr);
    MessageBoxCatcher boxes;
    FileDialogAnswer dialog(path);
    Command(IDM_SAVE_RECORDING);
    CloseHandle(held);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Could not open file for writing");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Error writing wav file to disk");
    EXPECT_EQ(boxes.Boxes()[0].icon, "none");
    EXPECT_EQ(Saved(), "keep me");
}

} // namespace
