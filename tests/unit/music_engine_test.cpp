#include "dxtests/music_engine.h"

#include "fake_directx.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr HResult kDsErrNoDriver = static_cast<HResult>(0x88780078u);

// An engine after Initialize, with the fake's log cleared (the engine goes
// before the fake).
struct Started {
    FakeDirectX fake;
    std::unique_ptr<CMusicEngine> engine{new CMusicEngine};
    Started()
    {
        EXPECT_EQ(engine->Initialize(nullptr, 128, 8), kSOk);
        fake.log.clear();
    }
};

TEST(MusicEngine, InitializeMakesLoaderAndPerformanceAndReturnsTheFirstFailure)
{
    struct Case {
        const char* failing;
        HResult code;
        const char* calls;
    };
    const Case cases[] = {
        {"", kSOk, "createLoader; createPerformance; initAudio(8,128,63)"},
        {"initAudio", kDsErrNoDriver, "createLoader; createPerformance; initAudio(8,128,63)"},
        {"createPerformance", kEFail, "createLoader; createPerformance"},
        {"createLoader", kEOutOfMemory, "createLoader"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        FakeDirectX fake;
        fake.results[c.failing] = c.code;
        CMusicEngine engine;
        fake.log.clear();
        EXPECT_EQ(engine.Initialize(nullptr, 128, 8), c.code);
        EXPECT_EQ(fake.Joined(), c.calls);
    }
    FakeDirectX fake;
    fake.results["initAudio"] = kSFalse;
    CMusicEngine engine;
    EXPECT_EQ(engine.Initialize(nullptr, 128, 8), kSOk);
}

TEST(MusicEngine, DestructorReleasesInOrderAndBalancesComOnlyWhenItWasInitialised)
{
    struct Case {
        HResult coInit;
        bool initialize;
        const char* calls;
    };
    const Case cases[] = {
        {kSOk, true, "release(loader); stop(null,0); closeDown; release(performance); coUninitialize"},
        {kSFalse, false, "coUninitialize"},
        {static_cast<HResult>(0x80010106u), true, // RPC_E_CHANGED_MODE
         "release(loader); stop(null,0); closeDown; release(performance)"},
    };
    for (const Case& c : cases) {
        FakeDirectX fake;
        fake.results["coInitialize"] = c.coInit;
        {
            CMusicEngine engine;
            if (c.initialize) engine.Initialize(nullptr, 128, 8);
            fake.log.clear();
        }
        EXPECT_EQ(fake.Joined(), c.calls);
    }
}

TEST(MusicEngine, CallsWithoutObjectsAnswerBeforeThePlatform)
{
    FakeDirectX fake;
    CMusicEngine engine; // not initialised
    fake.log.clear();
    CMusicSegment* segment = nullptr;
    EXPECT_EQ(engine.SetSearchDirectory("C:\\media\\"), kEUnexpected);
    EXPECT_EQ(engine.GetDefaultAudioPath(), nullptr);
    engine.CollectGarbage();
    EXPECT_EQ(engine.CreateSegmentFromFile(&segment, "a.wav", true, false), kEUnexpected);
    EXPECT_EQ(segment, nullptr);
    EXPECT_EQ(fake.Joined(), "");
}

TEST(MusicEngine, CreateSegmentFromFileStepsAndFailures)
{
    struct Case {
        const char* what;
        const char* failing;
        bool download;
        bool isMidi;
        HResult expected;
        bool segmentMade;
        const char* calls;
    };
    const HResult kLoadFailed = static_cast<HResult>(0x88781182u); // DMUS_E_LOADER_FAILEDOPEN
    const Case cases[] = {
        {"plain", "", false, false, kSOk, true, "loadSegment(x.wav); getAudioPathConfig"},
        {"midi and download", "", true, true, kSOk, true,
         "loadSegment(x.wav); getAudioPathConfig; setMidiParam; download(performance)"},
        {"load fails", "loadSegment", true, true, kLoadFailed, false, "loadSegment(x.wav)"},
        {"parameter fails", "setMidiParam", true, true, kLoadFailed, true,
         "loadSegment(x.wav); getAudioPathConfig; setMidiParam"},
        {"download fails", "download", true, false, kLoadFailed, true,
         "loadSegment(x.wav); getAudioPathConfig; download(performance)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Started s;
        s.fake.results[c.failing] = kLoadFailed;
        CMusicSegment* segment = reinterpret_cast<CMusicSegment*>(1); // not written on a failed load
        EXPECT_EQ(s.engine->CreateSegmentFromFile(&segment, "x.wav", c.download, c.isMidi), c.expected);
        EXPECT_EQ(s.fake.Joined(), c.calls);
        if (c.segmentMade) {
            ASSERT_NE(segment, nullptr);
            EXPECT_EQ(segment->GetSegment(), FakeDirectX::Segment());
            EXPECT_EQ(segment->IsDownloaded(), c.download && c.expected == kSOk);
            delete segment;
        } else {
            EXPECT_EQ(segment, reinterpret_cast<CMusicSegment*>(1));
        }
    }
}

TEST(MusicEngine, BrokenMidiFileIsRefusedBeforeTheLoader)
{
    const std::string path = ::testing::TempDir() + "broken.mid";
    std::ofstream(path, std::ios::binary) << std::string("MThd\0\0\0\6\0\0\0\1\1\xE0MTrk\0\0\0\x10", 22);
    Started s;
    CMusicSegment* segment = nullptr;
    EXPECT_EQ(s.engine->CreateSegmentFromFile(&segment, path.c_str(), true, true), kDmusEUnsupportedStream);
    EXPECT_EQ(segment, nullptr);
    EXPECT_EQ(s.fake.Joined(), "");
}

TEST(MusicEngine, MidiParameterRuleIsCaseSensitiveAnywhereInThePath)
{
    struct Case {
        const char* path;
        bool midi;
    };
    const Case cases[] = {
        {"C:\\songs\\tune.mid", true},  {"C:\\songs\\tune.rmi", true},
        {"C:\\a.midi\\drum.wav", true}, {"C:\\x.rmi.bak\\y.sgt", true},
        {"C:\\songs\\TUNE.MID", false}, {"C:\\songs\\tune.Mid", false},
        {"C:\\songs\\tune.RMI", false}, {"C:\\songs\\middle.wav", false},
        {"C:\\songs\\tune.sgt", false}, {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsMidiPath(c.path), c.midi) << c.path;
    EXPECT_FALSE(IsMidiPath(nullptr));
}

TEST(MusicSegment, OperationsWithoutSegmentOrPerformanceAnswerBeforeThePlatform)
{
    FakeDirectX fake;
    CMusicSegment noSegment(FakeDirectX::Performance(), FakeDirectX::Loader(), nullptr);
    CMusicSegment noPerformance(nullptr, FakeDirectX::Loader(), FakeDirectX::Segment());
    fake.log.clear();
    EXPECT_EQ(noSegment.Download(), kCoENotInitialized);
    EXPECT_EQ(noSegment.Unload(), kCoENotInitialized);
    EXPECT_EQ(noSegment.Play(0), kCoENotInitialized);
    EXPECT_EQ(noSegment.Stop(0), kCoENotInitialized);
    EXPECT_EQ(noSegment.SetRepeats(0), kCoENotInitialized);
    EXPECT_EQ(noPerformance.Play(0), kCoENotInitialized);
    EXPECT_EQ(noPerformance.Stop(0), kCoENotInitialized);
    EXPECT_EQ(fake.Joined(), "");
}

TEST(MusicSegment, PathChoiceForEachOperation)
{
    struct Case {
        bool embedded; // the file carries an audio path
        bool given;    // the caller names a path
        const char* target;
        const char* playPath;
    };
    const Case cases[] = {
        {false, false, "performance", "null"},
        {true, false, "embedded", "embedded"},
        {false, true, "given", "given"},
        {true, true, "given", "given"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.embedded ? "embedded " : "") + (c.given ? "given" : ""));
        FakeDirectX fake;
        fake.hasPathConfig = c.embedded;
        CMusicSegment segment(FakeDirectX::Performance(), FakeDirectX::Loader(), FakeDirectX::Segment());
        fake.log.clear();
        IDirectMusicAudioPath8* path = c.given ? FakeDirectX::GivenPath() : nullptr;
        ASSERT_EQ(segment.Download(path), kSOk);
        ASSERT_EQ(segment.Play(0x1000, path), kSOk);
        ASSERT_EQ(segment.Unload(path), kSOk);
        const std::string t = c.target;
        EXPECT_EQ(fake.Joined(), "download(" + t + "); playSegment(4096," + c.playPath + "); unload(" + t + ")");
    }
}

TEST(MusicSegment, DownloadedStateFollowsThePlatformsAnswers)
{
    FakeDirectX fake;
    CMusicSegment segment(FakeDirectX::Performance(), FakeDirectX::Loader(), FakeDirectX::Segment());
    fake.log.clear();
    EXPECT_EQ(segment.Play(0), kEFail); // never downloaded: nothing is played
    fake.results["download"] = kEFail;
    EXPECT_EQ(segment.Download(), kEFail);
    EXPECT_FALSE(segment.IsDownloaded());
    fake.results["unload"] = kEFail;
    EXPECT_EQ(segment.Unload(), kEFail);
    EXPECT_FALSE(segment.IsDownloaded());
    EXPECT_EQ(segment.Play(0), kEFail);
    EXPECT_EQ(fake.Joined(), "download(performance); unload(performance)");

    fake.results.clear();
    EXPECT_EQ(segment.Download(), kSOk);
    EXPECT_TRUE(segment.IsDownloaded());
    fake.results["unload"] = kEFail;
    EXPECT_EQ(segment.Unload(), kEFail); // still downloaded
    EXPECT_TRUE(segment.IsDownloaded());
    fake.results.clear();
    EXPECT_EQ(segment.SetRepeats(CMusicSegment::kRepeatForever), kSOk);
    EXPECT_EQ(segment.Play(0), kSOk);
    EXPECT_EQ(segment.Stop(0x1000), kSOk);
    EXPECT_EQ(segment.Unload(), kSOk);
    EXPECT_FALSE(segment.IsDownloaded());
}

TEST(MusicSegment, EmbeddedPathIsBuiltFromTheFilesConfiguration)
{
    struct Case {
        bool config;
        HResult create;
        bool hasPath;
        const char* calls;
    };
    const Case cases[] = {
        {false, kSOk, false, "getAudioPathConfig"},
        {true, kSOk, true, "getAudioPathConfig; createAudioPath(config); release(config)"},
        {true, kEFail, false, "getAudioPathConfig; createAudioPath(config); release(config)"},
    };
    for (const Case& c : cases) {
        FakeDirectX fake;
        fake.hasPathConfig = c.config;
        fake.results["createAudioPath"] = c.create;
        CMusicSegment segment(FakeDirectX::Performance(), FakeDirectX::Loader(), FakeDirectX::Segment());
        EXPECT_EQ(segment.GetEmbeddedPath() != nullptr, c.hasPath);
        EXPECT_EQ(fake.Joined(), c.calls);
    }
}

TEST(MusicSegment, DestructorForgetsUnloadsAndReleases)
{
    struct Case {
        bool embedded;
        bool downloaded;
        const char* calls;
    };
    const Case cases[] = {
        {false, false, "releaseObject(segment); release(segment)"},
        {false, true, "releaseObject(segment); unload(performance); release(segment)"},
        {true, true, "releaseObject(segment); unload(embedded); release(embedded); release(segment)"},
    };
    for (const Case& c : cases) {
        FakeDirectX fake;
        fake.hasPathConfig = c.embedded;
        {
            CMusicSegment segment(FakeDirectX::Performance(), FakeDirectX::Loader(), FakeDirectX::Segment());
            if (c.downloaded) segment.Download();
            fake.log.clear();
        }
        EXPECT_EQ(fake.Joined(), c.calls);
    }
}

} // namespace
