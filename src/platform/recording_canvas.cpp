#include "platform/recording_canvas.h"

#include <cstring>

namespace {
CanvasOp Op(CanvasOp::Kind kind, int x = 0, int y = 0)
{
    CanvasOp op;
    op.kind = kind;
    op.x = x;
    op.y = y;
    return op;
}
} // namespace

void RecordingCanvas::FillBlack(int x, int y, int width, int height)
{
    CanvasOp op = Op(CanvasOp::FillBlack, x, y);
    op.width = width;
    op.height = height;
    ops.push_back(op);
}

void RecordingCanvas::Blit(int x, int y, int width, int height, Canvas& source, int sx, int sy, BlitOp mode)
{
    CanvasOp op = Op(CanvasOp::Blit, x, y);
    op.width = width;
    op.height = height;
    op.source = &source;
    op.sx = sx;
    op.sy = sy;
    op.op = mode;
    ops.push_back(op);
}

void RecordingCanvas::SetClip(int left, int top, int right, int bottom)
{
    CanvasOp op = Op(CanvasOp::SetClip, left, top);
    op.width = right;
    op.height = bottom;
    ops.push_back(op);
}

void RecordingCanvas::ClearClip() { ops.push_back(Op(CanvasOp::ClearClip)); }

CanvasRgb RecordingCanvas::SelectPen(CanvasRgb colour)
{
    CanvasOp op = Op(CanvasOp::SelectPen);
    op.colour = colour;
    ops.push_back(op);
    const CanvasRgb old = pen;
    pen = colour;
    return old;
}

void RecordingCanvas::MoveTo(int x, int y) { ops.push_back(Op(CanvasOp::MoveTo, x, y)); }
void RecordingCanvas::LineTo(int x, int y) { ops.push_back(Op(CanvasOp::LineTo, x, y)); }

void RecordingCanvas::LinesTo(const CanvasPoint* points, int count)
{
    for (int i = 0; i < count; ++i) LineTo(points[i].x, points[i].y);
}

void RecordingCanvas::BeginText(CanvasRgb colour)
{
    CanvasOp op = Op(CanvasOp::BeginText);
    op.colour = colour;
    ops.push_back(op);
}

void RecordingCanvas::Text(int x, int y, const char* text)
{
    CanvasOp op = Op(CanvasOp::Text, x, y);
    op.text = text;
    ops.push_back(op);
}

void RecordingCanvas::EndText() { ops.push_back(Op(CanvasOp::EndText)); }

CanvasSize RecordingCanvas::MeasureText(const char* text)
{
    return {int(std::strlen(text)) * m_nCharWidth, m_nLineHeight};
}

void RecordingCanvas::SetPixel(int x, int y, CanvasRgb colour)
{
    CanvasOp op = Op(CanvasOp::SetPixel, x, y);
    op.colour = colour;
    ops.push_back(op);
}

std::vector<const CanvasOp*> RecordingCanvas::OfKind(CanvasOp::Kind kind) const
{
    std::vector<const CanvasOp*> found;
    for (const CanvasOp& op : ops)
        if (op.kind == kind) found.push_back(&op);
    return found;
}

std::vector<std::vector<CanvasPoint>> RecordingCanvas::Traces(CanvasRgb colour) const
{
    std::vector<std::vector<CanvasPoint>> traces;
    CanvasRgb current = 0;
    bool open = false;
    for (const CanvasOp& op : ops) {
        if (op.kind == CanvasOp::SelectPen) {
            current = op.colour;
            open = false;
        } else if (op.kind == CanvasOp::MoveTo && current == colour) {
            traces.push_back({{op.x, op.y}});
            open = true;
        } else if (op.kind == CanvasOp::LineTo && current == colour && open) {
            traces.back().push_back({op.x, op.y});
        }
    }
    return traces;
}

std::vector<std::string> RecordingCanvas::Texts() const
{
    std::vector<std::string> texts;
    for (const CanvasOp& op : ops)
        if (op.kind == CanvasOp::Text) texts.push_back(op.text);
    return texts;
}
