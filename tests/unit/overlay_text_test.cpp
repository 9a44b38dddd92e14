// The overlay's lines: which are shown, in what order, their formats, and
// where they are laid.
#include "display/overlay_text.h"
#include "platform/recording_canvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
using S = OverlayState;

// Every line off but one.
void Only(S& s, bool S::*line)
{
    for (bool S::*flag :
         {&S::showCpuLoad, &S::showAvgCpuLoad, &S::showStatus, &S::showFrameRate, &S::showViewRange, &S::showPosition})
        s.*flag = flag == line;
}

TEST(OverlayText, LinesByFlagsStateAndView)
{
    const struct {
        const char* what;
        std::function<void(S&)> change;
        Lines lines;
    } cases[] = {
        {"defaults, idle, waveform",
         [](S&) {},
         {"CPU load: 37%", "Average CPU load: 41.3%", "Status: Idle", "Frame Rate: 20.0fps", "View Range: 23.2ms"}},
        {"every flag off", [](S& s) { Only(s, nullptr), s.outputBytes = 4096; }, {}},
        {"average off: the status moves up",
         [](S& s) { Only(s, &S::showCpuLoad), s.showStatus = s.recording = true; },
         {"CPU load: 37%", "Status: Recording"}},
        {"both running, 1 s frames, zoomed in",
         [](S& s) { s.recording = s.playing = true, s.frameInterval = 1000, s.viewZoom = 0.25f; },
         {"CPU load: 37%", "Average CPU load: 41.3%", "Status: Playback & Recording", "Frame Rate: 1.0fps",
          "View Range: 5.8ms"}},
        {"playback, 30 ms frames",
         [](S& s) { Only(s, &S::showStatus), s.showFrameRate = s.playing = true, s.frameInterval = 30; },
         {"Status: Playback", "Frame Rate: 33.3fps"}},
        {"spectrum: up to the top bin shown; no position outside the waveform",
         [](S& s) { s.viewMode = 1, s.analyserRate = 44100, s.analyserSize = 4096, s.spectrumBins = 1000; },
         {"CPU load: 37%", "Average CPU load: 41.3%", "Status: Idle", "Frame Rate: 20.0fps",
          "View Range: 0Hz - 10766Hz"}},
        {"spectrum with every bin",
         [](S& s) {
             Only(s, &S::showViewRange), s.viewMode = 1, s.analyserRate = 44100, s.analyserSize = s.spectrumBins = 4096;
         },
         {"View Range: 0Hz - 0Hz"}},
        {"no view", [](S& s) { Only(s, &S::showViewRange), s.viewMode = 2; }, {"View Range: N/A"}},
        {"1.5 s into 10 s at CD quality, off a frame",
         [](S& s) { Only(s, &S::showPosition), s.viewPos = 264600 + 2, s.outputBytes = 1764000 + 256; },
         {"1.50 Secs of 10.00"}},
        {"8-bit mono 11025 Hz",
         [](S& s) {
             Only(s, &S::showPosition), s.sampleRate = 11025, s.channels = 1, s.bitsPerSample = 8, s.blockSize = 512;
             s.viewPos = 11025, s.outputBytes = 22050 + 512;
         },
         {"1.00 Secs of 2.00"}},
        {"nothing played: no position", [](S& s) { Only(s, &S::showPosition), s.viewPos = 4096; }, {}},
    };
    for (const auto& c : cases) {
        S s;
        s.cpuLoad = 37, s.avgCpuLoad = 41.26f, s.sampleRate = 44100, s.channels = 2, s.bitsPerSample = 16;
        s.blockSize = 1024;
        c.change(s);
        EXPECT_EQ(OverlayLines(s), c.lines) << c.what;
    }
}

TEST(OverlayText, LinesAreLaidDownTheOverlayInYellow)
{
    RecordingCanvas canvas;
    DrawOverlayLines(canvas, 300, 140, {"CPU load: 12%", "Status: Idle"}, 20);
    const auto fill = canvas.OfKind(CanvasOp::FillBlack), text = canvas.OfKind(CanvasOp::Text);
    ASSERT_TRUE(fill.size() == 1 && text.size() == 2);
    EXPECT_EQ((std::vector<int>{fill[0]->width, fill[0]->height, text[0]->x, text[0]->y, text[1]->x, text[1]->y}),
              (std::vector<int>{300, 140, 40, 10, 40, 30}));
    EXPECT_EQ(canvas.OfKind(CanvasOp::BeginText).at(0)->colour, CanvasColour(255, 255, 0));
    EXPECT_EQ(canvas.Texts(), (Lines{"CPU load: 12%", "Status: Idle"}));
}

} // namespace
