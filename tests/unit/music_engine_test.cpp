// The DirectMusic wrappers against the fake platform: which calls they make,
// in what order, and what they answer when a call fails or an object is
// missing. The successful runs on Wine's DirectMusic are in tests/win.
#include "dxtests/music_engine.h"

#include "fake_directx.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr HResult kDsErrNoDriver = static_cast<HResult>(0x88780078u);
constexpr HResult kLoadFailed = static_cast<HResult>(0x88781182u); // DMUS_E_LOADER_FAILEDOPEN

// A segment on the fake's objects, the log cleared after its construction.
struct Segment {
    FakeDirectX& fake;
    CMusicSegment segment{FakeDirectX::Performance(), FakeDirectX::Loader(), FakeDirectX::Segment()};
    explicit Segment(FakeDirectX& f) : fake(f) { fake.log.clear(); }
};

TEST(MusicEngine, InitializeMakesLoaderAndPerformanceAndReturnsTheFirstFailure)
{
    // The call that fails, its result, what Initialize returns, the calls made.
    const std::tuple<const char*, HResult, HResult, const char*> cases[] = {
        {"", kSOk, kSOk, "createLoader; createPerformance; initAudio(8,128,63)"},
        {"initAudio", kSFalse, kSOk, "createLoader; createPerformance; initAudio(8,128,63)"},
        {"initAudio", kDsErrNoDriver, kDsErrNoDriver, "createLoader; createPerformance; initAudio(8,128,63)"},
        {"createPerformance", kEFail, kEFail, "createLoader; createPerformance"},
        {"createLoader", kEOutOfMemory, kEOutOfMemory, "createLoader"},
    };
    for (const auto& [failing, code, expected, calls] : cases) {
        SCOPED_TRACE(failing);
        FakeDirectX fake;
        fake.results[failing] = code;
        CMusicEngine engine;
        fake.log.clear();
        EXPECT_EQ(engine.Initialize(nullptr, 128, 8), expected);
        EXPECT_EQ(fake.Joined(), calls);
    }
}

TEST(MusicEngine, DestructorReleasesInOrderAndBalancesComOnlyWhenItWasInitialised)
{
    // What CoInitialize answers, whether Initialize runs, the calls at destruction.
    const std::tuple<HResult, bool, const char*> cases[] = {
        {kSOk, true, "release(loader); stop(null,0); closeDown; release(performance); coUninitialize"},
        {kSFalse, false, "coUninitialize"},
        {static_cast<HResult>(0x80010106u), true, // RPC_E_CHANGED_MODE
         "release(loader); stop(null,0); closeDown; release(performance)"},
    };
    for (const auto& [coInit, initialize, calls] : cases) {
        FakeDirectX fake;
        fake.results["coInitialize"] = coInit;
        {
            CMusicEngine engine;
            if (initialize) engine.Initialize(nullptr, 128, 8);
            fake.log.clear();
        }
        EXPECT_EQ(fake.Joined(), calls);
    }
}

TEST(MusicEngine, CreateSegmentFromFileStepsAndFailures)
{
    const std::string broken = ::testing::TempDir() + "broken.mid"; // a track length past the end
    std::ofstream(broken, std::ios::binary) << std::string("MThd\0\0\0\6\0\0\0\1\1\xE0MTrk\0\0\0\x10", 22);
    const struct {
        const char* what;
        std::string path;
        const char* failing;
        bool download, isMidi;
        HResult expected;
        bool segmentMade;
        const char* calls;
    } cases[] = {
        {"plain", "x.wav", "", false, false, kSOk, true, "loadSegment(x.wav); getAudioPathConfig"},
        {"midi and download", "x.wav", "", true, true, kSOk, true,
         "loadSegment(x.wav); getAudioPathConfig; setMidiParam; download(performance)"},
        {"load fails", "x.wav", "loadSegment", true, true, kLoadFailed, false, "loadSegment(x.wav)"},
        {"parameter fails", "x.wav", "setMidiParam", true, true, kLoadFailed, true,
         "loadSegment(x.wav); getAudioPathConfig; setMidiParam"},
        {"download fails", "x.wav", "download", true, false, kLoadFailed, true,
         "loadSegment(x.wav); getAudioPathConfig; download(performance)"},
        {"a broken MIDI file never reaches the loader", broken, "", true, true, kDmusEUnsupportedStream, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeDirectX fake;
        CMusicEngine engine;
        ASSERT_EQ(engine.Initialize(nullptr, 128, 8), kSOk);
        fake.log.clear();
        fake.results[c.failing] = kLoadFailed;
        CMusicSegment* segment = reinterpret_cast<CMusicSegment*>(1); // not written on a failed load
        EXPECT_EQ(engine.CreateSegmentFromFile(&segment, c.path.c_str(), c.download, c.isMidi), c.expected);
        EXPECT_EQ(fake.Joined(), c.calls);
        if (!c.segmentMade) {
            EXPECT_EQ(segment, reinterpret_cast<CMusicSegment*>(1));
            continue;
        }
        ASSERT_NE(segment, nullptr);
        EXPECT_EQ(segment->GetSegment(), FakeDirectX::Segment());
        EXPECT_EQ(segment->IsDownloaded(), c.download && c.expected == kSOk);
        delete segment;
    }
}

TEST(MusicEngine, WithoutItsObjectsNothingReachesThePlatform)
{
    FakeDirectX fake;
    CMusicEngine engine; // not initialised
    CMusicSegment noSegment(FakeDirectX::Performance(), FakeDirectX::Loader(), nullptr);
    CMusicSegment noPerformance(nullptr, FakeDirectX::Loader(), FakeDirectX::Segment());
    fake.log.clear();
    CMusicSegment* segment = nullptr;
    EXPECT_EQ(engine.SetSearchDirectory("C:\\media\\"), kEUnexpected);
    EXPECT_EQ(engine.GetDefaultAudioPath(), nullptr);
    engine.CollectGarbage();
    EXPECT_EQ(engine.CreateSegmentFromFile(&segment, "a.wav", true, false), kEUnexpected);
    EXPECT_EQ(segment, nullptr);
    EXPECT_EQ((std::vector<HResult>{noSegment.Download(), noSegment.Unload(), noSegment.Play(0), noSegment.Stop(0),
                                    noSegment.SetRepeats(0), noPerformance.Play(0), noPerformance.Stop(0)}),
              std::vector<HResult>(7, kCoENotInitialized));
    EXPECT_EQ(fake.Joined(), "");
}

TEST(MusicEngine, MidiParameterRuleIsCaseSensitiveAnywhereInThePath)
{
    for (const char* midi :
         {"C:\\songs\\tune.mid", "C:\\songs\\tune.rmi", "C:\\a.midi\\drum.wav", "C:\\x.rmi.bak\\y.sgt"})
        EXPECT_TRUE(IsMidiPath(midi)) << midi;
    for (const char* other : {"C:\\songs\\TUNE.MID", "C:\\songs\\tune.Mid", "C:\\songs\\tune.RMI",
                              "C:\\songs\\middle.wav", "C:\\songs\\tune.sgt", ""})
        EXPECT_FALSE(IsMidiPath(other)) << other;
    EXPECT_FALSE(IsMidiPath(nullptr));
}

TEST(MusicSegment, PathChoiceForEachOperation)
{
    // The file carries an audio path; the caller names one; the target of
    // download and unload; the path played on.
    const std::tuple<bool, bool, const char*, const char*> cases[] = {{false, false, "performance", "null"},
                                                                      {true, false, "embedded", "embedded"},
                                                                      {false, true, "given", "given"},
                                                                      {true, true, "given", "given"}};
    for (const auto& [embedded, given, target, playPath] : cases) {
        SCOPED_TRACE(std::string(embedded ? "embedded " : "") + (given ? "given" : ""));
        FakeDirectX fake;
        fake.hasPathConfig = embedded;
        Segment s(fake);
        IDirectMusicAudioPath8* path = given ? FakeDirectX::GivenPath() : nullptr;
        ASSERT_EQ(s.segment.Download(path), kSOk);
        ASSERT_EQ(s.segment.Play(0x1000, path), kSOk);
        ASSERT_EQ(s.segment.Unload(path), kSOk);
        const std::string t = target;
        EXPECT_EQ(fake.Joined(), "download(" + t + "); playSegment(4096," + playPath + "); unload(" + t + ")");
    }
}

TEST(MusicSegment, DownloadedStateFollowsThePlatformsAnswers)
{
    FakeDirectX fake;
    Segment s(fake);
    CMusicSegment& segment = s.segment;
    fake.results["download"] = kEFail;
    EXPECT_EQ(segment.Download(), kEFail);
    EXPECT_FALSE(segment.IsDownloaded());
    EXPECT_EQ(segment.Play(0), kEFail) << "nothing downloaded: nothing is played";
    EXPECT_EQ(fake.Joined(), "download(performance)");
    fake.results.clear();
    ASSERT_EQ(segment.Download(), kSOk);
    fake.results["unload"] = kEFail;
    EXPECT_EQ(segment.Unload(), kEFail);
    EXPECT_TRUE(segment.IsDownloaded()) << "a failed unload leaves it downloaded";
}

TEST(MusicSegment, EmbeddedPathIsBuiltFromTheFilesConfigurationAndReleasedLast)
{
    // A configuration in the file, createAudioPath's result, a path made, the calls.
    const std::tuple<bool, HResult, bool, const char*> made[] = {
        {false, kSOk, false, "getAudioPathConfig"},
        {true, kSOk, true, "getAudioPathConfig; createAudioPath(config); release(config)"},
        {true, kEFail, false, "getAudioPathConfig; createAudioPath(config); release(config)"},
    };
    for (const auto& [config, create, hasPath, calls] : made) {
        FakeDirectX fake;
        fake.hasPathConfig = config;
        fake.results["createAudioPath"] = create;
        CMusicSegment segment(FakeDirectX::Performance(), FakeDirectX::Loader(), FakeDirectX::Segment());
        EXPECT_EQ(segment.GetEmbeddedPath() != nullptr, hasPath);
        EXPECT_EQ(fake.Joined(), calls);
    }
    // An embedded path, downloaded, the calls at destruction.
    const std::tuple<bool, bool, const char*> destroyed[] = {
        {false, false, "releaseObject(segment); release(segment)"},
        {false, true, "releaseObject(segment); unload(performance); release(segment)"},
        {true, true, "releaseObject(segment); unload(embedded); release(embedded); release(segment)"},
    };
    for (const auto& [embedded, downloaded, calls] : destroyed) {
        FakeDirectX fake;
        fake.hasPathConfig = embedded;
        {
            Segment s(fake);
            if (downloaded) s.segment.Download();
            fake.log.clear();
        }
        EXPECT_EQ(fake.Joined(), calls);
    }
}

} // namespace
