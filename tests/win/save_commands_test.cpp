// Save Recording through the real save dialog, and what it reports.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/startup_win.h"
#include "file_dialog_hook.h"
#include "message_box_hook.h"
#include "resource.h"
#include "state/app_state.h"
#include "tones/save_commands_win.h"

namespace {

std::string TempPath(const char* name)
{
    char dir[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

std::vector<unsigned char> ReadFile(const std::string& path)
{
    std::vector<unsigned char> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
        std::fclose(f);
    }
    return bytes;
}

class SaveCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        PrepareProcess(GetModuleHandleA(nullptr));
        hWnd = CreateMainWindow();
        ASSERT_NE(hWnd, nullptr);
        path = TempPath("mirravox-save-test.wav");
        DeleteFileA(path.c_str());
    }
    void TearDown() override
    {
        if (IsWindow(hWnd)) DestroyWindow(hWnd);
        DrainQuitMessage();
        DeleteFileA(path.c_str());
    }
    void Record(int bytes)
    {
        for (int i = 0; i < bytes; ++i) g_pInputBuffer[i] = static_cast<uint8_t>(i * 7);
        g_nRecordedBytes = bytes;
    }
    void SaveFromMenu() { SaveRecording(hWnd); }
    HWND hWnd = nullptr;
    std::string path;
};

TEST_F(SaveCommands, NothingRecordedShowsNoSoundDataAndNoDialog)
{
    MessageBoxCatcher boxes;
    FileDialogAnswer dialog(path);
    SaveFromMenu();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "No sound data");
    EXPECT_EQ(boxes.Boxes()[0].text,
              "There is no sound data available to be saved.\nRecord some sound first before attempting to save.");
    EXPECT_EQ(boxes.Boxes()[0].icon, "information");
    EXPECT_EQ(dialog.Shown(), 0);
}

TEST_F(SaveCommands, ConfirmedDialogWritesTheRecording)
{
    Record(1000);
    MessageBoxCatcher boxes;
    FileDialogAnswer dialog(path.substr(0, path.size() - 4)); // the dialog adds ".wav"
    SaveFromMenu();
    EXPECT_EQ(dialog.Shown(), 1);
    EXPECT_EQ(dialog.Title(), "Save wav file");
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes()[0].text;
    const std::vector<unsigned char> file = ReadFile(path);
    ASSERT_EQ(file.size(), 44u + 1000u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(file[44 + i], static_cast<unsigned char>(i * 7)) << i;
}

TEST_F(SaveCommands, CancelledDialogWritesNothing)
{
    Record(1000);
    FileDialogAnswer dialog("");
    SaveFromMenu();
    EXPECT_EQ(dialog.Shown(), 1);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SaveCommands, UnwritableFileIsReported)
{
    Record(1000);
    // Another program holds the file open without sharing it.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(held, "keep me", 7, &written, nullptr);

    MessageBoxCatcher boxes;
    FileDialogAnswer dialog(path);
    SaveFromMenu();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Could not open file for writing");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Error writing wav file to disk");
    EXPECT_EQ(boxes.Boxes()[0].icon, "none");
    CloseHandle(held);
    EXPECT_EQ(ReadFile(path).size(), 7u) << "the existing file is untouched";
}

} // namespace
