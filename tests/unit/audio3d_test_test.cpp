// The 3D test without its window, on fake DirectX and a fake DirectSound 3D:
// setting up the 3D path, the content file on it, the source's motion and the
// tear-down; and its arithmetic: the settings scale, the source's path, the
// clock over months of uptime, and the cross on the grid picture.
#include "dxtests/audio3d_test.h"

#include "fake_directx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr HResult kDsErrNoDriver = static_cast<HResult>(0x88780078u);
constexpr double kPi = 3.14159265358979323846;

// A picture of distinct colours; touching a pixel outside it fails the test.
class Raster : public PixelSurface {
public:
    Raster(int width, int height) : w(width), h(height), pixels(size_t(width) * height)
    {
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0x10000u + uint32_t(i) * 7;
    }
    int Width() const override { return w; }
    int Height() const override { return h; }
    uint32_t PixelAt(int x, int y) override { return pixels.at(Index(x, y)); }
    void PutPixel(int x, int y, uint32_t colour) override { pixels.at(Index(x, y)) = colour; }
    size_t Index(int x, int y) const
    {
        EXPECT_TRUE(x >= 0 && x < w && y >= 0 && y < h) << x << "," << y;
        return size_t(y) * w + x;
    }
    int w, h;
    std::vector<uint32_t> pixels;
};

// The picture should be the original with only the visible part of the cross at centre painted.
void ExpectOnlyCross(const Raster& now, const Raster& original, MarkerPoint centre, const std::string& where)
{
    std::vector<uint32_t> expected = original.pixels;
    for (const MarkerPoint& o : kCrossOffsets) {
        const int x = centre.x + o.x, y = centre.y + o.y;
        if (x >= 0 && x < original.w && y >= 0 && y < original.h) expected[size_t(y) * original.w + x] = kMarkerColour;
    }
    EXPECT_EQ(now.pixels, expected) << where;
}

// FakeDirectX with a fake DirectSound 3D beside it, answering from the same
// results; the 3D path is FakeDirectX's "given" path. A test state is begun,
// and released before the fakes go.
struct Fakes;
Fakes* g_fakes = nullptr;
char s_tags[2]; // the source and the listener

struct Fakes {
    FakeDirectX dx;
    DirectXCalls dxCalls = GetDirectXCalls();
    Ds3dBuffer sourceStart{}, source{}; // what the source reports first; the last record and place handed over
    int positions = 0;                  // moves handed over
    std::string heldAtUninitialize = "COM never uninitialised";
    explicit Fakes(bool ready = false); // ready: set up, with the log cleared
    ~Fakes()
    {
        Release3DAudio();
        SetAudio3DCalls(nullptr);
        g_fakes = nullptr;
    }
    bool Called(const std::string& call) const { return std::count(dx.log.begin(), dx.log.end(), call) > 0; }
};

HResult Log(const char* call) { return g_fakes->dx.Call(call); }
IDirectSound3DBuffer* Source() { return reinterpret_cast<IDirectSound3DBuffer*>(&s_tags[0]); }
IDirectSound3DListener* Listener() { return reinterpret_cast<IDirectSound3DListener*>(&s_tags[1]); }

const Audio3DCalls kFake3D = {
    [](IDirectMusicPerformance8* p, uint32_t type, uint32_t, IDirectMusicAudioPath8** path) {
        EXPECT_TRUE(p == FakeDirectX::Performance() && type == kPathDynamic3D);
        return Handed(Log("createStandardAudioPath"), path, FakeDirectX::GivenPath());
    },
    [](IDirectMusicAudioPath8*, IDirectSound3DBuffer** s) { return Handed(Log("getSourceBuffer"), s, Source()); },
    [](IDirectMusicAudioPath8*, IDirectSound3DListener** l) { return Handed(Log("getListener"), l, Listener()); },
    [](IDirectSound3DBuffer*, Ds3dBuffer* r) {
        EXPECT_EQ(r->dwSize, sizeof(Ds3dBuffer));
        const HResult hr = Log("getSourceParameters");
        if (Succeeded(hr)) *r = g_fakes->sourceStart, r->dwSize = sizeof(Ds3dBuffer);
        return hr;
    },
    [](IDirectSound3DBuffer*, const Ds3dBuffer* r, uint32_t) {
        return g_fakes->source = *r, Log("setSourceParameters");
    },
    [](IDirectSound3DBuffer*, float x, float y, float z, uint32_t) {
        ++g_fakes->positions;
        g_fakes->source.vPosition = {x, y, z};
        return Log("setSourcePosition");
    },
    [](IDirectSound3DBuffer*, float, float, float, uint32_t) { return Log("setSourceVelocity"); },
    [](IDirectSound3DListener*, Ds3dListener* r) {
        EXPECT_EQ(r->dwSize, sizeof(Ds3dListener));
        return Log("getListenerParameters");
    },
    [](IDirectSound3DListener*, const Ds3dListener*, uint32_t) { return Log("setListenerParameters"); },
    [](IDirectSound3DListener*) { return Log("commitDeferredSettings"); },
};

Fakes::Fakes(bool ready)
{
    g_fakes = this;
    // Whatever was obtained is released before COM goes.
    dxCalls.coUninitialize = [] { g_fakes->heldAtUninitialize = g_fakes->dx.Held(); };
    SetDirectXCalls(&dxCalls);
    SetAudio3DCalls(&kFake3D);
    Begin3DTest();
    if (!ready) return;
    EXPECT_EQ(Init3DAudio(nullptr), kSOk);
    dx.log.clear();
}

TEST(Test3D, InitReturnsTheFirstFailureAndTearDownReleasesWhateverItObtained)
{
    // The call that fails, its answer, what Init3DAudio returns.
    const std::tuple<const char*, HResult, HResult> cases[] = {
        {"", kSOk, kSOk},
        {"initAudio", kDsErrNoDriver, kDsErrNoDriver},
        {"createStandardAudioPath", kEFail, kEFail},
        {"getSourceBuffer", kEFail, kEFail},
        {"getListener", kEFail, kEFail},
        // The records are read and written without a check.
        {"getSourceParameters", kEFail, kSOk},
        {"setSourceParameters", kEFail, kSOk},
        {"getListenerParameters", kEFail, kSOk},
    };
    for (const auto& [failing, code, returned] : cases) {
        SCOPED_TRACE(failing);
        Fakes f;
        f.dx.results[failing] = code;
        f.sourceStart.flMaxDistance = 1e9f;
        EXPECT_EQ(Init3DAudio(nullptr), returned);
        if (returned != kSOk) {
            EXPECT_EQ(f.dx.log.back().rfind(failing, 0), 0u) << "a call after the failure";
        }
        if (code == kSOk) {
            EXPECT_TRUE(g_Test3D.pSource == Source() && g_Test3D.pListener == Listener());
            // The source moves around the listener's head; the rest is the platform's.
            EXPECT_EQ(f.source.dwMode, kModeHeadRelative);
            EXPECT_EQ(f.source.flMaxDistance, 1e9f);
        }
        Release3DAudio();
        EXPECT_EQ(f.heldAtUninitialize, "");
        EXPECT_TRUE(g_Test3D.pEngine == nullptr && g_Test3D.pListener == nullptr && g_Test3D.pSource == nullptr);
    }
}

TEST(Test3D, ContentFileLoadsOntoThe3DPathOrLeavesNoSegment)
{
    // The file, the call that fails, LoadContentSegment's answer, a MIDI file.
    const std::tuple<const char*, const char*, HResult, bool> cases[] = {
        {"C:\\m\\Intrigue.mid", "", kContentLoaded, true},
        {"C:\\m\\beat.wav", "", kContentLoaded, false},
        {"C:\\m\\gone.sgt", "loadSegment", kContentNotLoaded, false},
        {"C:\\m\\odd.rmi", "setMidiParam", kContentNotLoaded, true},
        {"C:\\m\\big.wav", "download", kEOutOfMemory, false}, // a download failure is the answer itself
    };
    for (const auto& [path, failing, result, midi] : cases) {
        SCOPED_TRACE(path);
        Fakes f(true);
        f.dx.results[failing] = result == kEOutOfMemory ? kEOutOfMemory : kEFail;
        EXPECT_EQ(LoadContentSegment(path), result);
        const bool loaded = result == kContentLoaded;
        EXPECT_EQ(g_Test3D.pSegment != nullptr, loaded);
        EXPECT_EQ(f.dx.held[FakeDirectX::Segment()], loaded ? 1 : 0);
        EXPECT_EQ(f.Called("setMidiParam"), midi);
        EXPECT_EQ(f.Called("download(given)"), loaded || result == kEOutOfMemory) << "onto the 3D path";
    }
}

TEST(Test3D, PlayStopAndReplaceTheSegment)
{
    Fakes f(true);
    // Without a segment there is nothing to do.
    EXPECT_EQ(Play3DSegment(), kSFalse);
    EXPECT_FALSE(Stop3DSegment());
    Stop3DSegmentNow();
    EXPECT_EQ(f.dx.Joined(), "");

    ASSERT_EQ(LoadContentSegment("a.mid"), kContentLoaded);
    f.dx.log.clear();
    EXPECT_EQ(Play3DSegment(), kSOk);
    EXPECT_TRUE(Stop3DSegment());
    Stop3DSegmentNow();
    // For ever, from the next beat, on the 3D path; stopped on the beat, then at once.
    EXPECT_EQ(f.dx.Joined(), "setRepeats(4294967295); playSegment(4096,given); stop(segment,4096); stop(segment,0)");

    f.dx.results["playSegment"] = kEFail;
    EXPECT_EQ(Play3DSegment(), kEFail);
    f.dx.results["setRepeats"] = kCoENotInitialized;
    EXPECT_EQ(Play3DSegment(), kCoENotInitialized);

    // The old segment comes off the 3D path it was downloaded to.
    f.dx.log.clear();
    ASSERT_EQ(LoadContentSegment("b.wav"), kContentLoaded);
    EXPECT_TRUE(f.Called("unload(given)"));
    EXPECT_EQ(f.dx.held[FakeDirectX::Segment()], 1);
    f.dx.log.clear();
    Release3DAudio();
    EXPECT_TRUE(f.Called("unload(given)"));
    EXPECT_EQ(f.heldAtUninitialize, "");
}

TEST(Test3D, ALateTickMovesOnceToTheSourcesPlaceNow)
{
    Fakes f(true);
    const Raster original(128, 128);
    Raster picture = original;
    MoveSourceAt(0, 50, 50, picture);
    EXPECT_EQ(f.positions, 1);
    // 1.571 s late (a quarter lap): one move, straight to the right.
    MoveSourceAt(1571, 50, 50, picture);
    EXPECT_EQ(f.positions, 2);
    EXPECT_NEAR(f.source.vPosition.x, 2.5f, 1e-5);
    EXPECT_NEAR(f.source.vPosition.z, 0.0f, 1e-3);
    ExpectOnlyCross(picture, original, {96, 64}, "a quarter lap on");

    // While a file is being chosen nothing moves.
    g_bSourceMotion = false;
    MoveSourceAt(2000, 100, 100, picture);
    g_bSourceMotion = true;
    EXPECT_EQ(f.positions, 2);
}

TEST(SettingsScale, PositionsToFactorsAsShownAndBack)
{
    const std::pair<int, const char*> rows[] = {{0, "0.00"},   {1, "0.01"},    {3, "0.03"},   {10, "0.10"},
                                                {11, "0.10"},  {15, "0.50"},   {17, "0.70"},  {20, "1.00"},
                                                {21, "1.00"},  {25, "5.00"},   {30, "10.00"}, {31, "10.00"},
                                                {35, "50.00"}, {40, "100.00"}, {41, "0.00"},  {-1, "0.00"}};
    for (const auto& [position, shown] : rows) {
        char text[32];
        FormatFactor(text, sizeof(text), SliderToFactor(position));
        EXPECT_EQ(std::string(text), shown) << "position " << position;
    }
    // Every position comes back to itself but for the decades' shared ends.
    for (int p = -1; p <= 41; ++p) {
        const int back = p < 1 || p > 40 ? 0 : p == 11 || p == 21 || p == 31 ? p - 1 : p;
        EXPECT_EQ(FactorToSlider(SliderToFactor(p)), back) << "position " << p;
    }
    // Factors outside the scale give 0; parts truncate.
    const float factors[][2] = {{-1, 0}, {100.5f, 0}, {1e9f, 0}, {0.0001f, 0}, {0.019f, 1}, {0.55f, 15}, {99.9f, 39}};
    for (const auto& r : factors) EXPECT_EQ(FactorToSlider(r[0]), int(r[1])) << "value " << r[0];
}

TEST(SourcePath, EllipseOfTheGridSlidersAndTheCrossOnThePicture)
{
    // The grid sliders, the time, the place.
    const std::tuple<int, int, double, float, float> rows[] = {
        {100, 100, 0.0, 0.0f, 5.0f},         {100, 100, kPi / 2, 5.0f, 0.0f},   {50, 10, 0.0, 0.0f, 0.5f},
        {50, 10, kPi / 2, 2.5f, 0.0f},       {-100, 100, kPi / 2, -5.0f, 0.0f}, {0, -40, kPi, 0.0f, 2.0f},
        {100, 0, kPi / 4, 3.5355339f, 0.0f},
    };
    for (const auto& [gridX, gridZ, t, x, z] : rows) {
        SCOPED_TRACE(testing::Message() << gridX << "/" << gridZ << " t " << t);
        const SourcePlace p = SourcePlaceAt(t, gridX, gridZ);
        EXPECT_NEAR(p.position.x, x, 1e-5);
        EXPECT_NEAR(p.position.z, z, 1e-5);
        EXPECT_EQ(p.position.y, 0.0f);
        // The velocity is the path's point 0.05 s later, not a difference.
        const SourcePlace later = SourcePlaceAt(t + 0.05, gridX, gridZ);
        EXPECT_TRUE(p.velocity.x == later.position.x && p.velocity.z == later.position.z);
    }
    for (double t = 0; t < kLapSeconds; t += 0.03) { // at 100/100 a circle of radius 5
        const Vector3 p = SourcePlaceAt(t, 100, 100).position;
        EXPECT_NEAR(std::hypot(p.x, p.z), 5.0, 1e-5) << t;
    }
    // A place, the picture's size, the cross's centre.
    const std::tuple<float, float, int, int, int, int> marks[] = {
        {0, 0, 128, 128, 64, 64},   {-5, 0, 128, 128, 0, 64},       {0, 5, 128, 128, 64, 0},
        {0, -5, 128, 128, 64, 128}, {2.5f, -2.5f, 100, 60, 75, 45}, {4.999f, -4.999f, 128, 128, 127, 127}};
    for (const auto& [x, z, width, height, cx, cy] : marks) {
        const MarkerPoint c = MarkerCentre(x, z, width, height);
        EXPECT_EQ(std::vector<int>({c.x, c.y}), std::vector<int>({cx, cy})) << x << "," << z;
    }
}

// The reference: sine of the exact seconds, reduced by the library in long double.
double ReferenceX(uint64_t ms) { return static_cast<double>(5.0L * std::sin(static_cast<long double>(ms) / 1000.0L)); }

TEST(SourceClock, TicksAfterTenDaysAcrossTheWrapAndAfterMonthsStayOnTheExactPath)
{
    const uint64_t tenDays = 10ull * 24 * 3600 * 1000, wrap = 1ull << 32;
    // Every 5 ms at ten days (where a float of seconds would move in 1/16 s
    // steps), across the counter's wrap, then hourly up to 120 days.
    const struct {
        uint64_t from, to, step;
    } spans[] = {{tenDays, tenDays + 2000, 5}, {wrap - 20, wrap + 20, 7}, {wrap + 20, 12 * tenDays, 3600003}};
    SourceClock clock;
    float lastX = 0;
    for (const auto& s : spans)
        for (uint64_t ms = s.from; ms < s.to; ms += s.step) {
            const float x = SourcePlaceAt(clock.LapSeconds(static_cast<uint32_t>(ms)), 100, 100).position.x;
            EXPECT_EQ(clock.TotalMs(), ms);
            EXPECT_NEAR(x, ReferenceX(ms), 2e-6) << ms;
            EXPECT_TRUE(ms == tenDays || x != lastX) << ms; // the source moves on every tick
            lastX = x;
        }
}

TEST(SourceMarker, GridIsRestoredExactlyWhereverTheCrossWent)
{
    const Raster original(128, 128);
    Raster picture = original;
    SourceMarker marker;
    // From the middle one pixel right (the crosses overlap), one up, to the
    // edges and corners (at the right edge the centre lies just outside), and in again.
    const float moves[][2] = {{0, 0}, {0.04f, 0}, {0.04f, 0.04f}, {-5, 0}, {5, 0},
                              {0, 5}, {0, -5},    {-5, 5},        {5, -5}, {-1.3f, 2.2f}};
    for (const auto& m : moves) {
        marker.Draw(picture, m[0], m[1]);
        ExpectOnlyCross(picture, original, MarkerCentre(m[0], m[1], 128, 128),
                        std::to_string(m[0]) + "," + std::to_string(m[1]));
    }
    // A new picture is not painted with the old one's colours: nothing is restored.
    const Raster small(64, 48);
    Raster second = small;
    marker.Forget();
    marker.Draw(second, -2, 3);
    ExpectOnlyCross(second, small, MarkerCentre(-2, 3, 64, 48), "new picture");
}

} // namespace
