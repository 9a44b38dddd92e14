#include "display/waveform.h"

#include <cstdio>
#include <vector>

#include "display/samples.h"
#include "platform/sync.h"

namespace {

// Grid step (a quarter of full scale) and pixels per sample unit.
struct AmplitudeAxis {
    int gridStep;
    float scale;
};

AmplitudeAxis AxisFor(int bits, int height, float amplitudeScale)
{
    const int mid = height / 2;
    switch (bits) {
    case 8: // the whole band for 255 steps
        return {32, float(double(height) * amplitudeScale / 255.0)};
    case 24: return {1 << 21, float(double(mid) * amplitudeScale / double(1 << 23))};
    default: return {8192, float(double(mid) * amplitudeScale / 32768.0)};
    }
}

int Wrap(int64_t offset, int length)
{
    int64_t r = offset % length;
    return int(r < 0 ? r + length : r);
}

void DrawGrid(Canvas& c, const WaveformState& state, const AmplitudeAxis& axis, int height, int width, int x0, int y0)
{
    const int centre = y0 + height / 2;
    char text[32];
    c.SelectPen(kGridGreen);
    c.BeginText(kTraceGreen);
    for (int sign : {1, -1}) { // the lower half is the negative one
        for (int k = 1; k <= 4; ++k) {
            const int dy = int(float(k * axis.gridStep) * axis.scale);
            const int y = centre + sign * dy;
            c.MoveTo(x0 + 30, y);
            c.LineTo(x0 + width, y);
            std::snprintf(text, sizeof text, sign > 0 ? "-%d%%" : "+%d%%", 25 * k);
            c.Text(x0, y - 5, text);
        }
    }
    const PcmFormat& f = state.format;
    if (f.sampleRate > 0) {
        const float span = float(f.blockSize) / float(f.sampleRate) * 1000.0f * state.view.viewZoom;
        const float px = float(width) / span;
        const int tick = span > 100 ? 20 : span > 50 ? 10 : span > 25 ? 5 : span > 10 ? 2 : 1;
        const int d = int(float(tick) * px);
        for (int k = 1; k <= 13; ++k) {
            const int x = x0 + k * d;
            c.MoveTo(x, y0);
            c.LineTo(x, y0 + height - 15);
            std::snprintf(text, sizeof text, "%dMS", k * tick);
            c.Text(x - 10, y0 + height - 15, text);
        }
    }
    c.EndText();
}

// Moves the anchor to the newest rising zero crossing of channel 0 once the
// data has run more than one screen past it, and returns where to start.
int TriggerStart(const WaveformState& state, const WaveformSource& src, int start, int shown, int length)
{
    const PcmFormat& f = state.format;
    int& anchor = *src.anchor;
    int64_t p = start;
    if (p > length) p -= length;
    while (p < anchor) p += length;
    p = SampleOffset(int(p), f.bits, f.channels, 0);
    if (p - anchor <= shown) return anchor;

    int prev = 0;
    for (int64_t q = p; q > p - f.sampleRate; --q) {
        const int s = ReadSample(SampleOffset(Wrap(q, length), f.bits, f.channels, 0), src.store, f.bits);
        if (prev > 0 && s <= 0) {
            const int64_t at = prev < -s ? q + 1 : q; // the sample nearer zero
            anchor = SampleOffset(Wrap(at, length), f.bits, f.channels, 0);
            return anchor;
        }
        prev = s;
    }
    return anchor; // silence: the picture stays where it was
}

void DrawTrace(Canvas& c, const WaveformState& state, const WaveformSource& src, int channel, int start, int shown,
               int length, int mode, float scale, int width, int x0, int centre, std::vector<CanvasPoint>& points)
{
    const PcmFormat& f = state.format;
    points.clear();
    for (int i = 0; i < width; ++i) {
        int64_t offset = start + int64_t(i) * shown / width;
        if (length <= 0) {
            offset = 0;
        } else if (mode == kWaveStored) {
            if (offset < 0) continue; // before the store's start: nothing to show
            offset %= length;
        } else {
            offset = Wrap(offset, length);
        }
        const int s = ReadSample(SampleOffset(int(offset), f.bits, f.channels, channel), src.store, f.bits);
        points.push_back({x0 + i, centre - int(float(s) * scale)});
    }
    c.MoveTo(x0, centre);
    c.LinesTo(points.data(), int(points.size()));
}

} // namespace

void DrawWaveform(const ViewTarget& target, const WaveformState& state, const WaveformSource& source, int position,
                  int height, int width, int x0, int y0, int mode)
{
    const PcmFormat& f = state.format;
    const int frame = f.bits / 8 * f.channels;
    if (!target.canvas || !source.store || frame <= 0 || width <= 0) return;
    if (target.paintLock && !SyncLockWait(target.paintLock, 0)) return;

    Canvas& c = *target.canvas;
    c.FillBlack(x0, y0, width, height);
    const int block = f.blockSize * frame;
    const int shown = int(float(block) * state.view.viewZoom);
    const AmplitudeAxis axis = AxisFor(f.bits, height, state.view.amplitudeScale);
    if (state.view.showGrid) DrawGrid(c, state, axis, height, width, x0, y0);

    const CanvasRgb oldPen = c.SelectPen(kTraceGreen);
    const int length = mode == kWaveStored ? source.storeSize : source.filledBytes;
    const int d = block - shown;
    int start = position + d + d % frame;
    if (length != 0 && state.trigger && state.running && source.anchor)
        start = TriggerStart(state, source, start, shown, length);

    const int centre = y0 + height / 2;
    std::vector<CanvasPoint> points;
    points.reserve(size_t(width));
    DrawTrace(c, state, source, 0, start, shown, length, mode, axis.scale, width, x0, centre, points);
    if (f.channels == 2) {
        c.SelectPen(kTraceRed);
        DrawTrace(c, state, source, 1, start, shown, length, mode, axis.scale, width, x0, centre, points);
    }
    c.SelectPen(oldPen);
    if (target.paintLock) SyncUnlock(target.paintLock);
}
