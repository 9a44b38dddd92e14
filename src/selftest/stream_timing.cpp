#include "selftest/stream_timing.h"

#include <cmath>

namespace {

struct Line {
    bool valid = false;
    double intercept = 0, slope = 0, residual = 0; // y = intercept + slope x; residual in y
};

template <typename X, typename Y>
Line FitLine(const std::vector<TimingPoint>& points, double from, double to, size_t minimum, X x, Y y)
{
    double n = 0, sx = 0, sy = 0;
    for (const TimingPoint& p : points)
        if (p.frames >= from && p.frames <= to) n += 1, sx += x(p), sy += y(p);
    Line line;
    if (n < double(minimum)) return line;
    const double mx = sx / n, my = sy / n;
    double sxx = 0, sxy = 0;
    for (const TimingPoint& p : points)
        if (p.frames >= from && p.frames <= to) sxx += (x(p) - mx) * (x(p) - mx), sxy += (x(p) - mx) * (y(p) - my);
    if (sxx <= 0) return line;
    line.slope = sxy / sxx;
    line.intercept = my - line.slope * mx;
    double sse = 0;
    for (const TimingPoint& p : points)
        if (p.frames >= from && p.frames <= to) {
            const double e = y(p) - (line.intercept + line.slope * x(p));
            sse += e * e;
        }
    line.residual = std::sqrt(sse / n);
    line.valid = true;
    return line;
}

} // namespace

RateFit FitRate(const std::vector<TimingPoint>& points, double fromFrames, double toFrames, double nominalRate)
{
    const Line line = FitLine(
        points, fromFrames, toFrames, 8, [](const TimingPoint& p) { return p.seconds; },
        [](const TimingPoint& p) { return p.frames; });
    RateFit fit;
    if (!line.valid || line.slope <= 0) return fit;
    fit.valid = true;
    fit.framesPerSecond = line.slope;
    fit.ppm = (line.slope / nominalRate - 1) * 1e6;
    fit.residualMs = line.residual / line.slope * 1000;
    return fit;
}

FrameTime TimeOfFrame(const std::vector<TimingPoint>& points, double frames, double window)
{
    const Line line = FitLine(
        points, frames - window, frames + window, 4, [](const TimingPoint& p) { return p.frames; },
        [](const TimingPoint& p) { return p.seconds; });
    FrameTime t;
    if (!line.valid) return t;
    t.valid = true;
    t.seconds = line.intercept + line.slope * frames;
    t.residualMs = line.residual * 1000;
    return t;
}
