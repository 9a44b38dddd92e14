// A canvas that records what is drawn on it, for tests and benchmarks.
#pragma once

#include <string>
#include <vector>

#include "platform/canvas.h"

struct CanvasOp {
    enum Kind { FillBlack, Blit, SetClip, ClearClip, SelectPen, MoveTo, LineTo, BeginText, Text, EndText, SetPixel };
    Kind kind;
    int x = 0, y = 0;          // point, or the rectangle's corner
    int width = 0, height = 0; // FillBlack, Blit; right and bottom for SetClip
    CanvasRgb colour = 0;      // SelectPen, BeginText, SetPixel
    BlitOp op = BlitOp::Copy;  // Blit
    const Canvas* source = nullptr;
    int sx = 0, sy = 0;
    std::string text; // Text
};

class RecordingCanvas : public Canvas {
public:
    // Every text measures charWidth pixels per character by lineHeight.
    explicit RecordingCanvas(int charWidth = 8, int lineHeight = 16)
        : m_nCharWidth(charWidth),
          m_nLineHeight(lineHeight)
    {
    }

    void FillBlack(int x, int y, int width, int height) override;
    void Blit(int x, int y, int width, int height, Canvas& source, int sx, int sy, BlitOp op) override;
    void SetClip(int left, int top, int right, int bottom) override;
    void ClearClip() override;
    CanvasRgb SelectPen(CanvasRgb colour) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void LinesTo(const CanvasPoint* points, int count) override;
    void BeginText(CanvasRgb colour) override;
    void Text(int x, int y, const char* text) override;
    void EndText() override;
    CanvasSize MeasureText(const char* text) override;
    void SetPixel(int x, int y, CanvasRgb colour) override;

    std::vector<CanvasOp> ops;
    CanvasRgb pen = 0; // the colour of the selected pen

    // Queries used by the tests.
    std::vector<const CanvasOp*> OfKind(CanvasOp::Kind kind) const;
    // The points of the polyline drawn in a colour: each MoveTo starting a new
    // trace while that pen is selected, followed by its LineTo points.
    std::vector<std::vector<CanvasPoint>> Traces(CanvasRgb colour) const;
    std::vector<std::string> Texts() const;

private:
    int m_nCharWidth;
    int m_nLineHeight;
};
