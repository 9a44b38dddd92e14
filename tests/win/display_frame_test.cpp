// Real frames under Wine. The 1 kHz sine preset is played while recording
// through the PulseAudio null sink's monitor; the waveform surface must then
// show a green trace crossing its centre as often as one block of the tone
// does, the spectrum's highest point must sit in the column of 1 kHz, and both
// badges must be on the surfaces. The pictures are kept in the artefacts
// folder beside the test program. Skipped without a wave device.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/sound_commands_win.h"
#include "audio/sessions.h"
#include "audio/wave.h"
#include "devices/device_lists.h"
#include "display/fourier.h"
#include "display/frame_win.h"
#include "display/trackbar_scale.h"
#include "main_window_fixture.h"
#include "state/display_state.h"

#include <commctrl.h>

#include "platform/gdi_canvas_win.h"
#include "platform/sim_wave_device.h"
#include "platform/winmm_device_win.h"

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
    Pixels p;
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    p.width = info.bmWidth;
    p.height = info.bmHeight;
    p.data.resize(size_t(p.width) * size_t(p.height));
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = p.width;
    bi.bmiHeader.biHeight = -p.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    GetDIBits(dc, bitmap, 0, UINT(p.height), p.data.data(), &bi, DIB_RGB_COLORS);
    return p;
}

std::string ArtefactPath(const char* name)
{
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string dir(exe);
    dir = dir.substr(0, dir.find_last_of("\\/")) + "\\artefacts";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir + "\\" + name;
}

void SaveBmp(const Pixels& p, const char* name)
{
    FILE* f = std::fopen(ArtefactPath(name).c_str(), "wb");
    if (!f) return;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = p.width;
    ih.biHeight = -p.height;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = DWORD(fh.bfOffBits + p.data.size() * 4);
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    std::fwrite(p.data.data(), 4, p.data.size(), f);
    std::fclose(f);
}

// How long the loopback may take to bring the tone back, however loaded the
// machine (under Wine the monitor delivers nothing for its first 2 s).
constexpr DWORD kSoundDeadlineMs = 30000;

// Bytes captured so far by the running capture session.
int64_t CapturedBytes()
{
    const CWave* wave = g_pWaveIn.load();
    return wave != nullptr ? wave->m_nTotalIn.load() : 0;
}

// Whether the newest captured block (16-bit mono) is loud from end to end:
// the tone has come back through the loopback, and this block is not the
// one where it starts, nor one with a dropout.
bool NewestBlockIsLoudThroughout()
{
    const int samples = g_nBlockSize, pos = g_nInputPos, slices = 8;
    if (g_pInputBuffer == nullptr || CapturedBytes() < 2 * samples || pos + 2 * samples > g_nInputBufferSize)
        return false;
    for (int slice = 0; slice < slices; ++slice) { // each slice holds a few periods of 1 kHz
        int peak = 0;
        for (int i = slice * samples / slices; i < (slice + 1) * samples / slices; ++i) {
            const uint8_t* p = g_pInputBuffer + pos + 2 * i;
            peak = std::max(peak, std::abs(int(int16_t(uint16_t(p[0] | p[1] << 8)))));
        }
        if (peak < 32767 / 5) return false;
    }
    return true;
}

// Composes a frame once ready() holds and the newest captured block is loud
// from end to end, and again if a block came in meanwhile: the frame shows a
// block of the tone, not a gap where the loopback fell behind (Wine's
// playback does on a loaded machine).
bool ComposeFrameOfTheTone(const std::function<bool()>& ready)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kSoundDeadlineMs) {
        if (!PumpUntil([&] { return ready() && NewestBlockIsLoudThroughout(); }, kSoundDeadlineMs)) return false;
        const int64_t before = CapturedBytes();
        ComposeFrame(0);
        if (CapturedBytes() == before && NewestBlockIsLoudThroughout()) return true;
    }
    return false;
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

class DisplayFrame : public MainWindowFixture {
protected:
    void TearDown() override
    {
        MainWindowFixture::TearDown();
        g_bShowGrid = 1; // the start-up values, for the tests after these
        g_fAmplitudeScale = 0.9f;
        g_fViewZoom = 1.0f;
        g_nViewMode = 0;
    }
};

TEST_F(DisplayFrame, LoopbackSineShowsAsTraceSpectrumPeakAndBadges)
{
    SetWaveDeviceTable(WinmmWaveDeviceTable());
    if (waveInGetNumDevs() == 0 || waveOutGetNumDevs() == 0) GTEST_SKIP() << "no wave input or output device";
    ShowWindow(hWnd, SW_SHOWNORMAL);
    Select(IDC_RATE, 7);       // 44100 Hz
    Select(IDC_RESOLUTION, 1); // 16 bit, mono
    g_bShowGrid = 0;           // the labels are green too
    MessageBoxCatcher catcher(IDOK, BoxThreads::AnyThread);
    ASSERT_EQ(GeneratePresetTone(IDM_SINE_1K), ToneResult::Ok);
    StartPlayback(hWnd);
    StartRecording(hWnd);
    ASSERT_TRUE(g_bPlaying && g_bRecording);
    ASSERT_TRUE(ComposeFrameOfTheTone([] { return true; })) << "the tone did not come back";

    const int w = g_nDisplayWidth, band = g_nDisplayHeight / 2, centre = band / 2;
    const Pixels wave = Read(g_hWaveDC);
    SaveBmp(wave, "frame_waveform.bmp");
    // The trace's row in each column of the input band, left of the badge.
    int crossings = 0, side = 0, traced = 0;
    for (int x = 0; x < w - 100; ++x) {
        int sum = 0, count = 0;
        for (int y = 0; y < band; ++y)
            if (wave.At(x, y) == kGreen) sum += y, ++count;
        if (!count) continue;
        ++traced;
        const int now = sum / count < centre ? 1 : sum / count > centre ? -1 : 0;
        if (now && side && now != side) ++crossings;
        if (now) side = now;
    }
    // One block (1024 frames, 23.2 ms) spans the width at zoom 1: 23.2
    // periods, two crossings each, over the part left of the badge.
    const double expected = 2 * 1000.0 * 1024 / 44100 * (w - 100) / w;
    EXPECT_GT(traced, (w - 100) * 9 / 10) << "a green trace across the band";
    EXPECT_NEAR(crossings, expected, 3);
    EXPECT_TRUE(BadgeShown(wave, g_hBitmap122DC, g_InBadge.size, w - g_InBadge.size.cx - 5, 5, false));
    EXPECT_TRUE(BadgeShown(wave, g_hBitmap123DC, g_OutBadge.size, w - g_OutBadge.size.cx - 5, band + 5, false));

    Select(IDC_VIEW, 1); // Spectrum: transformed from the next block on
    const int64_t switched = CapturedBytes();
    ASSERT_TRUE(ComposeFrameOfTheTone([&] { return CapturedBytes() - switched >= 2 * g_nBlockSize * 2; }));
    const Pixels spectrum = Read(g_hSpectrumDC);
    SaveBmp(spectrum, "frame_spectrum.bmp");
    int peakX = -1, peakY = band;
    for (int x = 0; x < w - 100; ++x)
        for (int y = 0; y < peakY; ++y)
            if (spectrum.At(x, y) == kGreen) {
                peakX = x, peakY = y;
                break;
            }
    const float pxPerBin = float(w) / float(g_pInputFourier->m_nSize / 2);
    const double column = 1000.0 * g_pInputFourier->m_nSize / 44100 * pxPerBin;
    EXPECT_NEAR(peakX, column, pxPerBin + 1) << "the highest point lies in the column of 1 kHz";
    EXPECT_TRUE(BadgeShown(spectrum, g_hBitmap122DC, g_InBadge.size, w - g_InBadge.size.cx - 5, 5, true));
    EXPECT_TRUE(BadgeShown(spectrum, g_hBitmap123DC, g_OutBadge.size, w - g_OutBadge.size.cx - 5, band + 5, true));
    std::printf("[ measured ] %d crossings (expected %.1f), spectrum peak at x %d (1 kHz at %.1f)\n", crossings,
                expected, peakX, column);

    StopAll(hWnd);
    EXPECT_TRUE(catcher.Boxes().empty());
}

TEST_F(DisplayFrame, CombosAndTrackbarsSetTheViewSpeedScaleAndZoom)
{
    auto scrollBarShown = [] { return (GetWindowLongA(g_hScrollBar, GWL_STYLE) & WS_VISIBLE) != 0; };
    Select(IDC_VIEW, 1);
    EXPECT_EQ(g_nViewMode, 1);
    EXPECT_FALSE(scrollBarShown()) << "no scrolling in the spectrum view";
    Select(IDC_VIEW, 2);
    EXPECT_EQ(g_nViewMode, 2);
    EXPECT_TRUE(scrollBarShown());
    Select(IDC_FRAME_SPEED, 3);
    EXPECT_EQ(g_nFrameInterval, 200u);

    auto scroll = [this](UINT msg, HWND slider, int code, int position) {
        SendMessageA(hWnd, msg, MAKEWPARAM(code, WORD(short(position))), reinterpret_cast<LPARAM>(slider));
    };
    const struct {
        UINT msg;
        HWND slider;
        int code, position, thumb;
        float amplitude, zoom;
    } steps[] = {
        {WM_VSCROLL, g_hVertSlider, TB_THUMBTRACK, -3, 0, AmplitudeScaleAt(-3), 1.0f},
        {WM_VSCROLL, g_hVertSlider, TB_ENDTRACK, 0, -10, AmplitudeScaleAt(-10), 1.0f}, // read from the trackbar
        {WM_VSCROLL, g_hVertSlider, TB_LINEDOWN, 7, 7, AmplitudeScaleAt(-10), 1.0f},   // other codes change nothing
        {WM_HSCROLL, g_hHorzSlider, TB_THUMBTRACK, 50, 0, AmplitudeScaleAt(-10), 0.5f},
        {WM_HSCROLL, g_hHorzSlider, TB_ENDTRACK, 0, -90, AmplitudeScaleAt(-10), ViewZoomAt(-90)}};
    for (const auto& step : steps) {
        SendMessageA(step.slider, TBM_SETPOS, TRUE, step.thumb);
        scroll(step.msg, step.slider, step.code, step.position);
        EXPECT_EQ(g_fAmplitudeScale, step.amplitude) << step.code << " " << step.position;
        EXPECT_EQ(g_fViewZoom, step.zoom) << step.code << " " << step.position;
    }
    EXPECT_EQ(g_nSpectrumBins, int(g_nDisplayWidth / float(double(g_nDisplayWidth) / 1024 / double(ViewZoomAt(-90)))));
}

// The mean row of the green pixels in a column of the waveform surface.
double TraceRow(int x)
{
    const Pixels wave = Read(g_hWaveDC);
    int sum = 0, count = 0;
    for (int y = 0; y < wave.height; ++y)
        if (wave.At(x, y) == kGreen) sum += y, ++count;
    return count ? double(sum) / count : -1;
}

TEST_F(DisplayFrame, ScrollingAStoppedRecordingRedrawsIt)
{
    SimReset();
    SetWaveDeviceTable(SimWaveDeviceTable());
    ChooseDefaultDevices(); // the ids the start-up chose on winmm's lists mean nothing here
    SimSetStepped(true);
    g_bShowGrid = 0;
    // 8-bit mono blocks of 512 bytes, loud and quiet in turn.
    SimSetInputSignal([](uint8_t* data, uint32_t bytes, uint64_t offset) {
        std::memset(data, offset / bytes % 2 ? 228 : 28, bytes);
    });
    Command(IDC_RECORD);
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 20), 20);
    Command(IDC_STOP);
    ASSERT_TRUE(PumpUntil([] { return !CaptureSessionActive(); }, 5000));

    const int x = g_nDisplayWidth / 2, centre = g_nDisplayHeight / 2;
    const double before = TraceRow(x);
    SendMessageA(hWnd, WM_HSCROLL, SB_PAGELEFT, reinterpret_cast<LPARAM>(g_hScrollBar));
    const double after = TraceRow(x);
    ASSERT_GE(before, 0);
    ASSERT_GE(after, 0);
    EXPECT_TRUE((before - centre) * (after - centre) < 0)
        << "one block back the other level shows: rows " << before << " and " << after;
    EXPECT_EQ(SimReset(), 0);
}

// One PolylineTo draws the same pixels as one LineTo per point.
TEST(GdiCanvas, LinesToDrawsTheSamePixelsAsLineTo)
{
    HDC screen = GetDC(nullptr);
    std::vector<HDC> dcs;
    std::vector<HBITMAP> bitmaps;
    for (int i = 0; i < 2; ++i) {
        dcs.push_back(CreateCompatibleDC(screen));
        bitmaps.push_back(CreateCompatibleBitmap(screen, 400, 300));
        SelectObject(dcs.back(), bitmaps.back());
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
    int lit = 0;
    for (uint32_t v : a.data) lit += (v & 0xFFFFFF) == kGreen;
    EXPECT_GT(lit, 400);
    for (int i = 0; i < 2; ++i) {
        DeleteDC(dcs[size_t(i)]);
        DeleteObject(bitmaps[size_t(i)]);
    }
}

} // namespace
