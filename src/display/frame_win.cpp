// The display's surfaces and frames. The views draw through GdiCanvas on the
// waveform and spectrum surfaces; the paint lock ("WIN_SIZE_PAINT") guards
// the surfaces against the device threads that transform into the analysers.
#include "display/frame_win.h"

#include <commctrl.h>

#include <memory>

#include "display/fourier.h"
#include "display/overlay_win.h"
#include "display/spectrum.h"
#include "display/trackbar_scale.h"
#include "display/view_choice.h"
#include "display/view_settings.h"
#include "display/waveform.h"
#include "platform/gdi_canvas_win.h"
#include "platform/sync.h"
#include "resource.h"
#include "shell/combo_tables_win.h"
#include "state/display_state.h"
#include "state/session_state.h"
#include "state/sound_format.h"
#include "state/stores.h"
#include "state/win_state_win.h"

HDC g_hWaveDC = nullptr;
HDC g_hSpectrumDC = nullptr;
HDC g_hComposeDC = nullptr;
HDC g_hOverlayDC = nullptr;
int g_nOverlayWidth = 0;
int g_nOverlayHeight = 0;

namespace {

struct Surface {
    explicit Surface(HDC* context) : dc(context) {}
    HDC* dc;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    std::unique_ptr<GdiCanvas> canvas;

    void Create(HDC window, int width, int height)
    {
        *dc = CreateCompatibleDC(window);
        bitmap = CreateCompatibleBitmap(window, width, height);
        oldBitmap = SelectObject(*dc, bitmap);
        canvas.reset(new GdiCanvas(*dc));
    }
    void Delete()
    {
        canvas.reset(); // selects the context's own pen back
        if (*dc && oldBitmap) SelectObject(*dc, oldBitmap);
        if (bitmap) DeleteObject(bitmap);
        if (*dc) DeleteDC(*dc);
        *dc = nullptr;
        bitmap = nullptr;
        oldBitmap = nullptr;
    }
};

Surface g_Wave(&g_hWaveDC);
Surface g_Spectrum(&g_hSpectrumDC);
Surface g_Compose(&g_hComposeDC);
Surface g_Overlay(&g_hOverlayDC);

// Opened once and kept for the process: the device threads use it too.
SyncLock* PaintLock()
{
    if (!g_pPaintLock) g_pPaintLock = SyncOpenNamedLock("WIN_SIZE_PAINT");
    return g_pPaintLock;
}

struct ViewBadge {
    HDC dc;
    SIZE size;
};

ViewBadge BadgeOf(int source)
{
    return source == kViewInput ? ViewBadge{g_hBitmap122DC, g_InBadge.size}
                                : ViewBadge{g_hBitmap123DC, g_OutBadge.size};
}

WaveformSource WaveSourceOf(int source)
{
    if (source == kViewInput)
        return {g_pInputBuffer, g_nRecordedBytes.load(std::memory_order_relaxed), g_nInputBufferSize,
                &g_nInputTriggerPos};
    return {g_pOutputBuffer, g_nOutputBytes.load(std::memory_order_relaxed), g_nOutputBufferSize, &g_nOutputTriggerPos};
}

ViewSettings CurrentViewSettings() { return {g_fAmplitudeScale, g_fViewZoom, g_bShowGrid != 0}; }

void DrawView(int source, int position, int band, int top, int mode)
{
    const int width = g_nDisplayWidth;
    const bool spectrum = g_nViewMode == 1;
    Surface& s = spectrum ? g_Spectrum : g_Wave;
    s.canvas->SetFont(g_hFont);
    s.canvas->SetClip(0, top, width, top + band);
    const ViewTarget target{s.canvas.get(), PaintLock()};
    if (spectrum) {
        const CFourier* analyser = source == kViewInput ? g_pInputFourier : g_pOutputFourier;
        SpectrumState state;
        state.view = CurrentViewSettings();
        state.spectrumBins = g_nSpectrumBins;
        state.displayWidth = g_nDisplayWidth;
        if (analyser) DrawSpectrum(target, state, *analyser, band, width, 0, top);
    } else {
        WaveformState state;
        state.format = {g_nBitsPerSample, g_nChannels, g_nBlockSize, g_nSampleRate};
        state.view = CurrentViewSettings();
        state.trigger = g_bTrigger != 0;
        state.running = g_bRecording || g_bPlaying;
        DrawWaveform(target, state, WaveSourceOf(source), position, band, width, 0, top, mode);
    }
    const ViewBadge badge = BadgeOf(source);
    if (badge.dc) {
        GdiCanvas from(badge.dc);
        s.canvas->Blit(width - badge.size.cx - 5, top + 5, badge.size.cx, badge.size.cy, from, 0, 0,
                       spectrum ? BlitOp::Or : BlitOp::Copy);
    }
}

} // namespace

void CreateViewSurfaces()
{
    SyncLock* lock = PaintLock();
    if (!SyncLockWait(lock, kResizeLockWaitMs)) return; // the old surfaces stay
    for (Surface* s : {&g_Wave, &g_Spectrum, &g_Compose}) s->Delete();
    HDC window = GetWindowDC(g_hDisplayWnd);
    for (Surface* s : {&g_Wave, &g_Spectrum, &g_Compose}) s->Create(window, g_nDisplayWidth, g_nDisplayHeight);
    ReleaseDC(g_hDisplayWnd, window);
    SyncUnlock(lock);
    ComposeFrame(0);
}

void CreateOverlaySurface()
{
    g_Overlay.Delete();
    HDC window = GetWindowDC(g_hDisplayWnd);
    HDC probe = CreateCompatibleDC(window);
    HGDIOBJ oldFont = SelectObject(probe, g_hFont);
    SIZE text = {0, 0};
    static const char kWidest[] = "Status: Playback & RecordingX";
    GetTextExtentPoint32A(probe, kWidest, int(sizeof kWidest - 1), &text);
    SelectObject(probe, oldFont);
    DeleteDC(probe);
    g_nOverlayWidth = text.cx + 40;
    g_nOverlayHeight = 7 * g_nLineHeight;
    g_Overlay.Create(window, g_nOverlayWidth, g_nOverlayHeight);
    ReleaseDC(g_hDisplayWnd, window);
    g_Overlay.canvas->FillBlack(0, 0, g_nOverlayWidth, g_nOverlayHeight);
}

void DeleteSurfaces()
{
    for (Surface* s : {&g_Wave, &g_Spectrum, &g_Compose, &g_Overlay}) s->Delete();
}

void ComposeFrame(int mode)
{
    if (!g_hWaveDC || !g_hSpectrumDC) return;
    ViewChoiceInputs in;
    in.displaySource = g_nDisplaySource;
    in.recording = g_bRecording != 0;
    in.playing = g_bPlaying != 0;
    in.lastDisplayed = g_nLastDisplayed;
    in.inputPos = g_nInputPos.load(std::memory_order_relaxed);
    in.outputPos = g_nOutputPos.load(std::memory_order_relaxed);
    in.inputWrapped = g_bInputWrapped.load(std::memory_order_relaxed) != 0;
    in.blockBytes = BlockBytes();
    const ViewChoice choice = ChooseViews(in);
    if (!FrameDrawable(choice, g_pInputBuffer != nullptr, g_pOutputBuffer != nullptr, g_pInputFourier != nullptr,
                       g_pOutputFourier != nullptr))
        return;
    if (g_nViewMode != 2) {
        const int band = ViewHeight(choice, g_nDisplayHeight);
        for (int i = 0; i < choice.count; ++i)
            DrawView(choice.views[i].source, choice.views[i].position, band, i * band, mode);
    }
    g_nLastDisplayed = choice.arrangement;
}

void PresentFrame()
{
    if (!g_hComposeDC || !g_hOverlayDC) return;
    SyncLock* lock = PaintLock();
    if (!SyncLockWait(lock, 0)) return; // this frame is not shown
    HDC window = GetWindowDC(g_hDisplayWnd);
    const int w = g_nDisplayWidth, h = g_nDisplayHeight;
    GdiCanvas& compose = *g_Compose.canvas;
    if (g_nViewMode == 2) {
        compose.Blit(0, 0, g_nOverlayWidth, g_nOverlayHeight, *g_Overlay.canvas, 0, 0, BlitOp::Copy);
    } else {
        compose.Blit(0, 0, w, h, g_nViewMode == 1 ? *g_Spectrum.canvas : *g_Wave.canvas, 0, 0, BlitOp::Copy);
        compose.Blit(0, 0, g_nOverlayWidth, g_nOverlayHeight, *g_Overlay.canvas, 0, 0, BlitOp::Or);
    }
    BitBlt(window, 0, 0, w, h, g_hComposeDC, 0, 0, SRCCOPY);
    ReleaseDC(g_hDisplayWnd, window);
    SyncUnlock(lock);
}

void UpdateSpectrumRange()
{
    if (g_pInputFourier) g_nSpectrumBins = SpectrumBins(g_nDisplayWidth, g_pInputFourier->m_nSize, g_fViewZoom);
}

void ApplyViewAndSpeed(HWND hWnd)
{
    g_nFrameInterval = static_cast<uint32_t>(FrameIntervalAt(SelectedIndex(hWnd, IDC_FRAME_SPEED)));
    if (g_bRecording || g_bPlaying) {
        KillTimer(hWnd, kRedrawTimerId);
        SetTimer(hWnd, kRedrawTimerId, g_nFrameInterval, nullptr);
    }
    g_nViewMode = SelectedIndex(hWnd, IDC_VIEW);
    UpdateSpectrumRange();
    DrawOverlay();
    PresentFrame();
    ShowWindow(g_hScrollBar, g_nViewMode == 1 ? SW_HIDE : SW_SHOW);
}

void OnSliderScroll(HWND, HWND control, int code, int position)
{
    if (code == TB_THUMBTRACK || code == TB_ENDTRACK) {
        if (code == TB_ENDTRACK) position = static_cast<short>(SendMessageA(control, TBM_GETPOS, 0, 0));
        if (control == g_hVertSlider)
            g_fAmplitudeScale = AmplitudeScaleAt(position);
        else if (control == g_hHorzSlider)
            g_fViewZoom = ViewZoomAt(position);
    }
    UpdateSpectrumRange();
    DrawOverlay();
    ComposeFrame(g_bRecording || g_bPlaying ? 0 : 1);
    // While idle no timer presents frames: show this one now, or the picture
    // would not follow the trackbar until the window is next painted.
    if (!g_bRecording && !g_bPlaying) PresentFrame();
}
