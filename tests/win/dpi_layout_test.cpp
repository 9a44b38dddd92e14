// The windows at the display's DPI: every label, caption and check-box text
// fits its control, the pictures keep their size against the text, and the
// display fills the main window. The end-to-end DisplayScale test runs this
// suite again at 144 DPI.
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

// The room (pixels) a control leaves its text and the DrawText format it
// draws it with; format 0 for a control that shows no text of its own.
struct TextRoom {
    int width = 0, height = 0;
    UINT format = DT_WORDBREAK | DT_EXPANDTABS;
};

TextRoom RoomFor(HWND control, HDC dc)
{
    RECT client;
    GetClientRect(control, &client);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    char cls[64] = "";
    GetClassNameA(control, cls, sizeof(cls));
    const LONG style = GetWindowLongA(control, GWL_STYLE), type = style & SS_TYPEMASK, kind = style & BS_TYPEMASK;
    TextRoom room = {client.right, client.bottom};
    if (std::string(cls) == "Static") {
        if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE)
            room.format = DT_SINGLELINE | DT_EXPANDTABS;
        else if (type > SS_RIGHT)
            return {0, 0, 0}; // a picture or a frame
        if (style & SS_NOPREFIX) room.format |= DT_NOPREFIX;
        return room;
    }
    if (std::string(cls) != "Button" || (style & (BS_ICON | BS_BITMAP))) return {0, 0, 0};
    if (!(style & BS_MULTILINE)) room.format = DT_SINGLELINE;
    if (kind == BS_GROUPBOX) // the caption breaks the frame's top edge, a character in from each corner
        return {int(client.right - 2 * tm.tmAveCharWidth), int(tm.tmHeight), DT_SINGLELINE};
    if ((kind >= BS_CHECKBOX && kind <= BS_AUTO3STATE) || kind == BS_AUTORADIOBUTTON) {
        int digit = tm.tmAveCharWidth; // the box, then half a digit's width before the text
        GetCharWidth32A(dc, '0', '0', &digit);
        room.width -= std::max<int>(GetSystemMetrics(SM_CXMENUCHECK), MulDiv(12, ScreenDpi(), 96) + 1) + digit / 2;
    } else {
        room.width -= 2 * (GetSystemMetrics(SM_CXEDGE) + 1); // a push button's edges
    }
    return room;
}

// Fails for each text of a dialog's controls that wraps onto a line the
// control does not show or runs past its edge, with what it needs and has.
void ExpectNoCutText(HWND dialog, const std::string& name)
{
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        char text[512] = "";
        GetWindowTextA(control, text, sizeof(text));
        HDC dc = GetDC(control);
        auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
        const TextRoom room = RoomFor(control, dc);
        RECT need = {0, 0, std::max(room.width, 1), 0};
        DrawTextA(dc, text, -1, &need, room.format | DT_CALCRECT);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        EXPECT_TRUE(!text[0] || !room.format || (need.right <= room.width && need.bottom <= room.height))
            << name << " control " << GetDlgCtrlID(control) << " \"" << text << "\": needs " << need.right << "x"
            << need.bottom << ", has " << room.width << "x" << room.height << " at " << ScreenDpi() << " DPI";
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
    // The main window and the About box with the texts they fill in, then
    // every other dialog template with the texts it holds.
    ExpectNoCutText(hWnd, "MIRRAVOX");
    MessageBoxCatcher about(IDOK, BoxThreads::ThisThread, [&](HWND box) { ExpectNoCutText(box, "ABOUTBOX"); });
    ShowAboutBox(hWnd);
    ASSERT_EQ(about.Boxes().size(), 1u);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    std::vector<std::string> names;
    EnumResourceNamesA(nullptr, RT_DIALOG, &AddName, reinterpret_cast<LONG_PTR>(&names));
    for (const std::string& name : names) {
        if (name == "MIRRAVOX" || name == "ABOUTBOX") continue;
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), name.c_str(), hWnd, &TemplateOnly, 0);
        ASSERT_NE(dialog, nullptr) << name << " cannot be created";
        ExpectNoCutText(dialog, name);
        DestroyWindow(dialog);
    }
}

TEST_F(DpiLayout, PicturesScaleWithTheScreen)
{
    // Drawn for 96 DPI: the IN badge 55 x 27 pixels, the OUT badge 86 x 27, the About picture 279 x 225.
    BITMAP held = {}, about = {};
    ASSERT_TRUE(GetObjectA(GetCurrentObject(g_hBitmap123DC, OBJ_BITMAP), sizeof(held), &held));
    MessageBoxCatcher inspect(IDOK, BoxThreads::ThisThread, [&](HWND box) {
        auto picture = SendDlgItemMessageA(box, IDC_ABOUT_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0);
        GetObjectA(reinterpret_cast<HBITMAP>(picture), sizeof(about), &about);
    });
    ShowAboutBox(hWnd);
    const std::vector<LONG> sizes = {g_InBadge.size.cx, g_InBadge.size.cy, g_OutBadge.size.cx, g_OutBadge.size.cy,
                                     held.bmWidth,      held.bmHeight,     about.bmWidth,      about.bmHeight};
    std::vector<LONG> expected;
    for (int at96 : {55, 27, 86, 27, 86, 27, 279, 225}) expected.push_back(MulDiv(at96, ScreenDpi(), 96));
    EXPECT_EQ(sizes, expected);
}

// Moved to a screen of another scale the window takes the suggested
// rectangle; the display fills the client area right of the amplitude
// slider, 8 pixels in, above the zoom trackbar and the scroll bar.
TEST_F(DpiLayout, MovedToAnotherScaleTheDisplayFillsTheSuggestedRectangle)
{
    ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    RECT suggested = {40, 30, 40 + 900, 30 + 700}, client, inside;
    SendMessageA(hWnd, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    const RECT now = WindowRect();
    EXPECT_TRUE(EqualRect(&suggested, &now)) << now.left << "," << now.top << " " << now.right << "," << now.bottom;
    GetClientRect(hWnd, &client);
    auto inClient = [&](HWND control) {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT display = inClient(g_hDisplayWnd), zoom = inClient(g_hHorzSlider), bar = inClient(g_hScrollBar);
    EXPECT_EQ((std::vector<LONG>{display.left, display.top, display.right, zoom.bottom, bar.bottom}),
              (std::vector<LONG>{inClient(g_hVertSlider).right + 8, 8, client.right - 8, client.bottom - 8,
                                 client.bottom - 8}));
    EXPECT_TRUE(display.bottom <= zoom.top && zoom.right <= bar.left && bar.right <= display.right);
    GetClientRect(g_hDisplayWnd, &inside);
    EXPECT_EQ(g_nDisplayWidth, inside.right);
    EXPECT_EQ(g_nDisplayHeight, inside.bottom);

    MINMAXINFO minmax = {};
    SendMessageA(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&minmax));
    EXPECT_EQ(minmax.ptMinTrackSize.x, 300);
    EXPECT_EQ(minmax.ptMinTrackSize.y, 390);
}

} // namespace
