// The DirectMusic wrappers on Wine's DirectMusic: a path too long for the
// loader, the media path from the registry and the text conversion. The
// dialogs load, play and refuse content through them (directx_dialogs_test.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>

#include "dialog_controls.h"
#include "dxtests/directx_calls_win.h"
#include "dxtests/dx_text_win.h"
#include "dxtests/music_engine.h"

namespace {

// A path one character too long whose first 259 name a real file must be
// refused, not cut short to that file.
TEST(WineDirectMusic, OverlongPathIsRefusedNotCutShort)
{
    std::string tooLong = ContentFile("");
    while (tooLong.size() + std::strlen("Intrigue.mid") < MAX_PATH - 2) tooLong += ".\\";
    if (tooLong.size() + std::strlen("Intrigue.mid") < MAX_PATH - 1) tooLong += "\\";
    tooLong += "Intrigue.midx";
    ASSERT_EQ(tooLong.size(), size_t(MAX_PATH));
    SetDirectXCalls(DirectXCallsWin());
    {
        CMusicEngine engine;
        ASSERT_EQ(engine.Initialize(nullptr, 128, 8), S_OK);
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
    const std::pair<std::string, std::string> cases[] = {
        // The value ("": no key), the folder.
        {"C:\\DXSDK\\Samples", "C:\\DXSDK\\Samples\\Media\\"},
        {"", ""},
        {longest, longest + "\\Media\\"},
        {longest + "g", ""},
        {std::string(300, 'x'), ""}, // longer than the buffer
    };
    for (const auto& [value, expected] : cases) {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
        const LSTATUS set = value.empty() ? ERROR_SUCCESS
                                          : RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, "DX81SDK Samples Path", REG_SZ,
                                                            value.c_str(), DWORD(value.size() + 1));
        ASSERT_EQ(set, ERROR_SUCCESS);
        EXPECT_EQ(std::string(GetDXMediaPath()), expected) << value.size();
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
}

TEST(AnsiToWide, ConvertsWithinTheBudget)
{
    const std::tuple<const char*, DWORD, std::wstring> cases[] = {
        {"C:\\Media\\Intrigue.mid", 0xFFFFFFFFu, L"C:\\Media\\Intrigue.mid"},
        {"abcdef", 4, L"abc"},
        {"abcdef", 7, L"abcdef"},
        {"abcdef", 1, L""},
        {"", 5, L""},
    };
    for (const auto& [src, budget, expected] : cases) {
        WCHAR dest[32];
        std::fill(std::begin(dest), std::end(dest), L'#');
        AnsiToWide(dest, src, budget);
        EXPECT_EQ(std::wstring(dest), expected) << src << " " << budget;
    }
    WCHAR untouched[4] = {L'#', L'#', L'#', 0};
    AnsiToWide(untouched, "abc", 0);
    AnsiToWide(untouched, nullptr, 4);
    AnsiToWide(nullptr, "abc", 4);
    EXPECT_EQ(std::wstring(untouched), L"###");
}

} // namespace
