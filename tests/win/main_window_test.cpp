// The main window built from its real template, driven through its messages.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/app_state.h"
#include "app/format_settings.h"
#include "app/startup.h"
#include "app/win_state.h"
#include "message_box_hook.h"
#include "resource.h"

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        PrepareProcess(GetModuleHandleA(nullptr));
        hWnd = CreateMainWindow();
        ASSERT_NE(hWnd, nullptr) << "error " << GetLastError();
    }
    void TearDown() override
    {
        SetStoreAllocator(nullptr);
        if (IsWindow(hWnd)) DestroyWindow(hWnd);
        DrainQuitMessage();
    }
    std::string Text(int id)
    {
        char buf[256] = "";
        GetDlgItemTextA(hWnd, id, buf, sizeof(buf));
        return buf;
    }
    std::string ClassOf(int id)
    {
        char buf[64] = "";
        GetClassNameA(GetDlgItem(hWnd, id), buf, sizeof(buf));
        return buf;
    }
    std::string ComboItem(int id, int index)
    {
        char buf[64] = "";
        SendDlgItemMessageA(hWnd, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buf));
        return buf;
    }
    int ComboCount(int id) { return static_cast<int>(SendDlgItemMessageA(hWnd, id, CB_GETCOUNT, 0, 0)); }
    int ComboSelection(int id) { return static_cast<int>(SendDlgItemMessageA(hWnd, id, CB_GETCURSEL, 0, 0)); }
    void Select(int id, int index)
    {
        SendDlgItemMessageA(hWnd, id, CB_SETCURSEL, index, 0);
        SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(hWnd, id)));
    }
    HWND hWnd = nullptr;
};

struct ControlSpec {
    int id;
    const char* cls;
    const char* text; // null: not checked (combos, trackbars)
    int x, y, w, h;
};

const ControlSpec kControls[] = {
    {1058, "Button", "Sound format", 6, 7, 117, 74},
    {1020, "Static", "Requested Sample Rate", 13, 18, 90, 10},
    {1021, "ComboBox", nullptr, 13, 28, 95, 65},
    {1023, "Static", "Channels", 13, 47, 35, 10},
    {1024, "ComboBox", nullptr, 53, 45, 55, 34},
    {1025, "Static", "Resolution", 12, 63, 35, 10},
    {1026, "ComboBox", nullptr, 53, 62, 55, 164},
    {1027, "Static", "Requested", 27, 91, 37, 10},
    {1039, "Static", "Actual In", 25, 104, 39, 10},
    {1041, "Static", "Average In", 14, 117, 37, 10},
    {1051, "Static", "Actual Out", 24, 130, 40, 10},
    {1049, "Static", "Average Out", 9, 143, 42, 10},
    {1030, "Static", "View", 23, 171, 24, 10},
    {1029, "ComboBox", nullptr, 53, 169, 68, 51},
    {1044, "Static", "Frame Rate", 10, 187, 37, 10},
    {1043, "ComboBox", nullptr, 53, 185, 68, 50},
    {1066, "Button", "Trigger", 24, 202, 38, 10},
    {1032, "Static", "Size", 35, 232, 26, 10},
    {1031, "ComboBox", nullptr, 67, 230, 54, 53},
    {1047, "Static", "In", 10, 247, 14, 10},
    {1053, "Static", "Out", 10, 263, 14, 10},
    {1007, "Button", "Record", 6, 287, 33, 26},
    {1010, "Button", "", 43, 287, 33, 26},
    {1008, "Button", "Stop", 80, 287, 33, 26},
    {1037, "msctls_trackbar32", nullptr, 124, 5, 20, 298},
    {1009, "Static", "", 145, 7, 254, 293},
    {1038, "msctls_trackbar32", nullptr, 137, 301, 129, 15},
    {1059, "ScrollBar", nullptr, 268, 305, 131, 11},
};

TEST_F(MainWindow, TemplateHasEveryControl)
{
    char buf[128] = "";
    GetClassNameA(hWnd, buf, sizeof(buf));
    EXPECT_STREQ(buf, "Mirravox");
    for (const auto& c : kControls) {
        SCOPED_TRACE(c.id);
        ASSERT_NE(GetDlgItem(hWnd, c.id), nullptr);
        EXPECT_STRCASEEQ(ClassOf(c.id).c_str(), c.cls);
        if (c.text) {
            EXPECT_EQ(Text(c.id), c.text);
        }
        // Position and size in dialog units, each converted on its own as the template was.
        RECT expected = {c.x, c.y, c.w, c.h};
        MapDialogRect(hWnd, &expected);
        expected.right += expected.left;
        expected.bottom += expected.top;
        RECT actual;
        GetWindowRect(GetDlgItem(hWnd, c.id), &actual);
        MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&actual), 2);
        if (c.id != 1009 && c.id != 1037 && c.id != 1038 && c.id != 1059 &&
            std::string(c.cls) != "ComboBox") { // moved by the layout or sized by their list
            EXPECT_EQ(actual.left, expected.left);
            EXPECT_EQ(actual.top, expected.top);
            EXPECT_EQ(actual.right - actual.left, expected.right - expected.left);
        }
    }
    // Group boxes without an id of their own.
    for (const char* group : {"Data rates (Bytes/Sec)", "Graph settings", "Record and Playback buffers"}) {
        HWND found = FindWindowExA(hWnd, nullptr, "Button", group);
        EXPECT_NE(found, nullptr) << group;
    }
    for (int id : {1040, 1042, 1048, 1050}) EXPECT_EQ(Text(id), "0") << id; // cleared at start-up
    EXPECT_EQ(Text(1046), "0% 0.0MB 0.0Sec");
    EXPECT_EQ(Text(1052), "0% 0.0MB 0.0Sec");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hWnd, 1059)));
    EXPECT_EQ(SendDlgItemMessageA(hWnd, 1037, TBM_GETRANGEMIN, 0, 0), -10);
    EXPECT_EQ(SendDlgItemMessageA(hWnd, 1037, TBM_GETRANGEMAX, 0, 0), 10);
    EXPECT_EQ(SendDlgItemMessageA(hWnd, 1037, TBM_GETPOS, 0, 0), 1);
    EXPECT_EQ(SendDlgItemMessageA(hWnd, 1038, TBM_GETRANGEMIN, 0, 0), -90);
    EXPECT_EQ(SendDlgItemMessageA(hWnd, 1038, TBM_GETRANGEMAX, 0, 0), 90);
    for (int id : {1007, 1010, 1008})
        EXPECT_NE(SendDlgItemMessageA(hWnd, id, BM_GETIMAGE, IMAGE_ICON, 0), 0) << "icon on button " << id;
    EXPECT_EQ(g_szBitmap122.cx, 55);
    EXPECT_EQ(g_szBitmap122.cy, 27);
    EXPECT_EQ(g_szBitmap123.cx, 86);
    EXPECT_EQ(g_szBitmap123.cy, 27);
}

TEST_F(MainWindow, MenuHasItsSixMenus)
{
    struct Item { const char* text; UINT id; };
    const struct { const char* title; std::vector<Item> items; } menus[] = {
        {"File", {{"Save Recording", 40035}, {"Exit", 40004}}},
        {"Settings", {{"Device Selection", 40017}, {"Display settings", 40031}, {"Mixer settings", 40022},
                      {"View wave capabilities - Windows", 40023},
                      {"View wave capabilities - DirectSound", 40024}}},
        {"Effects", {{"3D Sound", 40033}, {"Audio FX", 40034}}},
        {"Action", {{"Record", 40001}, {"Stop", 40007}, {"Playback", 40002}, {"Clear buffer", 40010}}},
        {"Test tones", {{"Create tone", 40018}, {"", 0}, {"1kHz Sine wave", 40009}, {"1kHz Saw Wave", 40011},
                        {"1kHz Square Wave", 40019}, {"White noise", 40020}}},
        {"Help", {{"Help", 40005}, {"About", 40006}}},
    };
    HMENU bar = GetMenu(hWnd);
    ASSERT_EQ(GetMenuItemCount(bar), 6);
    for (int m = 0; m < 6; ++m) {
        char buf[128] = "";
        GetMenuStringA(bar, m, buf, sizeof(buf), MF_BYPOSITION);
        EXPECT_STREQ(buf, menus[m].title);
        HMENU sub = GetSubMenu(bar, m);
        ASSERT_EQ(GetMenuItemCount(sub), static_cast<int>(menus[m].items.size())) << menus[m].title;
        for (size_t i = 0; i < menus[m].items.size(); ++i) {
            const Item& item = menus[m].items[i];
            if (item.id == 0) {
                EXPECT_TRUE(GetMenuState(sub, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR);
                continue;
            }
            EXPECT_EQ(GetMenuItemID(sub, static_cast<int>(i)), item.id);
            GetMenuStringA(sub, static_cast<UINT>(i), buf, sizeof(buf), MF_BYPOSITION);
            EXPECT_STREQ(buf, item.text);
        }
    }
}

TEST_F(MainWindow, CombosStartWithTheirDefaults)
{
    const struct { int id; const char* const* labels; int count; const char* selected; } combos[] = {
        {1021, kSampleRateLabels, 13, "11025Hz (Telephone)"}, {1024, kChannelLabels, 2, "1 (Mono)"},
        {1026, kResolutionLabels, 3, "8 bit"},                {1029, kViewLabels, 3, "Waveform"},
        {1043, kFrameSpeedLabels, 6, "Fast"},                 {1031, kBufferSizeLabels, 6, "2MB"},
    };
    for (const auto& c : combos) {
        SCOPED_TRACE(c.id);
        ASSERT_EQ(ComboCount(c.id), c.count);
        for (int i = 0; i < c.count; ++i) EXPECT_EQ(ComboItem(c.id, i), c.labels[i]);
        EXPECT_EQ(ComboItem(c.id, ComboSelection(c.id)), c.selected);
    }
    EXPECT_EQ(ComboItem(1021, 12), "128000Hz");
    EXPECT_EQ(ComboItem(1043, 5), "Super Slow");
    EXPECT_EQ(Text(1028), "11025");
    EXPECT_EQ(g_nSampleRate, 11025);
    EXPECT_EQ(g_nChannels, 1);
    EXPECT_EQ(g_nBitsPerSample, 8);
    EXPECT_EQ(g_nBlockSize, 512);
    EXPECT_EQ(g_nFrameInterval, 50u);
    EXPECT_EQ(g_nInputBufferSize, 2097152);
    EXPECT_EQ(g_nOutputBufferSize, 2097152);
    ASSERT_NE(g_pInputBuffer, nullptr);
    EXPECT_EQ(g_pInputBuffer[2097151], 128);
}

TEST_F(MainWindow, FormatChangeRederivesAndClears)
{
    g_nRecordedBytes = 4096;
    g_pInputBuffer[10] = 7;
    Select(1021, 7); // 44100Hz (CD quality)
    Select(1024, 1); // stereo
    Select(1026, 1); // 16 bit
    EXPECT_EQ(Text(1028), "176400");
    EXPECT_EQ(g_nBlockSize, 1024);
    EXPECT_EQ(g_nRecordedBytes, 0);
    EXPECT_EQ(g_pInputBuffer[10], 0) << "16-bit silence";

    Select(1026, 2); // 24 bit
    Select(1024, 0); // mono
    Select(1031, 0); // 1MB
    EXPECT_EQ(g_nInputBufferSize, 1048575);
    EXPECT_EQ(g_nOutputBufferSize, 1048575);

    // A notification other than a selection change does nothing.
    SendDlgItemMessageA(hWnd, 1021, CB_SETCURSEL, 0, 0);
    SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(1021, CBN_DROPDOWN), reinterpret_cast<LPARAM>(GetDlgItem(hWnd, 1021)));
    EXPECT_EQ(g_nSampleRate, 44100);
}

void* FailAllocation(size_t) { return nullptr; }

TEST_F(MainWindow, LowMemoryBoxesLeaveTheStoresAbsent)
{
    MessageBoxCatcher catcher;
    SetStoreAllocator(&FailAllocation);
    Select(1031, 5); // 20MB
    ASSERT_EQ(catcher.Boxes().size(), 2u);
    EXPECT_EQ(catcher.Boxes()[0].caption, "Low memory");
    EXPECT_EQ(catcher.Boxes()[0].text,
              "There is not enough memory in your computer to allocate\nthe requested Input sound buffer. "
              "Select a smaller buffer size\nor free up some memory");
    EXPECT_EQ(catcher.Boxes()[0].icon, "exclamation");
    EXPECT_EQ(catcher.Boxes()[1].text,
              "There is not enough memory in your computer to allocate\nthe requested output sound buffer. "
              "Select a smaller buffer size\nor free up some memory");
    EXPECT_EQ(g_pInputBuffer, nullptr);
    EXPECT_EQ(g_nInputBufferSize, 0);
    EXPECT_EQ(g_nOutputBufferSize, 0);

    // The program runs on: format changes and clearing touch no absent store.
    Select(1026, 1);
    SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDM_CLEAR, 0), 0);
    EXPECT_EQ(g_nInputBufferSize, 0);

    SetStoreAllocator(nullptr);
    Select(1031, 0);
    EXPECT_EQ(catcher.Boxes().size(), 2u);
    EXPECT_EQ(g_nInputBufferSize, 1048576);
    ASSERT_NE(g_pOutputBuffer, nullptr);
}

TEST_F(MainWindow, ExitDestroysTheWindowAndAsksToQuit)
{
    SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    EXPECT_FALSE(IsWindow(hWnd));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_EQ(g_pInputBuffer, nullptr);
}

TEST_F(MainWindow, CannotShrinkBelowMinimumSize)
{
    MINMAXINFO info = {};
    SendMessageA(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 300);
    EXPECT_EQ(info.ptMinTrackSize.y, 390);
}

} // namespace
