// The 3D test without its window: setting up the 3D audio path, loading and
// playing the content file on it, the settings handed over at once or
// deferred, the source's motion, and the tear-down, on fake DirectX.
#include "dxtests/audio3d_test.h"

#include "fake_audio3d.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dxtests/music_segment.h"

namespace {

constexpr HResult kDsErrNoDriver = static_cast<HResult>(0x88780078u);
const std::string kStartCalls = "coInitialize; createLoader; createPerformance; initAudio(8,128,63)";

// A picture that only counts what is drawn on it.
class CountingPicture : public PixelSurface {
public:
    int Width() const override { return 128; }
    int Height() const override { return 128; }
    uint32_t PixelAt(int, int) override { return 0x123456; }
    void PutPixel(int, int, uint32_t colour) override { painted += colour == kMarkerColour; }
    int painted = 0;
};

// The fakes, and a test state that is released before they go.
struct Fakes {
    FakeDirectX dx;
    FakeAudio3D a3d;
    Fakes() { Begin3DTest(); }
    ~Fakes() { Release3DAudio(); }
    std::string Calls()
    {
        std::string all = dx.Joined();
        dx.log.clear();
        return all;
    }
};

// Set up, with the log cleared.
struct Ready : Fakes {
    Ready()
    {
        EXPECT_EQ(Init3DAudio(nullptr), kSOk);
        dx.log.clear();
    }
};

TEST(Test3D, InitSetsUpThe3DPathAndReturnsTheFirstFailure)
{
    const std::string all = kStartCalls + "; createStandardAudioPath(performance,6,64); getSourceBuffer(given); "
                                          "getSourceParameters(64); setSourceParameters(mode 1,0); getListener(given); "
                                          "getListenerParameters(64)";
    const struct {
        const char* failing;
        HResult code;
        size_t calls; // how much of all is called
    } cases[] = {
        {"", kSOk, all.size()},
        {"initAudio", kDsErrNoDriver, kStartCalls.size()},
        {"createStandardAudioPath", kEFail, all.find("; getSourceBuffer")},
        {"getSourceBuffer", kEFail, all.find("; getSourceParameters")},
        {"getListener", kEFail, all.find("; getListenerParameters")},
        // The source's record is read and written without a check.
        {"getSourceParameters", kSOk, all.size()},
        {"setSourceParameters", kSOk, all.size()},
        {"getListenerParameters", kSOk, all.size()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        Fakes f;
        f.a3d.results[c.failing] = kEFail;
        f.dx.results[c.failing] = c.code;
        f.a3d.sourceStart.flMaxDistance = 1e9f;
        EXPECT_EQ(Init3DAudio(nullptr), c.code);
        EXPECT_EQ(f.Calls(), all.substr(0, c.calls));
        if (c.code == kSOk && std::string(c.failing).empty()) {
            // The source moves around the listener's head; the rest is the platform's.
            EXPECT_EQ(f.a3d.source.dwMode, kModeHeadRelative);
            EXPECT_EQ(f.a3d.source.flMaxDistance, 1e9f);
        }
    }
}

TEST(Test3D, TearDownReleasesWhateverInitObtained)
{
    const std::string engine = "release(loader); stop(null,0); closeDown; release(performance); coUninitialize";
    const struct {
        const char* failing;
        std::string calls;
    } cases[] = {
        {"", "release(listener); release(source); release(given); " + engine},
        {"getListener", "release(source); release(given); " + engine},
        {"createStandardAudioPath", engine},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        Fakes f;
        f.a3d.results[c.failing] = kEFail;
        Init3DAudio(nullptr);
        f.dx.log.clear();
        Release3DAudio();
        EXPECT_EQ(f.Calls(), c.calls);
        EXPECT_EQ(g_Test3D.pEngine, nullptr);
        EXPECT_EQ(g_Test3D.pListener, nullptr);
    }
}

TEST(Test3D, ContentFileLoadsOntoThe3DPathOrLeavesNoSegment)
{
    const struct {
        const char* path;
        const char* failing;
        HResult result;
        const char* calls;
    } cases[] = {
        {"C:\\m\\Intrigue.mid", "", kContentLoaded,
         "collectGarbage; loadSegment(C:\\m\\Intrigue.mid); getAudioPathConfig; setMidiParam; download(given)"},
        {"C:\\m\\beat.wav", "", kContentLoaded,
         "collectGarbage; loadSegment(C:\\m\\beat.wav); getAudioPathConfig; download(given)"},
        {"C:\\m\\gone.sgt", "loadSegment", kContentNotLoaded, "collectGarbage; loadSegment(C:\\m\\gone.sgt)"},
        {"C:\\m\\odd.rmi", "setMidiParam", kContentNotLoaded,
         "collectGarbage; loadSegment(C:\\m\\odd.rmi); getAudioPathConfig; setMidiParam; releaseObject(segment); "
         "release(segment)"},
        // A download failure is the answer itself, and the segment goes.
        {"C:\\m\\big.wav", "download", kEOutOfMemory,
         "collectGarbage; loadSegment(C:\\m\\big.wav); getAudioPathConfig; download(given); releaseObject(segment); "
         "release(segment)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        Ready f;
        f.dx.results[c.failing] = std::string(c.failing) == "download" ? kEOutOfMemory : kEFail;
        EXPECT_EQ(LoadContentSegment(c.path), c.result);
        EXPECT_EQ(f.Calls(), c.calls);
        EXPECT_EQ(g_Test3D.pSegment != nullptr, c.result == kContentLoaded);
    }
}

TEST(Test3D, PlayStopAndReplaceTheSegment)
{
    Ready f;
    // Without a segment there is nothing to do.
    EXPECT_EQ(Play3DSegment(), kSFalse);
    EXPECT_FALSE(Stop3DSegment());
    EXPECT_EQ(f.Calls(), "");

    ASSERT_EQ(LoadContentSegment("a.mid"), kContentLoaded);
    f.dx.log.clear();
    EXPECT_EQ(Play3DSegment(), kSOk);
    EXPECT_TRUE(Stop3DSegment());
    Stop3DSegmentNow();
    EXPECT_EQ(f.Calls(), "setRepeats(4294967295); playSegment(4096,given); stop(segment,4096); stop(segment,0)");

    f.dx.results["playSegment"] = kEFail;
    EXPECT_EQ(Play3DSegment(), kEFail);
    f.dx.results["setRepeats"] = kCoENotInitialized;
    EXPECT_EQ(Play3DSegment(), kCoENotInitialized);
    f.dx.log.clear();

    // The old segment comes off the 3D path it was downloaded to.
    ASSERT_EQ(LoadContentSegment("b.wav"), kContentLoaded);
    EXPECT_EQ(f.Calls(), "unload(given); releaseObject(segment); release(segment); collectGarbage; "
                         "loadSegment(b.wav); getAudioPathConfig; download(given)");
    Release3DAudio();
    EXPECT_EQ(f.Calls().substr(0, 55), "unload(given); releaseObject(segment); release(segment)");
}

TEST(Test3D, ALateTickMovesOnceToTheSourcesPlaceNow)
{
    Ready f;
    CountingPicture picture;
    MoveSourceAt(0, 50, 50, picture);
    EXPECT_EQ(f.a3d.positions, 1);
    // 1.571 s late (a quarter lap): one move, straight to the right.
    MoveSourceAt(1571, 50, 50, picture);
    EXPECT_EQ(f.a3d.positions, 2);
    EXPECT_EQ(picture.painted, 2 * kCrossPixels);
    EXPECT_NEAR(f.a3d.source.vPosition.x, 2.5f, 1e-5);
    EXPECT_NEAR(f.a3d.source.vPosition.z, 0.0f, 1e-3);
    EXPECT_EQ(g_SourceMarker.Centre().x, 96);

    // While a file is being chosen nothing moves.
    g_bSourceMotion = false;
    MoveSourceAt(2000, 100, 100, picture);
    g_bSourceMotion = true;
    EXPECT_EQ(f.a3d.positions, 2);
}

} // namespace
