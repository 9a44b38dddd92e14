// The DirectMusic wrappers on Wine's DirectMusic with our content files, the
// media path from the registry and the text conversion. Wine's synthesizer
// is silent: these tests check the calls' results, not sound. Damaged
// content is refused through the dialogs (audio3d_dialog_test.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "dxtests/directx_calls_win.h"
#include "dxtests/dx_text_win.h"
#include "dxtests/music_engine.h"

namespace {

std::string ContentFile(const char* name) { return std::string(MIRRAVOX_CONTENT_DIR) + "\\" + name; }

TEST(WineDirectMusic, OurContentFilesLoadDownloadPlayAndStopAndOverlongPathsAreRefused)
{
    SetDirectXCalls(DirectXCallsWin());
    {
        CMusicEngine engine;
        ASSERT_EQ(engine.Initialize(nullptr, 128, 8), S_OK); // DMUS_APATH_DYNAMIC_STEREO
        IDirectMusicAudioPath8* defaultPath = engine.GetDefaultAudioPath();
        EXPECT_NE(defaultPath, nullptr);
        for (const char* name : {"ReggaeBeats.mid", "Intrigue.mid"}) {
            SCOPED_TRACE(name);
            CMusicSegment* raw = nullptr;
            ASSERT_EQ(engine.CreateSegmentFromFile(&raw, ContentFile(name).c_str(), true, true), S_OK);
            std::unique_ptr<CMusicSegment> segment(raw);
            EXPECT_TRUE(segment->IsDownloaded());
            EXPECT_EQ(segment->GetEmbeddedPath(), nullptr); // a MIDI file carries no audio path
            EXPECT_EQ(segment->SetRepeats(CMusicSegment::kRepeatForever), S_OK);
            EXPECT_EQ(segment->Play(0), S_OK);
            EXPECT_EQ(segment->Stop(0), S_OK);
            EXPECT_EQ(segment->Play(0x1000, defaultPath), S_OK); // DMUS_SEGF_BEAT
            EXPECT_EQ(segment->Stop(0x1000), S_OK);
            EXPECT_EQ(segment->Unload(), S_OK);
            EXPECT_FALSE(segment->IsDownloaded());
            EXPECT_EQ(segment->Play(0), E_FAIL);
            EXPECT_EQ(segment->Download(defaultPath), S_OK);
            EXPECT_EQ(segment->Unload(defaultPath), S_OK);
        }
        if (defaultPath) reinterpret_cast<IUnknown*>(defaultPath)->Release();

        // A path one character too long whose first 259 name a real file
        // must be refused, not cut short to that file.
        std::string tooLong = ContentFile("");
        while (tooLong.size() + std::strlen("Intrigue.mid") < MAX_PATH - 2) tooLong += ".\\";
        if (tooLong.size() + std::strlen("Intrigue.mid") < MAX_PATH - 1) tooLong += "\\";
        tooLong += "Intrigue.midx";
        ASSERT_EQ(tooLong.size(), size_t(MAX_PATH));
        CMusicSegment* segment = nullptr;
        EXPECT_TRUE(FAILED(engine.CreateSegmentFromFile(&segment, tooLong.c_str(), true, true)));
        EXPECT_EQ(segment, nullptr);
    }
    SetDirectXCalls(nullptr);
}

TEST(DXMediaPath, FolderFromTheRegistryOrEmpty)
{
    const char* key = "Software\\Microsoft\\DirectX SDK";
    const std::string longest(252, 'f'); // 252 + "\Media\" + end = 260 bytes
    const struct {
        const char* what;
        bool present;
        std::string value, expected;
    } cases[] = {
        {"a folder", true, "C:\\DXSDK\\Samples", "C:\\DXSDK\\Samples\\Media\\"},
        {"no key", false, "", ""},
        {"the longest that fits", true, longest, longest + "\\Media\\"},
        {"one character more", true, longest + "g", ""},
        {"longer than the buffer", true, std::string(300, 'x'), ""},
    };
    for (const auto& c : cases) {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
        if (c.present) {
            ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, "DX81SDK Samples Path", REG_SZ, c.value.c_str(),
                                      DWORD(c.value.size() + 1)),
                      ERROR_SUCCESS);
        }
        EXPECT_EQ(std::string(GetDXMediaPath()), c.expected) << c.what;
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
}

TEST(AnsiToWide, ConvertsWithinTheBudget)
{
    const struct {
        const char* src;
        DWORD budget;
        std::wstring expected;
    } cases[] = {
        {"C:\\Media\\Intrigue.mid", 0xFFFFFFFFu, L"C:\\Media\\Intrigue.mid"},
        {"abcdef", 4, L"abc"},
        {"abcdef", 7, L"abcdef"},
        {"abcdef", 1, L""},
        {"", 5, L""},
    };
    for (const auto& c : cases) {
        WCHAR dest[32];
        std::fill(std::begin(dest), std::end(dest), L'#');
        AnsiToWide(dest, c.src, c.budget);
        EXPECT_EQ(std::wstring(dest), c.expected) << c.src << " " << c.budget;
    }
    WCHAR untouched[4] = {L'#', L'#', L'#', 0};
    AnsiToWide(untouched, "abc", 0);
    AnsiToWide(untouched, nullptr, 4);
    AnsiToWide(nullptr, "abc", 4);
    EXPECT_EQ(std::wstring(untouched), L"###");
}

} // namespace
