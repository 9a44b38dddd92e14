// Frames on the real GDI surfaces, from the sound of the stepped simulated
// device: a sine shows as a green trace crossing the centre as often as one
// block of it does, the spectrum's highest point lies in the sine's column,
// and both badges are on the surfaces; scrolling a stopped recording redraws
// it; the combos and trackbars set the view; one PolylineTo draws what
// LineTo does.
#include <cmath>
#include <random>
#include <vector>

#include "display/fourier.h"
#include "display/frame_win.h"
#include "display/spectrum.h"
#include "display/trackbar_scale.h"
#include "platform/gdi_canvas_win.h"
#include "sim_window_fixture.h"
#include "state/display_state.h"

#include <commctrl.h>

namespace {

constexpr uint32_t kGreen = 0x00FF00; // as GetDIBits gives it: 0xRRGGBB

// The pixels of a memory context's bitmap, top row first.
struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> data;
    uint32_t At(int x, int y) const { return data[size_t(y) * size_t(width) + size_t(x)] & 0xFFFFFF; }
};

Pixels Read(HDC dc)
{
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    Pixels p{info.bmWidth, info.bmHeight, std::vector<uint32_t>(size_t(info.bmWidth) * size_t(info.bmHeight))};
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof bi.bmiHeader, p.width, -p.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(dc, bitmap, 0, UINT(p.height), p.data.data(), &bi, DIB_RGB_COLORS);
    return p;
}

// The mean row of the green pixels in column x between rows top and bottom, -1 without any.
double TraceRow(const Pixels& p, int x, int top, int bottom)
{
    int sum = 0, count = 0;
    for (int y = top; y < bottom; ++y)
        if (p.At(x, y) == kGreen) sum += y, ++count;
    return count ? double(sum) / count : -1;
}

// Whether the badge's pixels are on the surface at (x, y): copied exactly,
// or (ored) every badge bit set on the surface.
bool BadgeShown(const Pixels& surface, HDC badgeDc, SIZE size, int x, int y, bool ored)
{
    const Pixels badge = Read(badgeDc);
    int lit = 0;
    for (int by = 0; by < size.cy; ++by)
        for (int bx = 0; bx < size.cx; ++bx) {
            const uint32_t b = badge.At(bx, by), s = surface.At(x + bx, y + by);
            if (ored ? (s & b) != b : s != b) return false;
            lit += b != 0;
        }
    return lit > 20; // a black rectangle is not a badge
}

class DisplayFrame : public SimWindowFixture {
protected:
    void SetUp() override
    {
        SimWindowFixture::SetUp();
        g_bShowGrid = 0; // the grid's labels are green too
    }
    void TearDown() override
    {
        SimWindowFixture::TearDown();
        g_fAmplitudeScale = 0.9f; // the start-up values, for the tests after these
        g_fViewZoom = 1.0f;
        g_nViewMode = 0;
    }
};

TEST_F(DisplayFrame, SineShowsAsTraceSpectrumPeakAndBadges)
{
    // 8-bit mono at 11025 Hz: one block of 512 samples holds 20.5 periods of 441 Hz.
    constexpr double kHz = 441;
    SimSetInputSignal([](uint8_t* data, uint32_t bytes, uint64_t offset) {
        for (uint32_t i = 0; i < bytes; ++i)
            data[i] = uint8_t(128 + 100 * std::sin(2 * 3.14159265358979 * kHz * double(offset + i) / 11025));
    });
    Command(IDM_SINE_1K); // the output's band and badge below the input's
    Command(IDC_RECORD);
    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 2), 2);
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 2), 2);
    ComposeFrame(0);
    const int w = g_nDisplayWidth, band = g_nDisplayHeight / 2, centre = band / 2;
    const Pixels wave = Read(g_hWaveDC);
    int crossings = 0, side = 0, traced = 0;
    for (int x = 0; x < w - 100; ++x) { // left of the badge
        const double row = TraceRow(wave, x, 0, band);
        if (row < 0) continue;
        ++traced;
        const int now = row < centre ? 1 : row > centre ? -1 : 0;
        if (now && side && now != side) ++crossings;
        if (now) side = now;
    }
    // One block spans the width at zoom 1: two crossings a period.
    const double expected = 2 * kHz * kBlock / 11025 * (w - 100) / w;
    EXPECT_GT(traced, (w - 100) * 9 / 10) << "a green trace across the band";
    EXPECT_NEAR(crossings, expected, 3);
    EXPECT_TRUE(BadgeShown(wave, g_hBitmap122DC, g_InBadge.size, w - g_InBadge.size.cx - 5, 5, false));
    EXPECT_TRUE(BadgeShown(wave, g_hBitmap123DC, g_OutBadge.size, w - g_OutBadge.size.cx - 5, band + 5, false));

    Select(IDC_VIEW, 1); // Spectrum: transformed from the next block on
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 2), 2);
    ComposeFrame(0);
    const Pixels spectrum = Read(g_hSpectrumDC);
    int peakX = -1;
    for (int y = 0; y < band && peakX < 0; ++y)
        for (int x = 0; x < w - 100 && peakX < 0; ++x)
            if (spectrum.At(x, y) == kGreen) peakX = x;
    const float pxPerBin = float(w) / float(g_pInputFourier->m_nSize / 2);
    EXPECT_NEAR(peakX, kHz * g_pInputFourier->m_nSize / 11025 * pxPerBin, pxPerBin + 1) << "the sine's column";
    EXPECT_TRUE(BadgeShown(spectrum, g_hBitmap122DC, g_InBadge.size, w - g_InBadge.size.cx - 5, 5, true));
    EXPECT_TRUE(BadgeShown(spectrum, g_hBitmap123DC, g_OutBadge.size, w - g_OutBadge.size.cx - 5, band + 5, true));
}

TEST_F(DisplayFrame, ScrollingAStoppedRecordingRedrawsIt)
{
    // Blocks of 512 bytes, loud and quiet in turn.
    SimSetInputSignal([](uint8_t* data, uint32_t bytes, uint64_t offset) {
        std::memset(data, offset / bytes % 2 ? 228 : 28, bytes);
    });
    Command(IDC_RECORD);
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 20), 20);
    Command(IDC_STOP);
    const int x = g_nDisplayWidth / 2, h = g_nDisplayHeight, centre = h / 2;
    const double before = TraceRow(Read(g_hWaveDC), x, 0, h);
    SendMessageA(hWnd, WM_HSCROLL, SB_PAGELEFT, reinterpret_cast<LPARAM>(g_hScrollBar));
    const double after = TraceRow(Read(g_hWaveDC), x, 0, h);
    ASSERT_TRUE(before >= 0 && after >= 0);
    EXPECT_LT((before - centre) * (after - centre), 0)
        << "one block back the other level shows: rows " << before << " and " << after;
}

TEST_F(DisplayFrame, CombosAndTrackbarsSetTheViewSpeedScaleAndZoom)
{
    const auto scrollBarShown = [] { return (GetWindowLongA(g_hScrollBar, GWL_STYLE) & WS_VISIBLE) != 0; };
    Select(IDC_VIEW, 1);
    EXPECT_EQ(g_nViewMode, 1);
    EXPECT_FALSE(scrollBarShown()) << "no scrolling in the spectrum view";
    Select(IDC_VIEW, 2);
    EXPECT_EQ(g_nViewMode, 2);
    EXPECT_TRUE(scrollBarShown());
    Select(IDC_FRAME_SPEED, 3);
    EXPECT_EQ(g_nFrameInterval, 200u);

    const struct {
        UINT msg;
        HWND slider;
        int code, position, thumb;
        float amplitude, zoom;
    } kSteps[] = {
        {WM_VSCROLL, g_hVertSlider, TB_THUMBTRACK, -3, 0, AmplitudeScaleAt(-3), 1.0f},
        {WM_VSCROLL, g_hVertSlider, TB_ENDTRACK, 0, -10, AmplitudeScaleAt(-10), 1.0f}, // read from the trackbar
        {WM_VSCROLL, g_hVertSlider, TB_LINEDOWN, 7, 7, AmplitudeScaleAt(-10), 1.0f},   // other codes change nothing
        {WM_HSCROLL, g_hHorzSlider, TB_THUMBTRACK, 50, 0, AmplitudeScaleAt(-10), 0.5f},
        {WM_HSCROLL, g_hHorzSlider, TB_ENDTRACK, 0, -90, AmplitudeScaleAt(-10), ViewZoomAt(-90)}};
    for (const auto& step : kSteps) {
        SCOPED_TRACE(testing::Message() << step.code << " " << step.position);
        SendMessageA(step.slider, TBM_SETPOS, TRUE, step.thumb);
        SendMessageA(hWnd, step.msg, MAKEWPARAM(step.code, WORD(short(step.position))),
                     reinterpret_cast<LPARAM>(step.slider));
        EXPECT_EQ(g_fAmplitudeScale, step.amplitude);
        EXPECT_EQ(g_fViewZoom, step.zoom);
    }
    EXPECT_EQ(g_nSpectrumBins, SpectrumBins(g_nDisplayWidth, g_pInputFourier->m_nSize, ViewZoomAt(-90)));
}

// One PolylineTo draws the same pixels as one LineTo per point.
TEST(GdiCanvas, LinesToDrawsTheSamePixelsAsLineTo)
{
    HDC screen = GetDC(nullptr);
    HDC dcs[2];
    HBITMAP bitmaps[2];
    for (int i = 0; i < 2; ++i) {
        dcs[i] = CreateCompatibleDC(screen);
        bitmaps[i] = CreateCompatibleBitmap(screen, 400, 300);
        SelectObject(dcs[i], bitmaps[i]);
    }
    ReleaseDC(nullptr, screen);
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> y(-20, 320);
    std::vector<CanvasPoint> points;
    for (int x = 0; x < 400; ++x) points.push_back({x, y(rng)});
    {
        GdiCanvas one(dcs[0]), many(dcs[1]);
        for (GdiCanvas* c : {&one, &many}) {
            c->FillBlack(0, 0, 400, 300);
            c->SetClip(0, 0, 400, 200);
            c->SelectPen(CanvasColour(0, 255, 0));
            c->MoveTo(0, 150);
        }
        one.LinesTo(points.data(), int(points.size()));
        for (const CanvasPoint& p : points) many.LineTo(p.x, p.y);
    }
    const Pixels a = Read(dcs[0]), b = Read(dcs[1]);
    EXPECT_TRUE(a.data == b.data);
    EXPECT_GT(std::count_if(a.data.begin(), a.data.end(), [](uint32_t v) { return (v & 0xFFFFFF) == kGreen; }), 400);
    for (int i = 0; i < 2; ++i) DeleteDC(dcs[i]), DeleteObject(bitmaps[i]);
}

} // namespace
