// image_writer.h - a tiny raster for drawing Mirravox's icons and bitmaps at
// build time, and writers for the file formats the resource compiler takes.
//
// A Canvas holds straight (not premultiplied) RGBA pixels. It can be made with
// a supersampling factor: all drawing coordinates are then given in final
// pixels, the canvas keeps ss x ss samples per pixel, and resolve() averages
// them down, which smooths the edges of circles, slopes and lines. Shapes cover
// the samples whose centres lie inside them; drawing blends "source over".
//
// Header only, standard library only: the generator is built for the build
// machine with a bare compiler command.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace art {

struct Color {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};

inline constexpr Color rgb(int r, int g, int b, int a = 255)
{
    return Color{uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a)};
}

inline constexpr Color kTransparent{0, 0, 0, 0};
inline constexpr Color kBlack{0, 0, 0, 255};
inline constexpr Color kWhite{255, 255, 255, 255};

inline uint8_t clampByte(double v) { return uint8_t(std::lround(std::clamp(v, 0.0, 255.0))); }

// Linear mix: t = 0 gives a, t = 1 gives b (alpha included).
inline Color mix(Color a, Color b, double t)
{
    return Color{clampByte(a.r + (b.r - a.r) * t), clampByte(a.g + (b.g - a.g) * t), clampByte(a.b + (b.b - a.b) * t),
                 clampByte(a.a + (b.a - a.a) * t)};
}

inline Color withAlpha(Color c, int a)
{
    c.a = uint8_t(std::clamp(a, 0, 255));
    return c;
}

struct Point {
    double x = 0, y = 0;
};

// ---------------------------------------------------------------------------
// Our 5 x 7 pixel font: capital letters, digits and a little punctuation.
// Lower-case letters draw as capitals. Glyphs are set proportionally: each one
// is as wide as its inked columns, one blank column between glyphs, a space
// three columns wide.

struct Glyph {
    char ch;
    const char* rows[7];
};

inline const Glyph* findGlyph(char ch)
{
    static const Glyph kGlyphs[] = {
        {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
        {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
        {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
        {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
        {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
        {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
        {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
        {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
        {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
        {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
        {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
        {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
        {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
        {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
        {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
        {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
        {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
        {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
        {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
        {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
        {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
        {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
        {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
        {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
        {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
        {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
        {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}},
        {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
        {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
        {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
        {'-', {".....", ".....", ".....", "####.", ".....", ".....", "....."}},
        {'.', {".....", ".....", ".....", ".....", ".....", ".....", "#...."}},
        {':', {".....", ".....", "#....", ".....", ".....", "#....", "....."}},
        {'/', {"....#", "....#", "...#.", "..#..", ".#...", "#....", "#...."}},
    };
    if (ch >= 'a' && ch <= 'z') ch = char(ch - 'a' + 'A');
    for (const Glyph& g : kGlyphs)
        if (g.ch == ch) return &g;
    return nullptr;
}

// Inked column range [first, last] of a glyph; false when it has no ink.
inline bool glyphColumns(const Glyph& g, int& first, int& last)
{
    first = 5;
    last = -1;
    for (const char* row : g.rows)
        for (int c = 0; c < 5; ++c)
            if (row[c] == '#') {
                first = std::min(first, c);
                last = std::max(last, c);
            }
    return last >= first;
}

constexpr int kFontHeight = 7;
constexpr int kSpaceColumns = 3;

// Width in font columns of one character: inked width, or the space width
// for a blank or unknown character.
inline int glyphAdvance(char ch)
{
    const Glyph* g = findGlyph(ch);
    int first, last;
    if (!g || !glyphColumns(*g, first, last)) return kSpaceColumns;
    return last - first + 1;
}

// Width in pixels of a string drawn with each font dot scale x scale pixels.
inline int textWidth(const std::string& s, int scale)
{
    int cols = 0;
    for (size_t i = 0; i < s.size(); ++i) cols += glyphAdvance(s[i]) + (i + 1 < s.size() ? 1 : 0);
    return cols * scale;
}

// ---------------------------------------------------------------------------

class Canvas {
public:
    Canvas(int width, int height, int ss = 1, Color background = kTransparent)
        : w_(width),
          h_(height),
          ss_(std::max(1, ss)),
          px_(size_t(width) * ss_ * size_t(height) * ss_, background)
    {
    }

    int width() const { return w_; }
    int height() const { return h_; }
    int supersample() const { return ss_; }

    // Sample access in sample coordinates (equal to pixels when ss == 1).
    int sampleWidth() const { return w_ * ss_; }
    int sampleHeight() const { return h_ * ss_; }
    Color sample(int sx, int sy) const { return px_[size_t(sy) * sampleWidth() + sx]; }
    void setSample(int sx, int sy, Color c)
    {
        if (sx >= 0 && sy >= 0 && sx < sampleWidth() && sy < sampleHeight()) px_[size_t(sy) * sampleWidth() + sx] = c;
    }
    void blendSample(int sx, int sy, Color c)
    {
        if (sx < 0 || sy < 0 || sx >= sampleWidth() || sy >= sampleHeight() || c.a == 0) return;
        Color& d = px_[size_t(sy) * sampleWidth() + sx];
        if (c.a == 255 || d.a == 0) {
            d = c;
            return;
        }
        const double sa = c.a / 255.0, da = d.a / 255.0;
        const double oa = sa + da * (1.0 - sa);
        auto ch = [&](uint8_t s, uint8_t dd) { return clampByte((s * sa + dd * da * (1.0 - sa)) / oa); };
        d = Color{ch(c.r, d.r), ch(c.g, d.g), ch(c.b, d.b), clampByte(oa * 255.0)};
    }

    // Pixel access for a canvas without supersampling (or the top-left sample).
    Color pixel(int x, int y) const { return sample(x * ss_, y * ss_); }

    void fill(Color c) { std::fill(px_.begin(), px_.end(), c); }

    // Blends c into every sample whose centre (in pixel coordinates) lies in the
    // box [x0, x1) x [y0, y1) and satisfies inside(x, y).
    template <class Inside>
    void paint(double x0, double y0, double x1, double y1, Color c, Inside inside)
    {
        const int sx0 = std::max(0, int(std::floor(x0 * ss_)));
        const int sy0 = std::max(0, int(std::floor(y0 * ss_)));
        const int sx1 = std::min(sampleWidth(), int(std::ceil(x1 * ss_)));
        const int sy1 = std::min(sampleHeight(), int(std::ceil(y1 * ss_)));
        for (int sy = sy0; sy < sy1; ++sy) {
            const double y = (sy + 0.5) / ss_;
            if (y < y0 || y >= y1) continue;
            for (int sx = sx0; sx < sx1; ++sx) {
                const double x = (sx + 0.5) / ss_;
                if (x >= x0 && x < x1 && inside(x, y)) blendSample(sx, sy, c);
            }
        }
    }

    void fillRect(double x0, double y0, double x1, double y1, Color c)
    {
        paint(x0, y0, x1, y1, c, [](double, double) { return true; });
    }

    // Outline drawn inside the box [x0, x1) x [y0, y1).
    void frameRect(double x0, double y0, double x1, double y1, double t, Color c)
    {
        fillRect(x0, y0, x1, y0 + t, c);
        fillRect(x0, y1 - t, x1, y1, c);
        fillRect(x0, y0 + t, x0 + t, y1 - t, c);
        fillRect(x1 - t, y0 + t, x1, y1 - t, c);
    }

    // Vertical gradient: top colour on the first row, bottom on the last.
    void gradientV(double x0, double y0, double x1, double y1, Color top, Color bottom)
    {
        for (int sy = std::max(0, int(std::floor(y0 * ss_))); sy < std::min(sampleHeight(), int(std::ceil(y1 * ss_)));
             ++sy) {
            const double y = (sy + 0.5) / ss_;
            if (y < y0 || y >= y1) continue;
            const double t = y1 - y0 > 1 ? (y - y0 - 0.5) / (y1 - y0 - 1) : 0.0;
            Color c = mix(top, bottom, std::clamp(t, 0.0, 1.0));
            paint(x0, y, x1, y + 1.0 / ss_, c, [](double, double) { return true; });
        }
    }

    void fillRoundRect(double x0, double y0, double x1, double y1, double r, Color c)
    {
        paint(x0, y0, x1, y1, c, [=](double x, double y) {
            const double cx = std::clamp(x, x0 + r, x1 - r), cy = std::clamp(y, y0 + r, y1 - r);
            return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
        });
    }

    void fillCircle(double cx, double cy, double r, Color c)
    {
        paint(cx - r, cy - r, cx + r, cy + r, c,
              [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; });
    }

    // Annulus of the given width centred on radius r.
    void ring(double cx, double cy, double r, double width, Color c)
    {
        const double ro = r + width / 2, ri = std::max(0.0, r - width / 2);
        paint(cx - ro, cy - ro, cx + ro, cy + ro, c, [=](double x, double y) {
            const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            return d2 <= ro * ro && d2 >= ri * ri;
        });
    }

    // Thick line with round ends; a polyline is blended once, so a translucent
    // colour does not darken where segments meet.
    void line(double x0, double y0, double x1, double y1, double width, Color c)
    {
        polyline({{x0, y0}, {x1, y1}}, width, c);
    }

    void polyline(const std::vector<Point>& pts, double width, Color c)
    {
        if (pts.empty()) return;
        const double hw = width / 2;
        std::vector<uint8_t> mask(px_.size(), 0);
        auto mark = [&](Point a, Point b) {
            const double bx0 = std::min(a.x, b.x) - hw, bx1 = std::max(a.x, b.x) + hw;
            const double by0 = std::min(a.y, b.y) - hw, by1 = std::max(a.y, b.y) + hw;
            const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
            for (int sy = std::max(0, int(std::floor(by0 * ss_)));
                 sy < std::min(sampleHeight(), int(std::ceil(by1 * ss_))); ++sy)
                for (int sx = std::max(0, int(std::floor(bx0 * ss_)));
                     sx < std::min(sampleWidth(), int(std::ceil(bx1 * ss_))); ++sx) {
                    const double x = (sx + 0.5) / ss_, y = (sy + 0.5) / ss_;
                    double t = len2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / len2 : 0.0;
                    t = std::clamp(t, 0.0, 1.0);
                    const double ex = x - (a.x + t * dx), ey = y - (a.y + t * dy);
                    if (ex * ex + ey * ey <= hw * hw) mask[size_t(sy) * sampleWidth() + sx] = 1;
                }
        };
        if (pts.size() == 1) mark(pts[0], pts[0]);
        for (size_t i = 1; i < pts.size(); ++i) mark(pts[i - 1], pts[i]);
        for (int sy = 0; sy < sampleHeight(); ++sy)
            for (int sx = 0; sx < sampleWidth(); ++sx)
                if (mask[size_t(sy) * sampleWidth() + sx]) blendSample(sx, sy, c);
    }

    // One-pixel line through pixel centres (Bresenham), crisp at any ss.
    void pixelLine(int x0, int y0, int x1, int y1, Color c)
    {
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int stepX = x0 < x1 ? 1 : -1, stepY = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            fillRect(x0, y0, x0 + 1, y0 + 1, c);
            if (x0 == x1 && y0 == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += stepX;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += stepY;
            }
        }
    }

    // Even-odd fill of a closed polygon.
    void fillPolygon(const std::vector<Point>& pts, Color c)
    {
        if (pts.size() < 3) return;
        double x0 = pts[0].x, x1 = x0, y0 = pts[0].y, y1 = y0;
        for (const Point& p : pts) {
            x0 = std::min(x0, p.x);
            x1 = std::max(x1, p.x);
            y0 = std::min(y0, p.y);
            y1 = std::max(y1, p.y);
        }
        paint(x0, y0, x1, y1, c, [&](double x, double y) {
            bool in = false;
            for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
                const Point& a = pts[i];
                const Point& b = pts[j];
                if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
            }
            return in;
        });
    }

    // Text in our font with its top-left corner at (x, y); each font dot is a
    // scale x scale pixel square. Returns the x just past the last glyph.
    double text(double x, double y, const std::string& s, int scale, Color c)
    {
        for (size_t i = 0; i < s.size(); ++i) {
            const Glyph* g = findGlyph(s[i]);
            int first, last;
            if (g && glyphColumns(*g, first, last)) {
                for (int row = 0; row < kFontHeight; ++row)
                    for (int col = first; col <= last; ++col)
                        if (g->rows[row][col] == '#')
                            fillRect(x + (col - first) * scale, y + row * scale, x + (col - first + 1) * scale,
                                     y + (row + 1) * scale, c);
            }
            x += (glyphAdvance(s[i]) + 1) * scale;
        }
        return x - scale;
    }

    // Averages the ss x ss samples of each pixel (weighted by alpha) into a
    // canvas without supersampling.
    Canvas resolve() const
    {
        Canvas out(w_, h_, 1);
        const int n = ss_ * ss_;
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                double r = 0, g = 0, b = 0, a = 0;
                for (int j = 0; j < ss_; ++j)
                    for (int i = 0; i < ss_; ++i) {
                        const Color c = sample(x * ss_ + i, y * ss_ + j);
                        r += c.r * double(c.a);
                        g += c.g * double(c.a);
                        b += c.b * double(c.a);
                        a += c.a;
                    }
                Color o = kTransparent;
                if (a > 0) o = Color{clampByte(r / a), clampByte(g / a), clampByte(b / a), clampByte(a / n)};
                out.setSample(x, y, o);
            }
        return out;
    }

private:
    int w_, h_, ss_;
    std::vector<Color> px_;
};

// ---------------------------------------------------------------------------
// File formats. All multi-byte fields are little-endian; bitmaps are stored
// bottom-up, each row padded to a multiple of four bytes.

namespace detail {
inline void put16(std::vector<uint8_t>& v, unsigned x)
{
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}
inline void put32(std::vector<uint8_t>& v, uint32_t x)
{
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}
inline Canvas flat(const Canvas& c) { return c.supersample() == 1 ? c : c.resolve(); }

// BITMAPINFOHEADER, uncompressed.
inline void putInfoHeader(std::vector<uint8_t>& v, int w, int h, int bits, uint32_t imageSize, uint32_t colours)
{
    put32(v, 40);
    put32(v, uint32_t(w));
    put32(v, uint32_t(h));
    put16(v, 1);
    put16(v, unsigned(bits));
    put32(v, 0); // BI_RGB
    put32(v, imageSize);
    put32(v, 2835); // 72 dots per inch
    put32(v, 2835);
    put32(v, colours);
    put32(v, 0);
}

inline void putFileHeader(std::vector<uint8_t>& v, uint32_t fileSize, uint32_t pixelOffset)
{
    v.push_back('B');
    v.push_back('M');
    put32(v, fileSize);
    put32(v, 0);
    put32(v, pixelOffset);
}

inline uint32_t rowBytes(int w, int bits) { return uint32_t((w * bits + 31) / 32 * 4); }
} // namespace detail

// 24-bit BMP file. Translucent pixels are composited over black.
inline std::vector<uint8_t> encodeBmp24(const Canvas& canvas)
{
    const Canvas c = detail::flat(canvas);
    const uint32_t stride = detail::rowBytes(c.width(), 24);
    const uint32_t imageSize = stride * uint32_t(c.height());
    std::vector<uint8_t> v;
    detail::putFileHeader(v, 54 + imageSize, 54);
    detail::putInfoHeader(v, c.width(), c.height(), 24, imageSize, 0);
    for (int y = c.height() - 1; y >= 0; --y) {
        const size_t start = v.size();
        for (int x = 0; x < c.width(); ++x) {
            const Color p = c.pixel(x, y);
            v.push_back(uint8_t((p.b * p.a + 127) / 255));
            v.push_back(uint8_t((p.g * p.a + 127) / 255));
            v.push_back(uint8_t((p.r * p.a + 127) / 255));
        }
        v.resize(start + stride, 0);
    }
    return v;
}

// The sixteen colours of the standard Windows palette.
inline const std::vector<Color>& standardPalette16()
{
    static const std::vector<Color> p = {rgb(0, 0, 0),       rgb(128, 0, 0),   rgb(0, 128, 0),   rgb(128, 128, 0),
                                         rgb(0, 0, 128),     rgb(128, 0, 128), rgb(0, 128, 128), rgb(192, 192, 192),
                                         rgb(128, 128, 128), rgb(255, 0, 0),   rgb(0, 255, 0),   rgb(255, 255, 0),
                                         rgb(0, 0, 255),     rgb(255, 0, 255), rgb(0, 255, 255), rgb(255, 255, 255)};
    return p;
}

// Index of the palette colour nearest to c (squared RGB distance; the first
// of equally near colours wins).
inline int nearestIndex(const std::vector<Color>& palette, Color c)
{
    int best = 0;
    long bestD = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        const long dr = c.r - palette[i].r, dg = c.g - palette[i].g, db = c.b - palette[i].b;
        const long d = dr * dr + dg * dg + db * db;
        if (bestD < 0 || d < bestD) {
            bestD = d;
            best = int(i);
        }
    }
    return best;
}

// 4-bit (16-colour) BMP file; each pixel takes the nearest palette colour.
inline std::vector<uint8_t> encodeBmp4(const Canvas& canvas, const std::vector<Color>& palette = standardPalette16())
{
    const Canvas c = detail::flat(canvas);
    const uint32_t stride = detail::rowBytes(c.width(), 4);
    const uint32_t imageSize = stride * uint32_t(c.height());
    const uint32_t offset = 54 + 16 * 4;
    std::vector<uint8_t> v;
    detail::putFileHeader(v, offset + imageSize, offset);
    detail::putInfoHeader(v, c.width(), c.height(), 4, imageSize, 16);
    for (int i = 0; i < 16; ++i) {
        const Color p = i < int(palette.size()) ? palette[size_t(i)] : kBlack;
        v.push_back(p.b);
        v.push_back(p.g);
        v.push_back(p.r);
        v.push_back(0);
    }
    for (int y = c.height() - 1; y >= 0; --y) {
        const size_t start = v.size();
        v.resize(start + stride, 0);
        for (int x = 0; x < c.width(); ++x) {
            const int idx = nearestIndex(palette, c.pixel(x, y)) & 15;
            v[start + size_t(x / 2)] |= uint8_t((x % 2 == 0) ? idx << 4 : idx);
        }
    }
    return v;
}

// .ico file with one 32-bit BGRA image (plus its AND mask) per canvas, in the
// order given. A pixel with alpha below 128 is transparent in the AND mask;
// fully transparent pixels are stored as zero colour so that the mask alone
// draws them correctly too. Canvases must be at most 256 pixels square.
inline std::vector<uint8_t> encodeIco(const std::vector<Canvas>& images)
{
    std::vector<Canvas> flat;
    for (const Canvas& c : images) flat.push_back(detail::flat(c));
    std::vector<uint8_t> v;
    detail::put16(v, 0);
    detail::put16(v, 1); // icon
    detail::put16(v, unsigned(flat.size()));
    uint32_t offset = uint32_t(6 + 16 * flat.size());
    std::vector<uint32_t> sizes;
    for (const Canvas& c : flat) {
        const uint32_t xorSize = uint32_t(c.width() * c.height() * 4);
        const uint32_t andSize = detail::rowBytes(c.width(), 1) * uint32_t(c.height());
        const uint32_t size = 40 + xorSize + andSize;
        v.push_back(uint8_t(c.width() & 0xFF)); // 256 is written as 0
        v.push_back(uint8_t(c.height() & 0xFF));
        v.push_back(0); // no palette
        v.push_back(0);
        detail::put16(v, 1);  // planes
        detail::put16(v, 32); // bits per pixel
        detail::put32(v, size);
        detail::put32(v, offset);
        offset += size;
        sizes.push_back(xorSize + andSize);
    }
    for (size_t n = 0; n < flat.size(); ++n) {
        const Canvas& c = flat[n];
        detail::putInfoHeader(v, c.width(), c.height() * 2, 32, sizes[n], 0);
        for (int y = c.height() - 1; y >= 0; --y)
            for (int x = 0; x < c.width(); ++x) {
                Color p = c.pixel(x, y);
                if (p.a == 0) p = kTransparent;
                v.push_back(p.b);
                v.push_back(p.g);
                v.push_back(p.r);
                v.push_back(p.a);
            }
        const uint32_t stride = detail::rowBytes(c.width(), 1);
        for (int y = c.height() - 1; y >= 0; --y) {
            const size_t start = v.size();
            v.resize(start + stride, 0);
            for (int x = 0; x < c.width(); ++x)
                if (c.pixel(x, y).a < 128) v[start + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        }
    }
    return v;
}

inline bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace art
