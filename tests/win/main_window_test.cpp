// The main window built from its real template: its controls, menus, combo
// defaults, format changes and the stores.
#include "main_window_fixture.h"

#include "display/view_settings.h"

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

// The template's controls with their classes and texts, and each menu as
// "title: text=id, ..., -" (a separator) in order.
TEST_F(MainWindow, TemplateHasEveryControlAndMenu)
{
    // clang-format off
    const struct { int id; const char* cls; const char* text; /* null: not checked */ } kControls[] = {
        {IDC_GROUP_FORMAT, "Button", "Sound format"}, {IDC_LABEL_RATE, "Static", "Requested Sample Rate"},
        {IDC_RATE, "ComboBox", nullptr}, {IDC_LABEL_CHANNELS, "Static", "Channels"},
        {IDC_CHANNELS, "ComboBox", nullptr}, {IDC_LABEL_RESOLUTION, "Static", "Resolution"},
        {IDC_RESOLUTION, "ComboBox", nullptr}, {IDC_LABEL_REQUESTED, "Static", "Requested"},
        {IDC_LABEL_ACTUAL_IN, "Static", "Actual In"}, {IDC_LABEL_AVERAGE_IN, "Static", "Average In"},
        {IDC_LABEL_ACTUAL_OUT, "Static", "Actual Out"}, {IDC_LABEL_AVERAGE_OUT, "Static", "Average Out"},
        {IDC_LABEL_VIEW, "Static", "View"}, {IDC_VIEW, "ComboBox", nullptr},
        {IDC_LABEL_FRAME_RATE, "Static", "Frame Rate"}, {IDC_FRAME_SPEED, "ComboBox", nullptr},
        {IDC_TRIGGER, "Button", "Trigger"}, {IDC_LABEL_SIZE, "Static", "Size"},
        {IDC_BUFFER_SIZE, "ComboBox", nullptr}, {IDC_LABEL_FILL_IN, "Static", "In"},
        {IDC_LABEL_FILL_OUT, "Static", "Out"}, {IDC_RECORD, "Button", "Record"}, {IDC_PLAYBACK, "Button", ""},
        {IDC_STOP, "Button", "Stop"}, {IDC_AMPLITUDE, "msctls_trackbar32", nullptr}, {IDC_DISPLAY, "Static", ""},
        {IDC_ZOOM, "msctls_trackbar32", nullptr}, {IDC_STORE_SCROLL, "ScrollBar", nullptr},
        // The fields cleared at start-up.
        {IDC_ACTUAL_IN, "Static", "0"}, {IDC_AVERAGE_IN, "Static", "0"}, {IDC_ACTUAL_OUT, "Static", "0"},
        {IDC_AVERAGE_OUT, "Static", "0"}, {IDC_FILL_IN, "Static", "0% 0.0MB 0.0Sec"},
        {IDC_FILL_OUT, "Static", "0% 0.0MB 0.0Sec"},
    };
    // clang-format on
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
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hWnd, IDC_STORE_SCROLL)));
    EXPECT_EQ(Send(IDC_AMPLITUDE, TBM_GETRANGEMIN), -10);
    EXPECT_EQ(Send(IDC_AMPLITUDE, TBM_GETRANGEMAX), 10);
    EXPECT_EQ(Send(IDC_AMPLITUDE, TBM_GETPOS), 1);
    EXPECT_EQ(Send(IDC_ZOOM, TBM_GETRANGEMIN), -90);
    EXPECT_EQ(Send(IDC_ZOOM, TBM_GETRANGEMAX), 90);
    for (int id : {IDC_RECORD, IDC_PLAYBACK, IDC_STOP})
        EXPECT_NE(SendDlgItemMessageA(hWnd, id, BM_GETIMAGE, IMAGE_ICON, 0), 0) << "icon on button " << id;
    EXPECT_EQ(g_InBadge.size.cx, 55);
    EXPECT_EQ(g_InBadge.size.cy, 27);
    EXPECT_EQ(g_OutBadge.size.cx, 86);
    EXPECT_EQ(g_OutBadge.size.cy, 27);

    auto item = [](const char* text, int id) { return std::string(text) + "=" + std::to_string(id); };
    const std::vector<std::string> kMenus = {
        "File: " + item("Save Recording", IDM_SAVE_RECORDING) + ", " + item("Exit", IDM_EXIT),
        "Settings: " + item("Device Selection", IDM_DEVICE_SELECTION) + ", " +
            item("Display settings", IDM_DISPLAY_SETTINGS) + ", " + item("Mixer settings", IDM_MIXER) + ", " +
            item("View wave capabilities - Windows", IDM_WAVE_CAPS) + ", " +
            item("View wave capabilities - DirectSound", IDM_DS_CAPS),
        "Effects: " + item("3D Sound", IDM_3D_SOUND) + ", " + item("Audio FX", IDM_AUDIO_FX),
        "Action: " + item("Record", IDM_RECORD) + ", " + item("Stop", IDM_STOP) + ", " +
            item("Playback", IDM_PLAYBACK) + ", " + item("Clear buffer", IDM_CLEAR),
        "Test tones: " + item("Create tone", IDM_CREATE_TONE) + ", -, " + item("1kHz Sine wave", IDM_SINE_1K) + ", " +
            item("1kHz Saw Wave", IDM_SAW_1K) + ", " + item("1kHz Square Wave", IDM_SQUARE_1K) + ", " +
            item("White noise", IDM_WHITE_NOISE),
        "Help: " + item("Help", IDM_HELP) + ", " + item("About", IDM_ABOUT),
    };
    HMENU bar = GetMenu(hWnd);
    std::vector<std::string> menus;
    for (int m = 0; m < GetMenuItemCount(bar); ++m) {
        GetMenuStringA(bar, m, buf, sizeof(buf), MF_BYPOSITION);
        std::string menu = std::string(buf) + ":";
        HMENU sub = GetSubMenu(bar, m);
        for (int i = 0; i < GetMenuItemCount(sub); ++i) {
            GetMenuStringA(sub, i, buf, sizeof(buf), MF_BYPOSITION);
            menu += i ? ", " : " ";
            menu += GetMenuState(sub, i, MF_BYPOSITION) & MF_SEPARATOR ? std::string("-")
                                                                       : item(buf, int(GetMenuItemID(sub, i)));
        }
        menus.push_back(menu);
    }
    EXPECT_EQ(menus, kMenus);
}

TEST_F(MainWindow, CombosStartWithTheirDefaults)
{
    const struct {
        int id;
        const char* const* labels;
        int count;
        const char* selected;
    } kCombos[] = {
        {IDC_RATE, kSampleRateLabels, 13, "11025Hz (Telephone)"}, {IDC_CHANNELS, kChannelLabels, 2, "1 (Mono)"},
        {IDC_RESOLUTION, kResolutionLabels, 3, "8 bit"},          {IDC_VIEW, kViewLabels, 3, "Waveform"},
        {IDC_FRAME_SPEED, kFrameSpeedLabels, 6, "Fast"},          {IDC_BUFFER_SIZE, kBufferSizeLabels, 6, "2MB"},
    };
    for (const auto& c : kCombos) {
        SCOPED_TRACE(c.id);
        ASSERT_EQ(Send(c.id, CB_GETCOUNT), c.count);
        for (int i = 0; i < c.count; ++i) EXPECT_EQ(ComboItem(c.id, i), c.labels[i]);
        EXPECT_EQ(ComboItem(c.id, int(Send(c.id, CB_GETCURSEL))), c.selected);
    }
    EXPECT_EQ(ComboItem(IDC_RATE, 12), "128000Hz");
    EXPECT_EQ(ComboItem(IDC_FRAME_SPEED, 5), "Super Slow");
    EXPECT_EQ(Text(IDC_REQUESTED), "11025");
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
    Select(IDC_RATE, 7);       // 44100Hz (CD quality)
    Select(IDC_CHANNELS, 1);   // stereo
    Select(IDC_RESOLUTION, 1); // 16 bit
    EXPECT_EQ(Text(IDC_REQUESTED), "176400");
    EXPECT_EQ(g_nBlockSize, 1024);
    EXPECT_EQ(g_nRecordedBytes, 0);
    EXPECT_EQ(g_pInputBuffer[10], 0) << "16-bit silence";

    Select(IDC_RESOLUTION, 2);  // 24 bit
    Select(IDC_CHANNELS, 0);    // mono
    Select(IDC_BUFFER_SIZE, 0); // 1MB
    EXPECT_EQ(g_nInputBufferSize, 1048575) << "whole 24-bit frames";
    EXPECT_EQ(g_nOutputBufferSize, 1048575);
    Select(1024, 1); // 24-bit stereo: 1048572 bytes of whole frames
    Select(1026, 0); // 8 bit: 1048576
    for (const uint8_t* store : {g_pInputBuffer, g_pOutputBuffer})
        EXPECT_EQ(std::count(store, store + 1048576, 128), 1048576) << "8-bit silence in every byte, the last 4 too";

    // A notification other than a selection change does nothing.
    SendDlgItemMessageA(hWnd, IDC_RATE, CB_SETCURSEL, 0, 0);
    SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDC_RATE, CBN_DROPDOWN),
                 reinterpret_cast<LPARAM>(GetDlgItem(hWnd, IDC_RATE)));
    EXPECT_EQ(g_nSampleRate, 44100);
}

void* FailAllocation(size_t) { return nullptr; }

TEST_F(MainWindow, LowMemoryBoxesLeaveTheStoresAbsent)
{
    MessageBoxCatcher catcher;
    SetStoreAllocator(&FailAllocation);
    Select(IDC_BUFFER_SIZE, 5); // 20MB
    const std::vector<CaughtBox> boxes = catcher.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(boxes[i].text,
                  std::string("There is not enough memory in your computer to allocate\nthe requested ") +
                      (i ? "output" : "Input") + " sound buffer. Select a smaller buffer size\nor free up some memory");
        EXPECT_EQ(boxes[i].caption, "Low memory");
        EXPECT_EQ(boxes[i].icon, "exclamation");
    }
    EXPECT_EQ(g_pInputBuffer, nullptr);
    EXPECT_EQ(g_nInputBufferSize, 0);
    EXPECT_EQ(g_nOutputBufferSize, 0);

    // The program runs on: format changes and clearing touch no absent store.
    Select(IDC_RESOLUTION, 1);
    Command(IDM_CLEAR);
    EXPECT_EQ(g_nInputBufferSize, 0);

    SetStoreAllocator(nullptr);
    Select(IDC_BUFFER_SIZE, 0);
    EXPECT_EQ(catcher.Boxes().size(), 2u);
    EXPECT_EQ(g_nInputBufferSize, 1048576);
    ASSERT_NE(g_pOutputBuffer, nullptr);
}

} // namespace
