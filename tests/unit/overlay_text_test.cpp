// The overlay's lines: which are shown, in what order, and their formats.
#include "display/overlay_text.h"
#include "platform/recording_canvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

OverlayState AllOn()
{
    OverlayState s;
    s.cpuLoad = 37;
    s.avgCpuLoad = 41.26f;
    s.sampleRate = 44100;
    s.channels = 2;
    s.bitsPerSample = 16;
    s.blockSize = 1024;
    return s;
}

// Every line off but one (none for null).
void OnlyLine(OverlayState& s, bool OverlayState::*line)
{
    for (bool OverlayState::*flag :
         {&OverlayState::showCpuLoad, &OverlayState::showAvgCpuLoad, &OverlayState::showStatus,
          &OverlayState::showFrameRate, &OverlayState::showViewRange, &OverlayState::showPosition})
        s.*flag = flag == line;
}

TEST(OverlayText, LinesByFlagsStateAndView)
{
    struct Case {
        const char* what;
        std::function<void(OverlayState&)> change;
        Lines lines;
    };
    const std::vector<Case> cases = {
        {"defaults, idle, waveform",
         [](OverlayState&) {},
         {"CPU load: 37%", "Average CPU load: 41.3%", "Status: Idle", "Frame Rate: 20.0fps", "View Range: 23.2ms"}},
        {"every flag off",
         [](OverlayState& s) {
             OnlyLine(s, nullptr);
             s.outputBytes = 4096;
         },
         {}},
        {"average off: the status moves up a line",
         [](OverlayState& s) {
             s.showAvgCpuLoad = s.showFrameRate = s.showViewRange = false;
             s.recording = true;
         },
         {"CPU load: 37%", "Status: Recording"}},
        {"both running, slowest frame speed, zoomed in",
         [](OverlayState& s) {
             s.recording = s.playing = true;
             s.frameInterval = 1000;
             s.viewZoom = 0.25f;
         },
         {"CPU load: 37%", "Average CPU load: 41.3%", "Status: Playback & Recording", "Frame Rate: 1.0fps",
          "View Range: 5.8ms"}},
        {"playback, 30 ms frames",
         [](OverlayState& s) {
             s.playing = true;
             s.frameInterval = 30;
             s.showCpuLoad = s.showAvgCpuLoad = s.showViewRange = false;
         },
         {"Status: Playback", "Frame Rate: 33.3fps"}},
        {"spectrum: 0 to the top frequency of the bins shown",
         [](OverlayState& s) {
             s.viewMode = 1;
             s.analyserRate = 44100;
             s.analyserSize = 4096;
             s.spectrumBins = 1000;
             s.outputBytes = 4096; // no position line outside the waveform view
         },
         {"CPU load: 37%", "Average CPU load: 41.3%", "Status: Idle", "Frame Rate: 20.0fps",
          "View Range: 0Hz - 10766Hz"}},
        {"spectrum with every bin",
         [](OverlayState& s) {
             OnlyLine(s, &OverlayState::showViewRange);
             s.viewMode = 1;
             s.analyserRate = 44100;
             s.analyserSize = 4096;
             s.spectrumBins = 4096;
         },
         {"View Range: 0Hz - 0Hz"}},
        {"no view",
         [](OverlayState& s) {
             OnlyLine(s, &OverlayState::showViewRange);
             s.viewMode = 2;
         },
         {"View Range: N/A"}},
        {"position over what was played: 1.5 s into 10 s at CD quality",
         [](OverlayState& s) {
             OnlyLine(s, &OverlayState::showPosition);
             s.viewPos = 264600 + 2; // not on a frame: the frame count is truncated
             s.outputBytes = 1764000 + 256;
         },
         {"1.50 Secs of 10.00"}},
        {"position at 8-bit mono 11025 Hz",
         [](OverlayState& s) {
             OnlyLine(s, &OverlayState::showPosition);
             s.sampleRate = 11025;
             s.channels = 1;
             s.bitsPerSample = 8;
             s.blockSize = 512;
             s.viewPos = 11025;
             s.outputBytes = 22050 + 512;
         },
         {"1.00 Secs of 2.00"}},
        {"nothing played: no position",
         [](OverlayState& s) {
             OnlyLine(s, &OverlayState::showPosition);
             s.viewPos = 4096;
         },
         {}},
    };
    for (const Case& c : cases) {
        OverlayState s = AllOn();
        c.change(s);
        EXPECT_EQ(OverlayLines(s), c.lines) << c.what;
    }
}

// Each line at x 40, from y 10 down, one line height apart, in yellow over a
// blackened overlay.
TEST(OverlayText, LinesAreLaidDownTheOverlayInYellow)
{
    RecordingCanvas canvas;
    DrawOverlayLines(canvas, 300, 140, {"CPU load: 12%", "Status: Idle", "View Range: N/A"}, 20);
    ASSERT_EQ(canvas.ops.size(), 6u);
    EXPECT_EQ(canvas.ops[0].kind, CanvasOp::FillBlack);
    EXPECT_EQ(std::vector<int>({canvas.ops[0].x, canvas.ops[0].y, canvas.ops[0].width, canvas.ops[0].height}),
              std::vector<int>({0, 0, 300, 140}));
    EXPECT_EQ(canvas.ops[1].kind, CanvasOp::BeginText);
    EXPECT_EQ(canvas.ops[1].colour, CanvasColour(255, 255, 0));
    for (int i = 0; i < 3; ++i) {
        const CanvasOp& text = canvas.ops[2 + i];
        EXPECT_EQ(text.kind, CanvasOp::Text);
        EXPECT_EQ(std::make_pair(text.x, text.y), std::make_pair(40, 10 + 20 * i)) << text.text;
    }
    EXPECT_EQ(canvas.Texts(), std::vector<std::string>({"CPU load: 12%", "Status: Idle", "View Range: N/A"}));
    EXPECT_EQ(canvas.ops[5].kind, CanvasOp::EndText);
}

} // namespace
