// DrawOverlay: the overlay's lines drawn onto the overlay surface from the
// current state, then a frame shown. Window thread only, like the surface.
#include "display/overlay_win.h"

#include "display/cpu_load_monitor.h"
#include "display/fourier.h"
#include "display/frame_win.h"
#include "display/overlay_text.h"
#include "platform/gdi_canvas_win.h"
#include "state/app_state.h"
#include "state/win_state_win.h"

namespace {

OverlayState CurrentOverlayState()
{
    OverlayState s;
    s.showCpuLoad = g_bShowCpuLoad != 0;
    s.showAvgCpuLoad = g_bShowAvgCpuLoad != 0;
    s.showStatus = g_bShowStatus != 0;
    s.showFrameRate = g_bShowFrameRate != 0;
    s.showViewRange = g_bShowViewRange != 0;
    s.showPosition = g_bShowPosition != 0;
    s.cpuLoad = g_nCpuLoad;
    s.avgCpuLoad = g_fAvgCpuLoad;
    s.recording = g_bRecording != 0;
    s.playing = g_bPlaying != 0;
    s.frameInterval = g_nFrameInterval;
    s.viewMode = g_nViewMode;
    s.sampleRate = g_nSampleRate;
    s.channels = g_nChannels;
    s.bitsPerSample = g_nBitsPerSample;
    s.blockSize = g_nBlockSize;
    s.viewZoom = g_fViewZoom;
    if (g_pInputFourier) {
        s.analyserRate = g_pInputFourier->m_nSampleRate;
        s.analyserSize = g_pInputFourier->m_nSize;
    }
    s.spectrumBins = g_nSpectrumBins;
    s.viewPos = g_nViewPos;
    s.outputBytes = g_nOutputBytes;
    return s;
}

} // namespace

void DrawOverlay()
{
    // The format handling refreshes the overlay at start-up before the
    // surfaces exist.
    if (!g_hOverlayDC) return;
    GdiCanvas canvas(g_hOverlayDC, g_hFont);
    DrawOverlayLines(canvas, g_nOverlayWidth, g_nOverlayHeight, OverlayLines(CurrentOverlayState()), g_nLineHeight);
    PresentFrame();
}
