#include "display/overlay_text.h"

#include <cstdio>

namespace {

constexpr int kWaveformView = 0;
constexpr int kSpectrumView = 1;

const char* StatusText(bool recording, bool playing)
{
    if (recording && playing) return "Status: Playback & Recording";
    if (recording) return "Status: Recording";
    if (playing) return "Status: Playback";
    return "Status: Idle";
}

// Waveform: the milliseconds across the view. Spectrum: from 0 to the top
// frequency of the bins shown (0 when they cover the whole analyser).
void ViewRangeText(const OverlayState& s, char* text, size_t size)
{
    if (s.viewMode == kWaveformView) {
        const float ms = s.sampleRate > 0 ? float(s.blockSize) / float(s.sampleRate) * 1000.0f * s.viewZoom : 0.0f;
        std::snprintf(text, size, "View Range: %0.1fms", double(ms));
    } else if (s.viewMode == kSpectrumView) {
        const int top = s.spectrumBins < s.analyserSize ? s.analyserRate * s.spectrumBins / s.analyserSize : 0;
        std::snprintf(text, size, "View Range: %dHz - %dHz", 0, top);
    } else {
        std::snprintf(text, size, "View Range: N/A");
    }
}

} // namespace

std::vector<std::string> OverlayLines(const OverlayState& s)
{
    std::vector<std::string> lines;
    char text[80];
    if (s.showCpuLoad) {
        std::snprintf(text, sizeof(text), "CPU load: %0d%%", s.cpuLoad);
        lines.emplace_back(text);
    }
    if (s.showAvgCpuLoad) {
        std::snprintf(text, sizeof(text), "Average CPU load: %0.1f%%", double(s.avgCpuLoad));
        lines.emplace_back(text);
    }
    if (s.showStatus) lines.emplace_back(StatusText(s.recording, s.playing));
    if (s.showFrameRate) {
        // The nominal rate of the redraw timer, not a measured one.
        const double fps = s.frameInterval > 0 ? 1000.0 / s.frameInterval : 0.0;
        std::snprintf(text, sizeof(text), "Frame Rate: %0.1ffps", fps);
        lines.emplace_back(text);
    }
    if (s.showViewRange) {
        ViewRangeText(s, text, sizeof(text));
        lines.emplace_back(text);
    }
    // Only over a playback store that holds something, in the waveform view.
    const int32_t frameBytes = s.bitsPerSample / 8 * s.channels;
    if (s.showPosition && s.outputBytes > 0 && s.viewMode == kWaveformView && frameBytes > 0 && s.sampleRate > 0) {
        const float position = float(s.viewPos / frameBytes) / float(s.sampleRate);
        // The subtracted term is the block size in frames divided by the frame
        // size.
        const float length = float(s.outputBytes - s.blockSize / frameBytes) / float(frameBytes * s.sampleRate);
        std::snprintf(text, sizeof(text), "%0.2f Secs of %0.2f", double(position), double(length));
        lines.emplace_back(text);
    }
    return lines;
}

void DrawOverlayLines(Canvas& canvas, int width, int height, const std::vector<std::string>& lines, int lineHeight)
{
    canvas.FillBlack(0, 0, width, height);
    canvas.BeginText(kOverlayYellow);
    int y = kOverlayTextY;
    for (const std::string& line : lines) {
        canvas.Text(kOverlayTextX, y, line.c_str());
        y += lineHeight;
    }
    canvas.EndText();
}
