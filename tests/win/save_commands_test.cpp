// Save Recording through the real save dialog, and what it reports.
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
    // Saves through the dialog answered with name; returns the boxes shown as "text|caption|icon".
    std::vector<std::string> Save(const std::string& name, int dialogsShown = 1)
    {
        MessageBoxCatcher boxes;
        FileDialogAnswer dialog(name);
        Command(IDM_SAVE_RECORDING);
        EXPECT_EQ(dialog.Shown(), dialogsShown);
        EXPECT_EQ(dialog.Title(), dialogsShown ? "Save wav file" : "");
        std::vector<std::string> shown;
        for (const CaughtBox& box : boxes.Boxes()) shown.push_back(box.text + "|" + box.caption + "|" + box.icon);
        return shown;
    }
    const std::string path = TempPath("mirravox-save-test.wav");
};

TEST_F(SaveCommands, NothingRecordedShowsNoSoundDataAndNoDialog)
{
    EXPECT_EQ(Save(path, 0),
              std::vector<std::string>{"There is no sound data available to be saved.\nRecord some "
                                       "sound first before attempting to save.|No sound data|information"});
}

TEST_F(SaveCommands, ConfirmedDialogWritesTheRecordingCancelledNothing)
{
    for (int i = 0; i < 1000; ++i) g_pInputBuffer[i] = static_cast<uint8_t>(i * 7);
    g_nRecordedBytes = 1000;
    EXPECT_TRUE(Save("").empty());
    EXPECT_EQ(FileBytes(path), "(missing)") << "cancelled";
    EXPECT_TRUE(Save(path.substr(0, path.size() - 4)).empty()); // the dialog adds ".wav"
    const std::string file = FileBytes(path);
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
    EXPECT_EQ(Save(path),
              std::vector<std::string>{"Could not open file for writing|Error writing wav file to disk|none"});
    CloseHandle(held);
    EXPECT_EQ(FileBytes(path), "keep me");
}

} // namespace
