// What the waveform and spectrum views draw, read back from a recording
// canvas: grid lines and labels, trace points, the trigger and the skipped
// frame; and the choice of views with the trackbar arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <future>
#include <string>
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

Bytes Mono16(const std::vector<int>& samples)
{
    Bytes b;
    for (int s : samples) {
        b.push_back(uint8_t(s & 0xff));
        b.push_back(uint8_t((s >> 8) & 0xff));
    }
    return b;
}

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
    void Draw(int position, int mode = kWaveLive, int height = 200, int width = 100, int y0 = 0)
    {
        DrawWaveform({&canvas, nullptr}, state, source, position, height, width, 0, y0, mode);
    }
    std::vector<CanvasPoint> Trace(CanvasRgb colour = kTraceGreen) const
    {
        auto traces = canvas.Traces(colour);
        return traces.empty() ? std::vector<CanvasPoint>{} : traces.back();
    }
    // The horizontal grid line whose label is the text.
    int GridLineY(const std::string& label) const
    {
        const auto& ops = canvas.ops;
        for (size_t i = 0; i < ops.size(); ++i)
            if (ops[i].kind == CanvasOp::Text && ops[i].text == label) return ops[i - 1].y;
        return -1;
    }
};

TEST(WaveformView, FullScaleSamplesMeetTheHundredPercentLines)
{
    // Mid is 100 pixels below y0 = 10; a -32768 sample sits on the lower
    // 100 % line, +32767 one pixel short of the upper one.
    Waveform w(Mono16(std::vector<int>(256, -32768)));
    w.state.view.showGrid = true;
    w.Draw(0, kWaveLive, 200, 100, 10);
    const auto low = w.Trace();
    EXPECT_EQ(w.GridLineY("-100%"), 210);
    EXPECT_EQ(low[1].y, 210);
    EXPECT_EQ(w.GridLineY("+100%"), 10);
    EXPECT_EQ(w.GridLineY("+25%"), 85);
    EXPECT_EQ(w.GridLineY("-50%"), 160);

    Waveform high(Mono16(std::vector<int>(256, 32767)));
    high.Draw(0, kWaveLive, 200, 100, 10);
    EXPECT_EQ(high.Trace()[1].y, 11);
}

TEST(WaveformView, ResolutionsScaleToTheirFullRange)
{
    // 8 bits spread 255 steps over the whole band; 24 bits fill half of it.
    const struct {
        int bits;
        Bytes sample;
        int expectedY;
    } cases[] = {{8, Bytes(256, 0), 100 - int(-128 * float(200.0 / 255.0))},
                 {8, Bytes(256, 255), 100 - int(127 * float(200.0 / 255.0))},
                 {24, {0x00, 0x00, 0x80}, 200},
                 {24, {0xff, 0xff, 0x7f}, 1}};
    for (const auto& c : cases) {
        Bytes store;
        while (store.size() < 3 * 256) store.insert(store.end(), c.sample.begin(), c.sample.end());
        Waveform w(store, c.bits);
        w.Draw(0);
        EXPECT_EQ(w.Trace()[5].y, c.expectedY) << c.bits << " bits";
    }
}

TEST(WaveformView, EmptyLiveStoreShowsItsFirstSampleFlat)
{
    Bytes cleared(1024, 128);
    cleared[0] = 200;
    Waveform w(cleared, 8);
    w.source.filledBytes = 0;
    w.Draw(-256);
    const auto trace = w.Trace();
    ASSERT_EQ(trace.size(), 101u);
    const int y = 100 - int(72 * float(200.0 / 255.0));
    for (size_t i = 1; i < trace.size(); ++i) EXPECT_EQ(trace[i].y, y);
    EXPECT_EQ((std::vector<int>{trace[0].x, trace[0].y}), (std::vector<int>{0, 100})) << "starts at the centre";
}

TEST(WaveformView, ColumnsReadOneSampleEachAcrossTheZoomedWidth)
{
    std::vector<int> ramp(2048);
    for (int i = 0; i < 2048; ++i) ramp[size_t(i)] = i * 16;
    // Block 256 frames = 512 bytes; zoom 0.5 shows 256 bytes ending at
    // position + 512, so the 100 columns read frames 128 + i * 128 / 100.
    Waveform w(Mono16(ramp));
    w.state.view.viewZoom = 0.5f;
    w.Draw(1000);
    const auto t = w.Trace();
    const float scale = float(100.0 / 32768.0);
    for (int i : {0, 1, 50, 99})
        EXPECT_EQ(t[size_t(i) + 1].y, 100 - int(float((1256 + i * 256 / 100) / 2 * 16) * scale)) << i;
}

TEST(WaveformView, StoredSoundBeforeTheStoreStartDrawsNothing)
{
    std::vector<int> ramp(512);
    for (int i = 0; i < 512; ++i) ramp[size_t(i)] = i * 64;
    Waveform w(Mono16(ramp));
    const float scale = float(100.0 / 32768.0);
    w.Draw(-256, kWaveStored); // the left half lies before offset 0
    const auto t = w.Trace();
    ASSERT_EQ(t.size(), 1u + 50u);
    EXPECT_EQ((std::vector<int>{t[1].x, t[1].y, t[50].x}), (std::vector<int>{50, 100, 99}));

    w.Draw(1024 - 256, kWaveStored); // runs past the end: wraps to the start
    ASSERT_EQ(w.Trace().size(), 101u);
    EXPECT_EQ(w.Trace()[100].y, 100 - int(float(125 * 64) * scale)) << "column 99 reads byte 1274 - 1024";
}

TEST(WaveformView, TriggerPlacesTheCrossingOnTheSampleNearerZero)
{
    // Everything positive except frame 2000; frame 2001 follows at +50.
    const struct {
        int negative;
        int expectedAnchor;
    } cases[] = {{-100, 4002}, // the later, positive sample is nearer zero
                 {-50, 4000},  // a tie takes the earlier one
                 {-10, 4000}};
    for (const auto& c : cases) {
        std::vector<int> samples(4096, 1000);
        samples[2000] = c.negative;
        samples[2001] = 50;
        Waveform w(Mono16(samples));
        const Bytes& store = w.store;
        w.state.trigger = true;
        w.state.running = true;
        w.Draw(6000);
        EXPECT_EQ(w.anchor, c.expectedAnchor) << c.negative;
        EXPECT_EQ(w.Trace()[1].y,
                  100 - int(float(ReadSample(c.expectedAnchor, store.data(), 16)) * float(100.0 / 32768.0)));
    }
}

TEST(WaveformView, TriggerKeepsItsAnchorWithinAScreenAndOnSilenceAndWhenIdle)
{
    std::vector<int> samples(4096, 1000);
    samples[2000] = -100;
    const struct {
        int anchor;
        int position;
        bool running;
        const Bytes store;
        int expectedAnchor;
    } cases[] = {{5800, 6000, true, Mono16(samples), 5800},              // less than a screen ahead
                 {1, 6000, true, Mono16(std::vector<int>(4096, 0)), 1},  // silence
                 {1, 6000, true, Mono16(std::vector<int>(4096, -5)), 1}, // no positive sample
                 {1, 6000, false, Mono16(samples), 1},                   // nothing runs
                 {1, 6000, true, Mono16(samples), 4000}};
    for (const auto& c : cases) {
        Waveform w(c.store);
        w.anchor = c.anchor;
        w.state.trigger = true;
        w.state.running = c.running;
        w.Draw(c.position);
        EXPECT_EQ(w.anchor, c.expectedAnchor) << c.anchor << " " << c.position;
    }
}

TEST(WaveformView, TimeGridAt44100HzTicksEveryTwoMilliseconds)
{
    Waveform w(Mono16(std::vector<int>(2048, 0)), 16, 1, 1024);
    w.state.view.showGrid = true;
    w.Draw(0, kWaveLive, 200, 640);
    const Strings texts = w.canvas.Texts();
    const Strings expected = {"-25%", "-50%", "-75%", "-100%", "+25%", "+50%", "+75%", "+100%", "2MS",  "4MS", "6MS",
                              "8MS",  "10MS", "12MS", "14MS",  "16MS", "18MS", "20MS", "22MS",  "24MS", "26MS"};
    EXPECT_EQ(texts, expected);
    // 640 pixels span 23.2 ms: 2 ms are 55 pixels.
    const auto labels = w.canvas.OfKind(CanvasOp::Text);
    EXPECT_EQ(labels[8]->x, 55 - 10);
    EXPECT_EQ(labels[20]->x, 13 * 55 - 10);
    EXPECT_EQ(labels[20]->y, 185);
}

TEST(WaveformView, StereoDrawsGreenThenRedAndMonoOnlyGreen)
{
    Bytes stereo = Mono16({1000, -1000, 1000, -1000});
    while (stereo.size() < 4096) stereo.insert(stereo.end(), stereo.begin(), stereo.begin() + 8);
    Waveform two(stereo, 16, 2);
    two.Draw(0);
    ASSERT_EQ(two.canvas.Traces(kTraceGreen).size(), 1u);
    ASSERT_EQ(two.canvas.Traces(kTraceRed).size(), 1u);
    EXPECT_LT(two.Trace(kTraceGreen)[10].y, 100);
    EXPECT_GT(two.Trace(kTraceRed)[10].y, 100);
    EXPECT_EQ(two.canvas.pen, 0u) << "the previous pen is selected back";

    Waveform one(stereo, 16, 1);
    one.Draw(0);
    EXPECT_EQ(one.canvas.Traces(kTraceRed).size(), 0u);
}

TEST(Views, ABusyLockSkipsTheViewWithoutDrawing)
{
    SyncLock* lock = SyncOpenNamedLock(nullptr);
    const Bytes store = Mono16(std::vector<int>(1024, 0));
    Waveform w(store);
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
    Spectrum(int sampleRate, int width)
    {
        analyser.SetSampleRate(sampleRate);
        state.view = {1.0f, 1.0f, true};
        state.spectrumBins = SpectrumBins(width, 2048, 1.0f);
        state.displayWidth = width;
    }
    void Draw(int height, int width, int y0 = 0)
    {
        DrawSpectrum({&canvas, nullptr}, state, analyser, height, width, 0, y0);
    }
};

Strings HzLabels(const RecordingCanvas& c)
{
    Strings hz;
    for (const std::string& t : c.Texts())
        if (t.find("Hz") != std::string::npos) hz.push_back(t);
    return hz;
}

TEST(SpectrumView, FrequencyGridFollowsTheSampleRate)
{
    const struct {
        int rate;
        Strings labels;
    } cases[] = {{11025, {"625Hz", "1250Hz", "1875Hz", "2500Hz", "3125Hz", "3750Hz", "4375Hz", "5000Hz"}},
                 {44100, {"2500Hz", "5000Hz", "7500Hz", "10000Hz", "12500Hz", "15000Hz", "17500Hz", "20000Hz"}},
                 {0, {}}};
    for (const auto& c : cases) {
        Spectrum s(c.rate, 640);
        s.Draw(300, 640);
        EXPECT_EQ(HzLabels(s.canvas), c.labels) << c.rate;
    }
    Spectrum s(11025, 640); // 640 / 5512 Hz: 72 pixels per 625 Hz, truncated once
    s.Draw(300, 640);
    const auto texts = s.canvas.OfKind(CanvasOp::Text);
    EXPECT_EQ(texts[2]->x, 3 * 72 - 10);
    EXPECT_EQ(texts[2]->y, 0);
}

TEST(SpectrumView, LevelLinesRiseFromTheBottomEdge)
{
    Spectrum s(44100, 640);
    s.Draw(205, 640, 10); // base 200: one pixel per level unit
    Strings db;
    for (const std::string& t : s.canvas.Texts())
        if (t.find("dB") != std::string::npos) db.push_back(t);
    ASSERT_EQ(db.size(), 20u);
    EXPECT_EQ(db.front(), "10dB");
    EXPECT_EQ(db.back(), "200dB");
    const auto texts = s.canvas.OfKind(CanvasOp::Text);
    EXPECT_EQ(texts.back()->y, 10 + 205 - 200 - 7) << "200 lies 5 pixels below the top";

    s.state.view.amplitudeScale = 4.0f; // upper levels leave the band; the loop stops
    s.canvas.ops.clear();
    s.Draw(205, 640, 0);
    EXPECT_EQ(s.canvas.Texts().size() - HzLabels(s.canvas).size(), 5u);
}

TEST(SpectrumView, SilenceRunsAlongTheZeroLineFromTheBottomCorner)
{
    Spectrum s(44100, 500);
    s.state.view.showGrid = false;
    s.Draw(100, 500, 100);
    const auto traces = s.canvas.Traces(kTraceGreen);
    ASSERT_EQ(traces.size(), 1u);
    const auto& t = traces[0];
    EXPECT_EQ((std::vector<int>{t[0].x, t[0].y}), (std::vector<int>{0, 200}));
    ASSERT_EQ(t.size(), 1u + 1024u) << "one point per bin across the width";
    for (size_t i = 1; i < t.size(); ++i) ASSERT_EQ(t[i].y, 195);
    EXPECT_EQ(t[1].x, 0);
}

TEST(SpectrumView, ASineDrawsItsPeakInItsBinsColumnAndZoomShowsMoreBins)
{
    Spectrum s(44100, 600);
    s.state.view.showGrid = false;
    const int bin = 46; // about 990 Hz
    const double pi = std::acos(-1.0);
    for (int i = 0; i < 2048; ++i) s.analyser.m_pInput[i] = float(32767 * std::sin(2 * pi * bin * i / 2048));
    s.analyser.Transform();
    s.Draw(300, 600);
    auto t = s.canvas.Traces(kTraceGreen)[0];
    const auto peak = std::min_element(t.begin() + 1, t.end(), [](auto a, auto b) { return a.y < b.y; });
    EXPECT_EQ(peak->x, int(float(bin) * (600.0f / 1024)));
    EXPECT_NEAR(295 - peak->y, int(std::log(32767.0 * 1024 / std::sqrt(2048.0) / 100 + 1) * 20 * 295 / 200), 1);

    s.state.view.viewZoom = 1.9f;
    s.canvas.ops.clear();
    s.Draw(300, 600);
    t = s.canvas.Traces(kTraceGreen)[0];
    EXPECT_EQ(t.size() - 1, size_t(std::ceil(600 / (600.0f / 1024 / 1.9f))));
    EXPECT_LT(t.size() - 1, 2048u) << "never past the last bin";
}

TEST(ViewChoice, TableOfSourcesSessionsAndIdleArrangements)
{
    constexpr int P = 4096, In = kViewInput, Out = kViewOutput;
    const struct {
        int source;
        bool rec, play;
        int last;
        int inPos, outPos;
        bool wrapped;
        std::vector<int> expected;
        int arrangement;
    } cases[] = {{0, false, false, 1, 100, 9000, false, {In, 100 - P}, kShownInput},
                 {1, true, false, 0, 100, 9000, false, {Out, 9000 - P}, kShownOutput},
                 {2, true, true, 0, 5000, 9000, false, {In, 5000 - P, Out, 9000 - P}, kShownBoth},
                 {2, false, true, 0, 5000, 9000, false, {Out, 9000 - P}, kShownOutput},
                 {2, true, false, 2, 5000, 100, false, {In, 5000 - P}, kShownInput},
                 {2, false, false, 1, 5000, 100, false, {Out, 0}, kShownOutput},
                 {2, false, false, 0, 100, 9000, false, {In, 0}, kShownInput},
                 {2, false, false, 2, 100, 100, true, {In, 0, Out, 0}, kShownBoth},
                 {2, false, false, 2, 100, 9000, false, {In, 100 - P, Out, 9000 - P}, kShownBoth}};
    for (const auto& c : cases) {
        const ViewChoice v = ChooseViews({c.source, c.rec, c.play, c.last, c.inPos, c.outPos, c.wrapped, P});
        std::vector<int> got;
        for (int i = 0; i < v.count; ++i) got.insert(got.end(), {v.views[i].source, v.views[i].position});
        EXPECT_EQ(got, c.expected) << c.source << c.rec << c.play << c.last;
        EXPECT_EQ(v.arrangement, c.arrangement);
    }
}

TEST(ViewChoice, AFrameNeedsTheFirstAnalyserAndEveryChosenStore)
{
    const ViewChoice both = ChooseViews({2, true, true, 0, 0, 0, false, 0});
    const ViewChoice output = ChooseViews({1, false, false, 0, 0, 0, false, 0});
    const struct {
        const ViewChoice& v;
        bool inStore, outStore, inAnalyser, outAnalyser, drawable;
    } cases[] = {{both, true, true, true, false, true},    {both, true, false, true, true, false},
                 {both, false, true, true, true, false},   {both, true, true, false, true, false},
                 {output, false, true, false, true, true}, {output, true, false, true, true, false}};
    for (const auto& c : cases)
        EXPECT_EQ(FrameDrawable(c.v, c.inStore, c.outStore, c.inAnalyser, c.outAnalyser), c.drawable);
    EXPECT_EQ(ViewHeight(both, 301), 150);
    EXPECT_EQ(ViewHeight(output, 301), 301);
}

TEST(Trackbars, PositionsMapToScaleZoomAndBins)
{
    const struct {
        int position;
        float amplitude;
    } amplitude[] = {{-10, float(1 + 10 / 3.0)}, {-3, 2.0f}, {0, 1.0f}, {1, 0.9f}, {10, 0.0f}};
    for (const auto& c : amplitude) EXPECT_EQ(AmplitudeScaleAt(c.position), c.amplitude) << c.position;
    const struct {
        int position;
        float zoom;
    } zoom[] = {{-90, 1.9f}, {0, 1.0f}, {50, 0.5f}, {90, float(1 - 0.9)}};
    for (const auto& c : zoom) EXPECT_EQ(ViewZoomAt(c.position), c.zoom) << c.position;
    for (int width : {1, 300, 614, 1000, 1920}) EXPECT_EQ(SpectrumBins(width, 2048, 1.0f), 1024) << width;
    EXPECT_EQ(SpectrumBins(600, 2048, 0.5f), 512);
    EXPECT_EQ(SpectrumBins(600, 2048, 1.9f), int(600 / float(600.0 / 1024 / double(1.9f))));
}

} // namespace
