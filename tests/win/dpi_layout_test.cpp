// The dialogs at the display's DPI: every label, caption and check-box text
// fits its control, and the display's badges keep their size against its
// text. The end-to-end DisplayScale test runs this suite again at 144 DPI.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/about_box_win.h"
#include "main_window_fixture.h"

namespace {

using DpiLayout = MainWindowFixture;

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

std::string ClassOf(HWND window)
{
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof(cls));
    return cls;
}

// The room (pixels) a control leaves its text, and the DrawText format it
// draws it with; bShows is false for a control that shows no text of its own.
struct TextRoom {
    bool bShows = false;
    int width = 0, height = 0;
    UINT format = 0;
};

TextRoom RoomFor(HWND control, HDC dc)
{
    RECT client;
    GetClientRect(control, &client);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const std::string cls = ClassOf(control);
    TextRoom room = {true, client.right, client.bottom, DT_WORDBREAK | DT_EXPANDTABS};
    if (cls == "Static") {
        const LONG type = style & SS_TYPEMASK;
        if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE)
            room.format = DT_SINGLELINE | DT_EXPANDTABS;
        else if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT)
            room.bShows = false; // a picture or a frame
        if (style & SS_NOPREFIX) room.format |= DT_NOPREFIX;
        return room;
    }
    if (cls != "Button" || (style & (BS_ICON | BS_BITMAP))) return {};
    if (!(style & BS_MULTILINE)) room.format = DT_SINGLELINE;
    switch (style & BS_TYPEMASK) {
    case BS_GROUPBOX:
        // The caption breaks the frame's top edge, a character in from each corner.
        room.width -= 2 * tm.tmAveCharWidth;
        room.height = tm.tmHeight;
        room.format = DT_SINGLELINE;
        break;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE: {
        // The box, then half a digit's width before the text.
        const int box = std::max<int>(GetSystemMetrics(SM_CXMENUCHECK), MulDiv(12, ScreenDpi(), 96) + 1);
        int digit = tm.tmAveCharWidth;
        GetCharWidth32A(dc, '0', '0', &digit);
        room.width -= box + digit / 2;
        break;
    }
    default: room.width -= 2 * (GetSystemMetrics(SM_CXEDGE) + 1); break; // a push button's edges
    }
    return room;
}

// The texts of a dialog's controls that wrap onto a line the control does
// not show or run past its edge, each with what it needs and has.
std::vector<std::string> CutTexts(HWND dialog, const std::string& name)
{
    std::vector<std::string> cut;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        char text[512] = "";
        GetWindowTextA(control, text, sizeof(text));
        if (!text[0]) continue;
        HDC dc = GetDC(control);
        auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
        const TextRoom room = RoomFor(control, dc);
        RECT need = {0, 0, std::max(room.width, 1), 0}, line = {0, 0, 1, 0};
        DrawTextA(dc, text, -1, &need, room.format | DT_CALCRECT);
        DrawTextA(dc, text, -1, &line, (room.format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_CALCRECT);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        if (room.bShows && (need.right > room.width || need.bottom > room.height))
            cut.push_back(name + " control " + std::to_string(GetDlgCtrlID(control)) + " \"" + text + "\": needs " +
                          std::to_string(need.right) + "x" + std::to_string(need.bottom) + ", has " +
                          std::to_string(room.width) + "x" + std::to_string(room.height) +
                          " (one line: " + std::to_string(line.right) + "x" + std::to_string(line.bottom) + ")");
    }
    return cut;
}

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names)
{
    if (!IS_INTRESOURCE(name)) reinterpret_cast<std::vector<std::string>*>(names)->push_back(name);
    return TRUE;
}

INT_PTR CALLBACK TemplateOnly(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

TEST_F(DpiLayout, NoLabelIsCut)
{
    const std::string at = " at " + std::to_string(ScreenDpi()) + " DPI";
    // The main window and the About box with the texts they fill in.
    std::vector<std::string> cut = CutTexts(hWnd, "MIRRAVOX");
    MessageBoxCatcher about(IDOK, BoxThreads::ThisThread, [&](HWND box) {
        for (const std::string& c : CutTexts(box, "ABOUTBOX")) cut.push_back(c);
    });
    ShowAboutBox(hWnd);
    ASSERT_EQ(about.Boxes().size(), 1u);

    // Every other dialog template with the texts it holds.
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    std::vector<std::string> names;
    EnumResourceNamesA(nullptr, RT_DIALOG, &AddName, reinterpret_cast<LONG_PTR>(&names));
    for (const std::string& name : names) {
        if (name == "MIRRAVOX" || name == "ABOUTBOX") continue;
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), name.c_str(), hWnd, &TemplateOnly, 0);
        EXPECT_NE(dialog, nullptr) << name << " cannot be created";
        if (!dialog) continue;
        for (const std::string& c : CutTexts(dialog, name)) cut.push_back(c);
        DestroyWindow(dialog);
    }
    for (const std::string& c : cut) ADD_FAILURE() << c << at;
}

TEST_F(DpiLayout, PicturesScaleWithTheScreen)
{
    // Drawn for 96 DPI: the IN badge 55 x 27 pixels, the OUT badge 86 x 27,
    // the About picture 279 x 225.
    const int dpi = ScreenDpi();
    EXPECT_EQ(g_InBadge.size.cx, MulDiv(55, dpi, 96));
    EXPECT_EQ(g_InBadge.size.cy, MulDiv(27, dpi, 96));
    EXPECT_EQ(g_OutBadge.size.cx, MulDiv(86, dpi, 96));
    BITMAP held = {};
    ASSERT_TRUE(GetObjectA(GetCurrentObject(g_hBitmap123DC, OBJ_BITMAP), sizeof(held), &held));
    EXPECT_EQ(held.bmWidth, g_OutBadge.size.cx);
    EXPECT_EQ(held.bmHeight, g_OutBadge.size.cy);

    BITMAP picture = {};
    MessageBoxCatcher about(IDOK, BoxThreads::ThisThread, [&](HWND box) {
        auto shown =
            reinterpret_cast<HBITMAP>(SendDlgItemMessageA(box, IDC_ABOUT_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
        GetObjectA(shown, sizeof(picture), &picture);
    });
    ShowAboutBox(hWnd);
    EXPECT_EQ(picture.bmWidth, MulDiv(279, dpi, 96));
    EXPECT_EQ(picture.bmHeight, MulDiv(225, dpi, 96));
}

TEST_F(DpiLayout, MovedToAScreenOfAnotherScaleTakesTheSuggestedRectangle)
{
    ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    RECT suggested = {40, 30, 40 + 900, 30 + 700};
    SendMessageA(hWnd, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    const RECT now = WindowRect();
    EXPECT_EQ(now.left, suggested.left);
    EXPECT_EQ(now.top, suggested.top);
    EXPECT_EQ(now.right, suggested.right);
    EXPECT_EQ(now.bottom, suggested.bottom);
    // The display is laid out again in the new size: 8 pixels from the right.
    RECT client, display;
    GetClientRect(hWnd, &client);
    GetWindowRect(GetDlgItem(hWnd, IDC_DISPLAY), &display);
    MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&display), 2);
    EXPECT_EQ(display.right, client.right - 8);
}

} // namespace
