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

// The room (pixels) a control leaves its text and the DrawText format it
// draws it with; bShows is false for a control that shows no text of its own.
struct TextRoom {
    bool bShows = false;
    int width = 0, height = 0;
    UINT format = DT_WORDBREAK | DT_EXPANDTABS;
};

TextRoom RoomFor(HWND control, HDC dc)
{
    RECT client;
    GetClientRect(control, &client);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    const LONG style = GetWindowLongA(control, GWL_STYLE), type = style & SS_TYPEMASK;
    TextRoom room = {true, client.right, client.bottom};
    if (ClassOf(control) == "Static") {
        if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE) room.format = DT_SINGLELINE | DT_EXPANDTABS;
        if (type > SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP) return {}; // a picture or a frame
        if (style & SS_NOPREFIX) room.format |= DT_NOPREFIX;
        return room;
    }
    if (ClassOf(control) != "Button" || (style & (BS_ICON | BS_BITMAP))) return {};
    if (!(style & BS_MULTILINE)) room.format = DT_SINGLELINE;
    const LONG kind = style & BS_TYPEMASK;
    if (kind == BS_GROUPBOX) // the caption breaks the frame's top edge, a character in from each corner
        return {true, client.right - 2 * tm.tmAveCharWidth, tm.tmHeight, DT_SINGLELINE};
    if ((kind >= BS_CHECKBOX && kind <= BS_AUTO3STATE) || kind == BS_AUTORADIOBUTTON) {
        int digit = tm.tmAveCharWidth; // the box, then half a digit's width before the text
        GetCharWidth32A(dc, '0', '0', &digit);
        room.width -= std::max<int>(GetSystemMetrics(SM_CXMENUCHECK), MulDiv(12, ScreenDpi(), 96) + 1) + digit / 2;
    } else {
        room.width -= 2 * (GetSystemMetrics(SM_CXEDGE) + 1); // a push button's edges
    }
    return room;
}

// The texts of a dialog's controls that wrap onto a line the control does
// not show or run past its edge, each with what it needs and has.
void AddCutTexts(HWND dialog, const std::string& name, std::vector<std::string>* cut)
{
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        char text[512] = "";
        GetWindowTextA(control, text, sizeof(text));
        HDC dc = GetDC(control);
        auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
        const TextRoom room = RoomFor(control, dc);
        RECT need = {0, 0, std::max(room.width, 1), 0}, line = {0, 0, 1, 0};
        DrawTextA(dc, text, -1, &need, room.format | DT_CALCRECT);
        DrawTextA(dc, text, -1, &line, (room.format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_CALCRECT);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        if (text[0] && room.bShows && (need.right > room.width || need.bottom > room.height))
            cut->push_back(name + " control " + std::to_string(GetDlgCtrlID(control)) + " \"" + text + "\": needs " +
                           std::to_string(need.right) + "x" + std::to_string(need.bottom) + ", has " +
                           std::to_string(room.width) + "x" + std::to_string(room.height) +
                           " (one line: " + std::to_string(line.right) + "x" + std::to_string(line.bottom) + ")");
    }
}

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names)
{
    if (!IS_INTRESOURCE(name)) reinterpret_cast<std::vector<std::string>*>(names)->push_back(name);
    return TRUE;
}

INT_PTR CALLBACK TemplateOnly(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

TEST_F(DpiLayout, NoLabelIsCut)
{
    // The main window and the About box with the texts they fill in.
    std::vector<std::string> cut;
    AddCutTexts(hWnd, "MIRRAVOX", &cut);
    {
        MessageBoxCatcher about(IDOK, BoxThreads::ThisThread, [&](HWND box) { AddCutTexts(box, "ABOUTBOX", &cut); });
        ShowAboutBox(hWnd);
        ASSERT_EQ(about.Boxes().size(), 1u);
    }

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
        AddCutTexts(dialog, name, &cut);
        DestroyWindow(dialog);
    }
    for (const std::string& c : cut) ADD_FAILURE() << c << " at " << ScreenDpi() << " DPI";
}

TEST_F(DpiLayout, PicturesScaleWithTheScreen)
{
    // Drawn for 96 DPI: the IN badge 55 x 27 pixels, the OUT badge 86 x 27, the About picture 279 x 225.
    BITMAP held = {}, about = {};
    ASSERT_TRUE(GetObjectA(GetCurrentObject(g_hBitmap123DC, OBJ_BITMAP), sizeof(held), &held));
    MessageBoxCatcher inspect(IDOK, BoxThreads::ThisThread, [&](HWND box) {
        GetObjectA(
            reinterpret_cast<HBITMAP>(SendDlgItemMessageA(box, IDC_ABOUT_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0)),
            sizeof(about), &about);
    });
    ShowAboutBox(hWnd);
    const std::vector<LONG> sizes = {g_InBadge.size.cx, g_InBadge.size.cy, g_OutBadge.size.cx, g_OutBadge.size.cy,
                                     held.bmWidth,      held.bmHeight,     about.bmWidth,      about.bmHeight};
    std::vector<LONG> expected;
    for (int at96 : {55, 27, 86, 27, 86, 27, 279, 225}) expected.push_back(MulDiv(at96, ScreenDpi(), 96));
    EXPECT_EQ(sizes, expected);
}

TEST_F(DpiLayout, MovedToAScreenOfAnotherScaleTakesTheSuggestedRectangle)
{
    ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    RECT suggested = {40, 30, 40 + 900, 30 + 700}, client, display;
    SendMessageA(hWnd, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    const RECT now = WindowRect();
    EXPECT_TRUE(EqualRect(&suggested, &now)) << now.left << "," << now.top << " " << now.right << "," << now.bottom;
    // The display is laid out again in the new size: 8 pixels from the right.
    GetClientRect(hWnd, &client);
    GetWindowRect(GetDlgItem(hWnd, IDC_DISPLAY), &display);
    MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&display), 2);
    EXPECT_EQ(display.right, client.right - 8);
}

} // namespace
