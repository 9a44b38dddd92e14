#include "display/spectrum.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "display/fourier.h"
#include "platform/sync.h"

namespace {

int FrequencyStep(int fMax)
{
    if (fMax > 100000) return 20000;
    if (fMax > 50000) return 10000;
    if (fMax > 25000) return 5000;
    if (fMax > 12500) return 2500;
    if (fMax > 6250) return 1250;
    if (fMax > 3125) return 625;
    if (fMax > 1500) return 300;
    return 150;
}

void DrawGrid(Canvas& c, const SpectrumState& state, const CFourier& a, float dbScale, int height, int width, int x0,
              int y0)
{
    char text[32];
    c.SelectPen(kGridGreen);
    c.BeginText(kTraceGreen);
    const int n = a.m_nSize;
    const int fMax = state.spectrumBins < n ? a.m_nSampleRate * state.spectrumBins / n : 0;
    if (fMax > 0) { // no sample rate yet: no frequency lines
        const float pxPerHz = float(width) / float(fMax);
        const int step = FrequencyStep(fMax);
        const int spacing = int(float(step) * pxPerHz);
        for (int k = 1; k <= 9 && float(k) * pxPerHz * float(step) <= float(width + x0); ++k) {
            const int x = k * spacing;
            std::snprintf(text, sizeof text, "%dHz", k * step);
            c.Text(x0 + x - 10, y0, text);
            c.MoveTo(x0 + x, y0 + 15);
            c.LineTo(x0 + x, y0 + height);
        }
    }
    for (int level = 10; level <= 200 && float(level) * dbScale <= float(y0 + height); level += 10) {
        const int y = y0 + height - int(float(level) * dbScale);
        std::snprintf(text, sizeof text, "%ddB", level);
        c.Text(x0, y - 7, text);
        c.MoveTo(x0 + 30, y);
        c.LineTo(x0 + width, y);
    }
    c.EndText();
}

} // namespace

int SpectrumBins(int width, int points, float viewZoom)
{
    const int halfPoints = points / 2;
    if (halfPoints <= 0 || viewZoom == 0.0f) return 0;
    const float step = float(double(width) / halfPoints / double(viewZoom));
    if (step == 0.0f) return 0;
    return int(float(width) / step);
}

void DrawSpectrum(const ViewTarget& target, const SpectrumState& state, const CFourier& a, int height, int width,
                  int x0, int y0)
{
    if (!target.canvas) return;
    if (target.paintLock && !SyncLockWait(target.paintLock, kSpectrumLockWaitMs)) return;
    Canvas& c = *target.canvas;
    c.FillBlack(x0, y0, width, height);

    const int n = a.m_nSize;
    const float pxPerBin = float(width) / float(n / 2) / state.view.viewZoom;
    const int base = height - 5;
    const float dbScale = float(double(base) * state.view.amplitudeScale / 200.0);
    if (state.view.showGrid) DrawGrid(c, state, a, dbScale, height, width, x0, y0);

    c.SelectPen(kTraceGreen);
    c.MoveTo(0, y0 + height);
    if (state.displayWidth > 0 && pxPerBin > 0.0f) {
        std::vector<CanvasPoint> points;
        float x = 0.0f;
        for (int j = 0; j < n && x < float(state.displayWidth); ++j) {
            const FourierComplex& X = a.m_pData[j];
            const float power = X.re * X.re + X.im * X.im;
            const float m = std::sqrt(power) / a.m_fNorm;
            const float v = std::log(m / 100.0f + 1.0f);
            points.push_back({int(x), y0 + base - int(v * 20.0f * dbScale)});
            x = x + pxPerBin;
        }
        c.LinesTo(points.data(), int(points.size()));
    }
    if (target.paintLock) SyncUnlock(target.paintLock);
}
