// The main window built from its real template: its controls, menus, combo
// defaults, format changes and the stores.
#include "main_window_fixture.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class MainWindow : public MainWindowFixture {
protected:
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
    LRESULT Send(int id, UINT message) { return SendDlgItemMessageA(hWnd, id, message, 0, 0); }
};

TEST_F(MainWindow, TemplateHasEveryControl)
{
    const struct { int id; const char* cls; const char* text; /* null: not checked */ } kControls[] = {
        {1058, "Button", "Sound format"}, {1020, "Static", "Requested Sample Rate"}, {1021, "ComboBox", nullptr},
        {1023, "Static", "Channels"}, {1024, "ComboBox", nullptr}, {1025, "Static", "Resolution"},
        {1026, "ComboBox", nullptr}, {1027, "Static", "Requested"}, {1039, "Static", "Actual In"},
        {1041, "Static", "Average In"}, {1051, "Static", "Actual Out"}, {1049, "Static", "Average Out"},
        {1030, "Static", "View"}, {1029, "ComboBox", nullptr}, {1044, "Static", "Frame Rate"},
        {1043, "ComboBox", nullptr}, {1066, "Button", "Trigger"}, {1032, "Static", "Size"},
        {1031, "ComboBox", nullptr}, {1047, "Static", "In"}, {1053, "Static", "Out"},
        {1007, "Button", "Record"}, {1010, "Button", ""}, {1008, "Button", "Stop"},
        {1037, "msctls_trackbar32", nullptr}, {1009, "Static", ""}, {1038, "msctls_trackbar32", nullptr},
        {1059, "ScrollBar", nullptr},
        // Cleared at start-up.
        {1040, "Static", "0"}, {1042, "Static", "0"}, {1048, "Static", "0"}, {1050, "Static", "0"},
        {1046, "Static", "0% 0.0MB 0.0Sec"}, {1052, "Static", "0% 0.0MB 0.0Sec"},
    };
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
    }
    for (const char* group : {"Data rates (Bytes/Sec)", "Graph settings", "Record and Playback buffers"})
        EXPECT_NE(FindWindowExA(hWnd, nullptr, "Button", group), nullptr) << group;
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hWnd, 1059)));
    EXPECT_EQ(Send(1037, TBM_GETRANGEMIN), -10);
    EXPECT_EQ(Send(1037, TBM_GETRANGEMAX), 10);
    EXPECT_EQ(Send(1037, TBM_GETPOS), 1);
    EXPECT_EQ(Send(1038, TBM_GETRANGEMIN), -90);
    EXPECT_EQ(Send(1038, TBM_GETRANGEMAX), 90);
    for (int id : {1007, 1010, 1008})
        EXPECT_NE(SendDlgItemMessageA(hWnd, id, BM_GETIMAGE, IMAGE_ICON, 0), 0) << "icon on button " << id;
    EXPECT_EQ(g_szBitmap122.cx, 55);
    EXPECT_EQ(g_szBitmap122.cy, 27);
    EXPECT_EQ(g_szBitmap123.cx, 86);
    EXPECT_EQ(g_szBitmap123.cy, 27);
}

// Each menu as "title: text=id, ..., -" (a separator) in order.
TEST_F(MainWindow, MenuHasItsSixMenus)
{
    const std::vector<std::string> kMenus = {
        "File: Save Recording=40035, Exit=40004",
        "Settings: Device Selection=40017, Display settings=40031, Mixer settings=40022, "
        "View wave capabilities - Windows=40023, View wave capabilities - DirectSound=40024",
        "Effects: 3D Sound=40033, Audio FX=40034",
        "Action: Record=40001, Stop=40007, Playback=40002, Clear buffer=40010",
        "Test tones: Create tone=40018, -, 1kHz Sine wave=40009, 1kHz Saw Wave=40011, "
        "1kHz Square Wave=40019, White noise=40020",
        "Help: Help=40005, About=40006",
    };
    HMENU bar = GetMenu(hWnd);
    std::vector<std::string> menus;
    for (int m = 0; m < GetMenuItemCount(bar); ++m) {
        char buf[128] = "";
        GetMenuStringA(bar, m, buf, sizeof(buf), MF_BYPOSITION);
        std::string menu = std::string(buf) + ":";
        HMENU sub = GetSubMenu(bar, m);
        for (int i = 0; i < GetMenuItemCount(sub); ++i) {
            GetMenuStringA(sub, i, buf, sizeof(buf), MF_BYPOSITION);
            menu += i ? ", " : " ";
            menu += GetMenuState(sub, i, MF_BYPOSITION) & MF_SEPARATOR
                        ? std::string("-")
                        : std::string(buf) + "=" + std::to_string(GetMenuItemID(sub, i));
        }
        menus.push_back(menu);
    }
    EXPECT_EQ(menus, kMenus);
}

TEST_F(MainWindow, CombosStartWithTheirDefaults)
{
    const struct { int id; const char* const* labels; int count; const char* selected; } kCombos[] = {
        {1021, kSampleRateLabels, 13, "11025Hz (Telephone)"}, {1024, kChannelLabels, 2, "1 (Mono)"},
        {1026, kResolutionLabels, 3, "8 bit"},                {1029, kViewLabels, 3, "Waveform"},
        {1043, kFrameSpeedLabels, 6, "Fast"},                 {1031, kBufferSizeLabels, 6, "2MB"},
    };
    for (const auto& c : kCombos) {
        SCOPED_TRACE(c.id);
        ASSERT_EQ(Send(c.id, CB_GETCOUNT), c.count);
        for (int i = 0; i < c.count; ++i) EXPECT_EQ(ComboItem(c.id, i), c.labels[i]);
        EXPECT_EQ(ComboItem(c.id, int(Send(c.id, CB_GETCURSEL))), c.selected);
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
    EXPECT_EQ(g_pInputBuffer[2097151], 128) << "8-bit silence to the end";
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
    EXPECT_EQ(g_nInputBufferSize, 1048575) << "whole 24-bit frames";
    EXPECT_EQ(g_nOutputBufferSize, 1048575);
    Select(1024, 1); // 24-bit stereo: 1048572 bytes of whole frames
    Select(1026, 0); // 8 bit: 1048576
    for (const uint8_t* store : {g_pInputBuffer, g_pOutputBuffer})
        EXPECT_EQ(std::count(store, store + 1048576, 128), 1048576) << "8-bit silence in every byte, the last 4 too";

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
    const std::vector<CaughtBox> boxes = catcher.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(boxes[i].text, std::string("There is not enough memory in your computer to allocate\nthe requested ") +
                                     (i ? "output" : "Input") +
                                     " sound buffer. Select a smaller buffer size\nor free up some memory");
        EXPECT_EQ(boxes[i].caption, "Low memory");
        EXPECT_EQ(boxes[i].icon, "exclamation");
    }
    EXPECT_EQ(g_pInputBuffer, nullptr);
    EXPECT_EQ(g_nInputBufferSize, 0);
    EXPECT_EQ(g_nOutputBufferSize, 0);

    // The program runs on: format changes and clearing touch no absent store.
    Select(1026, 1);
    Command(IDM_CLEAR);
    EXPECT_EQ(g_nInputBufferSize, 0);

    SetStoreAllocator(nullptr);
    Select(1031, 0);
    EXPECT_EQ(catcher.Boxes().size(), 2u);
    EXPECT_EQ(g_nInputBufferSize, 1048576);
    ASSERT_NE(g_pOutputBuffer, nullptr);
}

} // namespace
