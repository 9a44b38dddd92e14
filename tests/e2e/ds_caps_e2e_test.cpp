// The DirectSound capabilities dialog of the real program, opened from the
// Settings menu, and the two content files installed beside the program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver.h"
#include "resource.h"

namespace {

// Item texts of a combo or list box of another process, read in the wide
// form (Wine hands wide text to the ANSI form across processes).
std::vector<std::string> Items(HWND control, UINT countMessage, UINT textMessage)
{
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(control, countMessage, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t wide[256] = L"";
        SendMessageW(control, textMessage, i, reinterpret_cast<LPARAM>(wide));
        char text[256] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        items.push_back(text);
    }
    return items;
}

TEST(DsCapsOnScreen, SettingsMenuOpensTheDeviceListWithItsFields)
{
    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDM_DS_CAPS, 0), 0);
    HWND dialog = program.WaitForDialog("Direct Sound Device Capabilities", 10000);
    ASSERT_NE(dialog, nullptr) << "no DirectSound capabilities dialog";
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), hWnd);

    const std::vector<std::string> devices = Items(GetDlgItem(dialog, IDC_DSCAPS_DEVICE), CB_GETCOUNT, CB_GETLBTEXT);
    const std::vector<std::string> sentences = Items(GetDlgItem(dialog, IDC_DSCAPS_INFO), LB_GETCOUNT, LB_GETTEXT);
    for (const std::string& d : devices) std::printf("[ device ] %s\n", d.c_str());
    for (const std::string& s : sentences) std::printf("[ sentence ] %s\n", s.c_str());
    std::printf("[ fields ] rates %s, memory %s / %s\n", ControlText(dialog, IDC_DSCAPS_RATES).c_str(),
                ControlText(dialog, IDC_DSCAPS_MEMORY).c_str(), ControlText(dialog, IDC_DSCAPS_MEMORY_FREE).c_str());
    if (devices.empty()) {
        EXPECT_EQ(ControlText(dialog, IDC_DSCAPS_RATES), "");
        EXPECT_TRUE(sentences.empty());
    } else {
        EXPECT_LE(devices.size(), 6u);
        EXPECT_NE(ControlText(dialog, IDC_DSCAPS_RATES).find(" - "), std::string::npos);
        ASSERT_GE(sentences.size(), 2u);
        EXPECT_EQ(sentences[0].rfind("- This driver ", 0), 0u);
    }

    // The dialog paints in the program's own thread: take pictures until the
    // sentences are drawn (the list is no longer one colour).
    RECT frame, list;
    GetWindowRect(dialog, &frame);
    GetWindowRect(GetDlgItem(dialog, IDC_DSCAPS_INFO), &list);
    OffsetRect(&list, -frame.left, -frame.top);
    InflateRect(&list, -3, -3);
    Screenshot shot;
    auto listDrawn = [&] {
        for (int y = list.top; y < list.bottom; ++y)
            for (int x = list.left; x < list.right; ++x)
                if (shot.At(x, y) != shot.At(list.left, list.top)) return true;
        return false;
    };
    WaitUntil(
        [&] {
            RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            shot = CaptureWindow(dialog);
            return devices.empty() || listDrawn();
        },
        5000);
    EXPECT_TRUE(shot.SaveBmp(ArtefactFolder() + "\\ds_capabilities.bmp"));
    PressButton(dialog, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_TRUE(IsWindow(hWnd));
}

TEST(ContentFiles, LieBesideTheProgramAsStandardMidiFiles)
{
    std::string folder = ProgramPath();
    folder.erase(folder.rfind('\\') + 1);
    for (const char* name : {"ReggaeBeats.mid", "Intrigue.mid"}) {
        const std::string bytes = FileBytes(folder + name);
        EXPECT_EQ(bytes.substr(0, 4), "MThd") << name;
        EXPECT_GT(bytes.size(), 1000u) << name;
    }
}

} // namespace
