// gen_art - draws every icon and bitmap Mirravox shows and writes them into
// the folder named on the command line:  gen_art <outdir>
//
// File            Resource            Picture
// mirravox.ico    icon "MIRRAVOX"     program icon: a green trace on a scope screen
// playback.ico    icon 108            Playback button: green right-pointing triangle
// stop.ico        icon 109            Stop button: dark square
// record.ico      icon 110            Record button: red disc
// about.bmp       bitmap 106          About box picture, 279 x 225, 24-bit
// shape_saw.bmp   bitmap 112          create-tone list: Saw (a triangle wave), 80 x 20, 16 colours
// shape_sine.bmp  bitmap 113          create-tone list: Sine
// shape_square.bmp bitmap 114         create-tone list: Square
// shape_spike.bmp bitmap 116          create-tone list: Spike
// shape_white.bmp bitmap 117          create-tone list: White Noise
// shape_pink.bmp  bitmap 126          create-tone list: Pink Noise
// badge_in.bmp    bitmap 122          IN badge, 55 x 27, 24-bit, pure black background
// badge_out.bmp   bitmap 123          OUT badge, 86 x 27, 24-bit, pure black background
// grid3d.bmp      bitmap 130          3D test: the plane the source marker moves on, 128 x 128
//
// Icons hold a 16 x 16 and a 32 x 32 image (in that order), 32-bit with
// alpha and AND mask. Everything is computed, so every run writes the same
// bytes.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "image_writer.h"

using art::Canvas;
using art::Color;
using art::Point;
using art::rgb;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kIconSS = 8; // samples per pixel side for icons

// Deterministic pseudo-random numbers for the noise pictures.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : s_(seed) {}
    // Uniform in [-1, 1].
    double next()
    {
        s_ = s_ * 1664525u + 1013904223u;
        return (s_ >> 8) / double(1u << 24) * 2.0 - 1.0;
    }

private:
    uint32_t s_;
};

// ---------------------------------------------------------------------------
// Icons

// The 16-pixel images use their own whole-pixel geometry so that their
// straight edges stay sharp; the 32-pixel ones are drawn on the 32 grid.

Canvas programIcon(int n)
{
    Canvas c(n, n, kIconSS);
    const bool big = n >= 32;
    // Bezel and screen.
    if (big) {
        c.fillRoundRect(1, 3, 31, 29, 5, rgb(112, 120, 132));
        c.fillRoundRect(2, 4, 30, 28, 4, rgb(46, 50, 58));
    } else {
        c.fillRoundRect(0, 1, 16, 15, 3, rgb(112, 120, 132));
        c.fillRoundRect(1, 2, 15, 14, 2, rgb(46, 50, 58));
    }
    const double sx0 = big ? 4 : 2, sy0 = big ? 6 : 3, sx1 = big ? 28 : 14, sy1 = big ? 26 : 13;
    c.fillRoundRect(sx0, sy0, sx1, sy1, big ? 2.5 : 1, rgb(6, 26, 14));
    const double ym = (sy0 + sy1) / 2;
    if (big) {
        // Graticule.
        for (int i = 1; i < 4; ++i) {
            const double x = sx0 + (sx1 - sx0) * i / 4;
            c.fillRect(x - 0.5, sy0 + 1, x + 0.5, sy1 - 1, rgb(24, 72, 40));
        }
        c.fillRect(sx0 + 1, ym - 0.5, sx1 - 1, ym + 0.5, rgb(30, 90, 50));
    }
    // The trace: one and a half periods of a sine, with a soft glow.
    std::vector<Point> trace;
    const double amp = (sy1 - sy0) * (big ? 0.33 : 0.3), inset = big ? 1.5 : 0.8;
    for (int i = 0; i <= 96; ++i) {
        const double t = i / 96.0;
        trace.push_back({sx0 + inset + t * (sx1 - sx0 - 2 * inset), ym - amp * std::sin(t * 3 * kPi)});
    }
    c.polyline(trace, big ? 5.0 : 2.6, rgb(60, 255, 110, big ? 70 : 50));
    c.polyline(trace, big ? 2.2 : 1.4, rgb(120, 255, 150));
    return c;
}

Canvas recordIcon(int n)
{
    Canvas c(n, n, kIconSS);
    const double m = n / 2.0, r = n >= 32 ? 11.5 : 6;
    c.fillCircle(m, m, r, rgb(120, 0, 0));
    c.fillCircle(m, m, r - (n >= 32 ? 1.2 : 0.8), rgb(222, 28, 28));
    c.fillCircle(m - r * 0.12, m - r * 0.12, r * 0.72, rgb(240, 60, 50));
    c.fillCircle(m - r * 0.35, m - r * 0.38, r * 0.28, rgb(255, 200, 190, 150));
    return c;
}

Canvas playbackIcon(int n)
{
    Canvas c(n, n, kIconSS);
    std::vector<Point> outer, inner;
    if (n >= 32) {
        outer = {{8, 4.5}, {27.5, 16}, {8, 27.5}};
        inner = {{9.5, 7.3}, {24.7, 16}, {9.5, 24.7}};
    } else {
        outer = {{4, 2}, {14, 8}, {4, 14}};
        inner = {{5, 4}, {12, 8}, {5, 12}};
    }
    c.fillPolygon(outer, rgb(0, 100, 20));
    c.fillPolygon(inner, rgb(40, 200, 60));
    // A lighter upper half gives it some shape.
    c.fillPolygon({inner[0], inner[1], {inner[0].x, inner[1].y}}, rgb(110, 235, 120, 150));
    return c;
}

Canvas stopIcon(int n)
{
    Canvas c(n, n, kIconSS);
    const double a = n >= 32 ? 7 : 3, b = n - a;
    c.fillRoundRect(a, a, b, b, n >= 32 ? 2 : 1, rgb(20, 22, 28));
    c.gradientV(a + 1, a + 1, b - 1, b - 1, rgb(92, 96, 108), rgb(40, 42, 50));
    return c;
}

// ---------------------------------------------------------------------------
// Badges: green on pure black, shown in the corner of each view.

const Color kBadgeInk = rgb(80, 255, 96);
const Color kBadgeFill = rgb(0, 44, 8);
const Color kBadgeEdge = rgb(24, 150, 40);

Canvas badgeBase(int w, int h)
{
    Canvas c(w, h, 4, art::kBlack);
    c.fillRoundRect(0, 0, w, h, 6, kBadgeEdge);
    c.fillRoundRect(1.5, 1.5, w - 1.5, h - 1.5, 4.5, kBadgeFill);
    return c;
}

// Arrow 13 pixels long, 15 high, its tip at (x, y) pointing left or right.
void badgeArrow(Canvas& c, double x, double y, bool left)
{
    const double d = left ? 1 : -1;
    c.fillPolygon({{x, y}, {x + d * 8, y - 7.5}, {x + d * 8, y + 7.5}}, kBadgeInk);
    c.fillRect(left ? x + 7 : x - 13, y - 2.5, left ? x + 13 : x - 7, y + 2.5, kBadgeInk);
}

Canvas badgeIn()
{
    Canvas c = badgeBase(55, 27);
    badgeArrow(c, 5, 13.5, true);
    c.text(23, 3, "IN", 3, kBadgeInk);
    return c;
}

Canvas badgeOut()
{
    Canvas c = badgeBase(86, 27);
    const int w = art::textWidth("OUT", 3);
    c.text(8, 3, "OUT", 3, kBadgeInk);
    badgeArrow(c, 8 + w + 4 + 13, 13.5, false);
    return c;
}

// ---------------------------------------------------------------------------
// About box picture.

Canvas aboutPicture()
{
    const int w = 279, h = 225;
    Canvas c(w, h, 4);
    c.gradientV(0, 0, w, h, rgb(14, 22, 58), rgb(36, 10, 52));
    // A faint graticule over the whole picture.
    for (int x = 15; x < w; x += 28) c.fillRect(x, 0, x + 1, h, rgb(120, 160, 255, 22));
    for (int y = 12; y < h; y += 28) c.fillRect(0, y, w, y + 1, rgb(120, 160, 255, 22));

    // Title with a drop shadow, and a line under it.
    const std::string title = "MIRRAVOX";
    const int scale = 5, tw = art::textWidth(title, scale);
    const double tx = (w - tw) / 2.0;
    c.text(tx + 2, 16, title, scale, rgb(0, 0, 0, 150));
    c.text(tx, 14, title, scale, rgb(250, 236, 150));
    const std::string sub = "SOUND CARD TEST";
    const int sw = art::textWidth(sub, 2);
    c.text((w - sw) / 2.0, 58, sub, 2, rgb(170, 200, 255));

    // Scope window with a decaying sine.
    const double px0 = 18, py0 = 80, px1 = w - 18, py1 = 146;
    c.fillRoundRect(px0 - 2, py0 - 2, px1 + 2, py1 + 2, 6, rgb(90, 110, 150));
    c.fillRoundRect(px0, py0, px1, py1, 4, rgb(4, 18, 12));
    for (int i = 1; i < 8; ++i) {
        const double x = px0 + (px1 - px0) * i / 8;
        c.fillRect(x, py0 + 2, x + 1, py1 - 2, rgb(20, 60, 36));
    }
    const double pm = (py0 + py1) / 2;
    c.fillRect(px0 + 2, pm, px1 - 2, pm + 1, rgb(30, 90, 50));
    std::vector<Point> trace;
    for (int i = 0; i <= 600; ++i) {
        const double t = i / 600.0;
        const double env = 0.25 + 0.75 * std::exp(-2.2 * t);
        trace.push_back({px0 + 6 + t * (px1 - px0 - 12), pm + 0.5 - 27 * env * std::sin(t * 2 * kPi * 5.5)});
    }
    c.polyline(trace, 5, rgb(60, 255, 120, 60));
    c.polyline(trace, 1.6, rgb(150, 255, 170));

    // Spectrum bars, green to yellow to red by height, with peak caps.
    const double by1 = 214, bx0 = 18, bx1 = w - 18;
    const int bars = 26;
    const double pitch = (bx1 - bx0) / bars;
    for (int i = 0; i < bars; ++i) {
        const double f = (i + 0.5) / bars;
        double level = 0.85 * std::exp(-std::pow((f - 0.18) / 0.16, 2)) +
                       0.55 * std::exp(-std::pow((f - 0.55) / 0.12, 2)) +
                       0.30 * std::exp(-std::pow((f - 0.85) / 0.08, 2)) + 0.12 + 0.06 * std::sin(i * 2.3);
        level = std::min(level, 1.0);
        const double bh = 52 * level;
        const double x0 = bx0 + i * pitch + 1, x1 = bx0 + (i + 1) * pitch - 1;
        const int segs = int(bh / 4);
        for (int s = 0; s < segs; ++s) {
            const double y1 = by1 - s * 4, y0 = y1 - 3;
            const double t = s / 11.0;
            Color col = t < 0.5 ? art::mix(rgb(40, 220, 80), rgb(240, 230, 60), t * 2)
                                : art::mix(rgb(240, 230, 60), rgb(240, 60, 40), (t - 0.5) * 2);
            c.fillRect(x0, y0, x1, y1, col);
        }
        const double peak = by1 - segs * 4 - 4;
        c.fillRect(x0, peak - 2, x1, peak, rgb(220, 230, 255, 200));
    }
    c.fillRect(bx0, by1 + 1, bx1, by1 + 2, rgb(120, 140, 190));
    return c;
}

// ---------------------------------------------------------------------------
// Wave-shape pictures for the create-tone list: 80 x 20, 16 colours, on the
// white the list item is filled with; the item text starts at x = 84.

constexpr int kShapeW = 80, kShapeH = 20;
constexpr int kShapeX0 = 3, kShapeX1 = 76; // trace spans these columns
constexpr int kShapeMid = 10, kShapeAmp = 7;
const Color kShapeInk = rgb(0, 0, 128);

Canvas shapeBase()
{
    Canvas c(kShapeW, kShapeH, 1, art::kWhite);
    for (int x = kShapeX0; x <= kShapeX1; x += 2) c.fillRect(x, kShapeMid, x + 1, kShapeMid + 1, rgb(192, 192, 192));
    return c;
}

// Joins the values (one per column from kShapeX0, -1 to 1) with one-pixel
// lines.
Canvas shapeFromValues(const std::vector<double>& v)
{
    Canvas c = shapeBase();
    auto yOf = [](double val) { return int(std::lround(kShapeMid - kShapeAmp * val)); };
    for (size_t i = 1; i < v.size(); ++i) {
        const int x0 = kShapeX0 + int(i) - 1, x1 = kShapeX0 + int(i);
        c.pixelLine(x0, yOf(v[i - 1]), x1, yOf(v[i]), kShapeInk);
    }
    return c;
}

// Value at phase p (in periods) of a periodic shape.
std::vector<double> sampleShape(double (*shape)(double), double periods)
{
    std::vector<double> v;
    const int n = kShapeX1 - kShapeX0 + 1;
    for (int i = 0; i < n; ++i) v.push_back(shape(i * periods / (n - 1)));
    return v;
}

double sineAt(double p) { return std::sin(2 * kPi * p); }
double triangleAt(double p)
{
    const double f = p - std::floor(p);
    if (f <= 0.25) return 4 * f;
    if (f <= 0.75) return 2 - 4 * f;
    return 4 * f - 4;
}

Canvas shapeSquare()
{
    // Drawn from corners so the edges are exactly vertical.
    Canvas c = shapeBase();
    const int top = kShapeMid - kShapeAmp, bottom = kShapeMid + kShapeAmp;
    const int half = (kShapeX1 - kShapeX0) / 4;
    int x = kShapeX0;
    c.pixelLine(x, kShapeMid, x, top, kShapeInk);
    for (int k = 0; k < 4; ++k) {
        const int y = k % 2 == 0 ? top : bottom;
        const int nx = k == 3 ? kShapeX1 : x + half;
        c.pixelLine(x, y, nx, y, kShapeInk);
        if (k < 3) c.pixelLine(nx, top, nx, bottom, kShapeInk);
        x = nx;
    }
    c.pixelLine(x, bottom, x, kShapeMid, kShapeInk);
    return c;
}

Canvas shapeSpike()
{
    // Silence with one sample at the bottom each period, just past its middle.
    Canvas c = shapeBase();
    c.pixelLine(kShapeX0, kShapeMid, kShapeX1, kShapeMid, kShapeInk);
    for (int k = 0; k < 4; ++k) {
        const int x = kShapeX0 + 9 + k * 18;
        c.pixelLine(x, kShapeMid, x, kShapeMid + kShapeAmp + 1, kShapeInk);
        c.pixelLine(x + 1, kShapeMid, x + 1, kShapeMid + kShapeAmp + 1, kShapeInk);
    }
    return c;
}

std::vector<double> whiteNoise()
{
    Lcg rng(0x5EED1234u);
    std::vector<double> v;
    for (int i = kShapeX0; i <= kShapeX1; ++i) v.push_back(0.95 * rng.next());
    return v;
}

std::vector<double> pinkNoise()
{
    // Seven rows refreshed at halving rates (row j every 2^j columns), summed:
    // slow swings with little fine grain. Scaled to fill the picture.
    Lcg rng(0x0BADC0DEu);
    double rows[7];
    for (double& r : rows) r = rng.next();
    std::vector<double> v;
    unsigned k = 0;
    for (int i = kShapeX0; i <= kShapeX1; ++i) {
        const unsigned next = (k + 1) & 127, changed = k ^ next;
        k = next;
        double sum = 0;
        for (int j = 0; j < 7; ++j) {
            if (changed & (1u << j)) rows[j] = rng.next();
            sum += rows[j];
        }
        v.push_back(sum);
    }
    double lo = v[0], hi = v[0];
    for (double x : v) {
        lo = std::min(lo, x);
        hi = std::max(hi, x);
    }
    for (double& x : v) x = hi > lo ? 0.95 * ((x - lo) / (hi - lo) * 2 - 1) : 0.0;
    return v;
}

// ---------------------------------------------------------------------------
// 3D test plane: seen from above, the listener in the middle facing up
// (front); the source marker is drawn over it in red, so no red is used here.

Canvas grid3d()
{
    const int n = 128;
    Canvas c(n, n, 4);
    c.gradientV(0, 0, n, n, rgb(10, 24, 40), rgb(6, 14, 26));
    const double m = n / 2.0;
    for (int i = 0; i <= 8; ++i) {
        const double p = i * n / 8.0;
        const Color col = i == 4 ? rgb(70, 120, 150) : rgb(30, 58, 80);
        c.fillRect(std::min(p, n - 1.0), 0, std::min(p, n - 1.0) + 1, n, col);
        c.fillRect(0, std::min(p, n - 1.0), n, std::min(p, n - 1.0) + 1, col);
    }
    // Distance rings at 1/4, 1/2, 3/4 and the full half-width.
    for (int i = 1; i <= 4; ++i) c.ring(m, m, m * i / 4.0 - (i == 4 ? 0.5 : 0), 1.0, rgb(60, 150, 170, 110));
    // Listener: a head with two ears and a nose pointing to the front.
    c.fillCircle(m - 6.5, m + 0.5, 2.2, rgb(200, 180, 120));
    c.fillCircle(m + 7.5, m + 0.5, 2.2, rgb(200, 180, 120));
    c.fillPolygon({{m + 0.5, m - 10}, {m - 3.5, m - 4}, {m + 4.5, m - 4}}, rgb(240, 220, 160));
    c.fillCircle(m + 0.5, m + 0.5, 6, rgb(240, 220, 160));
    c.fillCircle(m + 0.5, m + 0.5, 4.5, rgb(170, 140, 90));
    // Direction labels.
    const Color label = rgb(150, 200, 220);
    c.text(m - art::textWidth("FRONT", 1) / 2.0 + 0.5, 3, "FRONT", 1, label);
    c.text(m - art::textWidth("BACK", 1) / 2.0 + 0.5, n - 10, "BACK", 1, label);
    c.text(3, m - 3, "L", 1, label);
    c.text(n - 3 - art::textWidth("R", 1), m - 3, "R", 1, label);
    return c;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_art <outdir>\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    struct Output {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const Output outputs[] = {
        {"mirravox.ico", art::encodeIco({programIcon(16), programIcon(32)})},
        {"playback.ico", art::encodeIco({playbackIcon(16), playbackIcon(32)})},
        {"stop.ico", art::encodeIco({stopIcon(16), stopIcon(32)})},
        {"record.ico", art::encodeIco({recordIcon(16), recordIcon(32)})},
        {"badge_in.bmp", art::encodeBmp24(badgeIn())},
        {"badge_out.bmp", art::encodeBmp24(badgeOut())},
        {"about.bmp", art::encodeBmp24(aboutPicture())},
        {"shape_sine.bmp", art::encodeBmp4(shapeFromValues(sampleShape(sineAt, 2)))},
        {"shape_square.bmp", art::encodeBmp4(shapeSquare())},
        {"shape_saw.bmp", art::encodeBmp4(shapeFromValues(sampleShape(triangleAt, 2)))},
        {"shape_spike.bmp", art::encodeBmp4(shapeSpike())},
        {"shape_white.bmp", art::encodeBmp4(shapeFromValues(whiteNoise()))},
        {"shape_pink.bmp", art::encodeBmp4(shapeFromValues(pinkNoise()))},
        {"grid3d.bmp", art::encodeBmp24(grid3d())},
    };
    int failures = 0;
    for (const Output& o : outputs) {
        if (!art::writeFile(dir + o.name, o.bytes)) {
            std::fprintf(stderr, "gen_art: cannot write %s%s\n", dir.c_str(), o.name);
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
