// What the waveform and spectrum views draw, read back from a recording
// canvas: where the traces lie, which column peaks, what the labels say; and
// the choice of views with the trackbar arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "display/fourier.h"
#include "display/samples.h"
#include "display/spectrum.h"
#include "display/trackbar_scale.h"
#include "display/view_choice.h"
#include "display/waveform.h"
#include "held_lock.h"
#include "platform/recording_canvas.h"
#include "platform/sync.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Strings = std::vector<std::string>;
using Ints = std::vector<int>;

Bytes Mono16(const Ints& samples)
{
    Bytes b;
    for (int s : samples) b.insert(b.end(), {uint8_t(s & 0xff), uint8_t((s >> 8) & 0xff)});
    return b;
}

// The row of a 16-bit sample in a band of 200 pixels from y 0.
int Row16(int sample) { return 100 - int(float(sample) * float(100.0 / 32768.0)); }

struct Waveform {
    RecordingCanvas canvas;
    WaveformState state;
    int anchor = 1;
    Bytes store;
    WaveformSource source;

    explicit Waveform(const Bytes& bytes, int bits = 16, int channels = 1, int blockSize = 256) : store(bytes)
    {
        state.format = {bits, channels, blockSize, 44100};
        state.view = {1.0f, 1.0f, false};
        source = {store.data(), int(store.size()), int(store.size()), &anchor};
    }
    void Draw(int position, int mode = kWaveLive, int width = 100, int y0 = 0)
    {
        DrawWaveform({&canvas, nullptr}, state, source, position, 200, width, 0, y0, mode);
    }
    std::vector<CanvasPoint> Trace(CanvasRgb colour = kTraceGreen) const { return canvas.Traces(colour).back(); }
    // The y of the grid line drawn just before its label.
    int GridLineY(const std::string& label) const
    {
        for (size_t i = 1; i < canvas.ops.size(); ++i)
            if (canvas.ops[i].kind == CanvasOp::Text && canvas.ops[i].text == label) return canvas.ops[i - 1].y;
        return -1;
    }
};

TEST(WaveformView, FullScaleMeetsTheHundredPercentLinesAndTheTimeGridTicks)
{
    // Stereo, the left channel lowest (green), the right highest (red): in
    // the band of 200 pixels from y0 = 10 the lowest sample lies on the
    // -100 % line, the highest one pixel short of the +100 % line.
    const std::pair<int, Bytes> frames[] = {
        {8, {0, 255}}, {16, {0x00, 0x80, 0xff, 0x7f}}, {24, {0x00, 0x00, 0x80, 0xff, 0xff, 0x7f}}};
    for (const auto& [bits, frame] : frames) {
        SCOPED_TRACE(bits);
        Bytes store;
        while (store.size() < 6 * 256) store.insert(store.end(), frame.begin(), frame.end());
        Waveform w(store, bits, 2, 1024);
        w.state.view.showGrid = true;
        w.Draw(0, kWaveLive, 640, 10);
        ASSERT_EQ(w.canvas.Traces(kTraceGreen).size(), 1u);
        EXPECT_EQ((Ints{w.Trace(kTraceGreen)[5].y, w.Trace(kTraceRed)[5].y}), (Ints{210, 11}));
        EXPECT_EQ((Ints{w.GridLineY("+100%"), w.GridLineY("+25%"), w.GridLineY("-50%"), w.GridLineY("-100%")}),
                  (Ints{10, 85, 160, 210}));
        // 1024 frames at 44100 Hz span 23.2 ms of 640 pixels: a tick every 2 ms, 55 pixels.
        EXPECT_EQ(w.canvas.Texts(),
                  (Strings{"-25%", "-50%", "-75%", "-100%", "+25%", "+50%", "+75%", "+100%", "2MS",  "4MS", "6MS",
                           "8MS",  "10MS", "12MS", "14MS",  "16MS", "18MS", "20MS", "22MS",  "24MS", "26MS"}));
        const auto labels = w.canvas.OfKind(CanvasOp::Text);
        EXPECT_EQ((Ints{labels[8]->x, labels[20]->x, labels[20]->y}), (Ints{55 - 10, 13 * 55 - 10, 195}));
    }
}

TEST(WaveformView, ColumnsReadTheZoomedSpanAndStoredSoundWraps)
{
    Ints ramp(2048);
    for (int i = 0; i < 2048; ++i) ramp[size_t(i)] = i * 16;
    Waveform w(Mono16(ramp));
    // Block 256 frames = 512 bytes; zoom 0.5 shows 256 bytes ending at
    // position + 512, so column i reads byte 1256 + i * 256 / 100.
    w.state.view.viewZoom = 0.5f;
    w.Draw(1000);
    for (int i : {0, 1, 50, 99}) EXPECT_EQ(w.Trace()[size_t(i) + 1].y, Row16((1256 + i * 256 / 100) / 2 * 16)) << i;
    EXPECT_EQ(w.canvas.pen, 0u) << "the previous pen is selected back";
    EXPECT_TRUE(w.canvas.Traces(kTraceRed).empty()) << "mono: no right channel";

    w.store[1] = 0x40; // frame 0: 16384, row 50
    w.state.view.viewZoom = 1.0f;
    w.Draw(-256, kWaveStored); // the left half lies before the store's start: nothing there
    auto t = w.Trace();
    ASSERT_EQ(t.size(), 1u + 50u);
    EXPECT_EQ((Ints{t[1].x, t[1].y, t[50].x}), (Ints{50, 50, 99}));
    w.Draw(4096 - 256, kWaveStored); // runs past the end: column 99 reads byte 4346 - 4096
    EXPECT_EQ(w.Trace()[100].y, Row16(125 * 16));

    w.source.filledBytes = 0; // nothing recorded yet: the first sample, flat
    w.Draw(-256);
    t = w.Trace();
    EXPECT_EQ(std::count_if(t.begin() + 1, t.end(), [](CanvasPoint p) { return p.y == 50; }), 100);
}

TEST(WaveformView, TriggerHoldsTheNewestRisingCrossing)
{
    // Every frame at `fill` but 2000 and 2001; drawn at byte 6000.
    const std::tuple<int, int, int, int, bool, int> cases[] = {
        {1000, -100, 50, 1, true, 4002},      // the later, positive sample is nearer zero
        {1000, -50, 50, 1, true, 4000},       // a tie takes the earlier one
        {1000, -10, 50, 1, true, 4000},       //
        {1000, -100, 1000, 5800, true, 5800}, // less than a screen ahead: kept
        {1000, -100, 1000, 1, false, 1},      // nothing runs
        {0, 0, 0, 1, true, 1},                // silence
        {-5, -5, -5, 1, true, 1},             // no positive sample
    };
    for (const auto& [fill, at2000, at2001, anchor, running, expected] : cases) {
        SCOPED_TRACE(std::to_string(at2000) + " anchor " + std::to_string(anchor));
        Ints samples(4096, fill);
        samples[2000] = at2000, samples[2001] = at2001;
        Waveform w(Mono16(samples));
        w.anchor = anchor, w.state.trigger = true, w.state.running = running;
        w.Draw(6000);
        EXPECT_EQ(w.anchor, expected);
        if (!running) continue;
        EXPECT_EQ(w.Trace()[1].y, Row16(ReadSample(SampleOffset(expected, 16, 1, 0), w.store.data(), 16)));
    }
}

TEST(Views, ABusyLockSkipsTheViewWithoutDrawing)
{
    SyncLock* lock = SyncOpenNamedLock(nullptr);
    Waveform w(Mono16(Ints(1024, 0)));
    CFourier analyser(2048);
    {
        HeldElsewhere busy(lock);
        DrawWaveform({&w.canvas, lock}, w.state, w.source, 0, 100, 100, 0, 0, kWaveLive);
        DrawSpectrum({&w.canvas, lock}, SpectrumState{}, analyser, 100, 100, 0, 0);
        EXPECT_TRUE(w.canvas.ops.empty());
    }
    DrawWaveform({&w.canvas, lock}, w.state, w.source, 0, 100, 100, 0, 0, kWaveLive);
    EXPECT_FALSE(w.canvas.ops.empty());
    EXPECT_TRUE(SyncLockWait(lock, 0)) << "released after drawing";
    SyncUnlock(lock);
    SyncCloseLock(lock);
}

struct Spectrum {
    RecordingCanvas canvas;
    CFourier analyser{2048};
    SpectrumState state;
    Spectrum(int sampleRate, int width, bool grid = true)
    {
        analyser.SetSampleRate(sampleRate);
        state.view = {1.0f, 1.0f, grid};
        state.spectrumBins = SpectrumBins(width, 2048, 1.0f);
        state.displayWidth = width;
    }
    void Draw(int height, int width, int y0 = 0)
    {
        canvas.ops.clear();
        DrawSpectrum({&canvas, nullptr}, state, analyser, height, width, 0, y0);
    }
    Strings Labels(const char* unit) const
    {
        Strings found;
        for (const std::string& t : canvas.Texts())
            if (t.find(unit) != std::string::npos) found.push_back(t);
        return found;
    }
};

TEST(SpectrumView, GridFollowsTheSampleRateAndItsLevelsRiseFromTheBottomEdge)
{
    // The third label at x 3 * 72 - 10: 72 pixels per step at both rates, truncated once.
    const std::tuple<int, Strings, int> cases[] = {
        {11025, {"625Hz", "1250Hz", "1875Hz", "2500Hz", "3125Hz", "3750Hz", "4375Hz", "5000Hz"}, 3 * 72 - 10},
        {44100, {"2500Hz", "5000Hz", "7500Hz", "10000Hz", "12500Hz", "15000Hz", "17500Hz", "20000Hz"}, 3 * 72 - 10},
        {0, {}, 0}};
    for (const auto& [rate, labels, thirdX] : cases) {
        Spectrum s(rate, 640);
        s.Draw(205, 640, 10); // level base 200: one pixel per level unit
        EXPECT_EQ(s.Labels("Hz"), labels) << rate;
        EXPECT_EQ(s.canvas.OfKind(CanvasOp::Text)[2]->x, thirdX);
        const Strings db = s.Labels("dB");
        ASSERT_EQ(db.size(), 20u);
        EXPECT_EQ((Strings{db.front(), db.back()}), (Strings{"10dB", "200dB"}));
        EXPECT_EQ(s.canvas.OfKind(CanvasOp::Text).back()->y, 10 + 205 - 200 - 7) << "200 lies 5 pixels below the top";
        const auto t = s.canvas.Traces(kTraceGreen).at(0); // silence: one point per bin, on the zero line
        EXPECT_EQ(std::count_if(t.begin() + 1, t.end(), [](CanvasPoint p) { return p.y == 210; }), 1024);
    }
    Spectrum s(44100, 640);
    s.state.view.amplitudeScale = 4.0f; // upper levels leave the band; the loop stops
    s.Draw(205, 640, 0);
    EXPECT_EQ(s.Labels("dB").size(), 5u);
}

TEST(SpectrumView, ASinePeaksInItsBinsColumn)
{
    Spectrum sine(44100, 600, false);
    const int bin = 46; // about 990 Hz
    for (int i = 0; i < 2048; ++i)
        sine.analyser.m_pInput[i] = float(32767 * std::sin(2 * std::acos(-1.0) * bin * i / 2048));
    sine.analyser.Transform();
    sine.Draw(300, 600);
    auto t = sine.canvas.Traces(kTraceGreen).at(0);
    const auto peak = std::min_element(t.begin() + 1, t.end(), [](auto a, auto b) { return a.y < b.y; });
    EXPECT_EQ(peak->x, int(float(bin) * (600.0f / 1024)));
    EXPECT_NEAR(295 - peak->y, int(std::log(32767.0 * 1024 / std::sqrt(2048.0) / 100 + 1) * 20 * 295 / 200), 1);

    sine.state.view.viewZoom = 1.9f; // zoomed out: more bins, never past the last
    sine.Draw(300, 600);
    t = sine.canvas.Traces(kTraceGreen).at(0);
    EXPECT_EQ(t.size() - 1, size_t(std::ceil(600 / (600.0f / 1024 / 1.9f))));
    EXPECT_LT(t.size() - 1, 2048u);
}

TEST(ViewChoice, SourcesSessionsAndIdleArrangementsAndWhenAFrameIsDrawn)
{
    constexpr int P = 4096, In = kViewInput, Out = kViewOutput;
    // Source, recording, playing, last shown, input and output positions,
    // input wrapped; the views chosen (source, position) and the arrangement.
    const std::pair<ViewChoiceInputs, Ints> cases[] = {
        {{0, false, false, 1, 100, 9000, false, P}, {In, 100 - P, kShownInput}},
        {{1, true, false, 0, 100, 9000, false, P}, {Out, 9000 - P, kShownOutput}},
        {{2, true, true, 0, 5000, 9000, false, P}, {In, 5000 - P, Out, 9000 - P, kShownBoth}},
        {{2, false, true, 0, 5000, 9000, false, P}, {Out, 9000 - P, kShownOutput}},
        {{2, true, false, 2, 5000, 100, false, P}, {In, 5000 - P, kShownInput}},
        {{2, false, false, 1, 5000, 100, false, P}, {Out, 0, kShownOutput}},
        {{2, false, false, 0, 100, 9000, false, P}, {In, 0, kShownInput}},
        {{2, false, false, 2, 100, 100, true, P}, {In, 0, Out, 0, kShownBoth}},
        {{2, false, false, 2, 100, 9000, false, P}, {In, 100 - P, Out, 9000 - P, kShownBoth}}};
    for (const auto& [in, expected] : cases) {
        const ViewChoice v = ChooseViews(in);
        Ints got;
        for (int i = 0; i < v.count; ++i) got.insert(got.end(), {v.views[i].source, v.views[i].position});
        got.push_back(v.arrangement);
        EXPECT_EQ(got, expected) << in.displaySource << in.recording << in.playing << in.lastDisplayed;
    }

    // A frame needs the first view's analyser and every chosen view's store.
    const ViewChoice both = ChooseViews({2, true, true, 0, 0, 0, false, 0});
    const ViewChoice output = ChooseViews({1, false, false, 0, 0, 0, false, 0});
    const std::tuple<const ViewChoice&, bool, bool, bool, bool, bool> frames[] = {
        {both, true, true, true, false, true},
        {both, true, false, true, true, false},
        {both, true, true, false, true, false},
        {output, false, true, false, true, true},
        {output, true, false, true, true, false}};
    for (const auto& [v, inStore, outStore, inAnalyser, outAnalyser, drawable] : frames)
        EXPECT_EQ(FrameDrawable(v, inStore, outStore, inAnalyser, outAnalyser), drawable);
    EXPECT_EQ((Ints{ViewHeight(both, 301), ViewHeight(output, 301)}), (Ints{150, 301}));
}

TEST(Trackbars, PositionsMapToScaleZoomAndBins)
{
    EXPECT_EQ((std::vector<float>{AmplitudeScaleAt(-3), AmplitudeScaleAt(1), ViewZoomAt(-90), ViewZoomAt(50)}),
              (std::vector<float>{2.0f, 0.9f, 1.9f, 0.5f}));
    // Zoom 1 shows every bin, whatever the width's rounding.
    for (int width : {1, 300, 614, 1000, 1920}) EXPECT_EQ(SpectrumBins(width, 2048, 1.0f), 1024) << width;
    EXPECT_EQ(SpectrumBins(600, 2048, 0.5f), 512);
}

} // namespace
