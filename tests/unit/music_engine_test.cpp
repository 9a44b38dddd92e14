// The DirectMusic wrappers against the fake platform: what they answer when a
// call fails or an object is missing, and that every object they obtain is
// released once. The successful runs on Wine's DirectMusic are in tests/win.
#include "dxtests/music_engine.h"

#include "fake_directx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr HResult kDsErrNoDriver = static_cast<HResult>(0x88780078u);
constexpr HResult kLoadFailed = static_cast<HResult>(0x88781182u); // DMUS_E_LOADER_FAILEDOPEN

int Count(const FakeDirectX& fake, const std::string& call)
{
    return int(std::count(fake.log.begin(), fake.log.end(), call));
}
// Where a call first stands in the log; past the end when it was never made.
size_t At(const FakeDirectX& fake, const std::string& call)
{
    return size_t(std::find(fake.log.begin(), fake.log.end(), call) - fake.log.begin());
}

TEST(MusicEngine, InitializeReturnsTheFirstFailureAndTheEngineReleasesWhatItGot)
{
    // CoInitialize's answer, the call that fails, its result, what Initialize
    // returns, loader and performance obtained.
    const HResult changedMode = static_cast<HResult>(0x80010106u); // RPC_E_CHANGED_MODE
    const std::tuple<HResult, const char*, HResult, HResult, int, int> cases[] = {
        {kSOk, "", kSOk, kSOk, 1, 1},
        {kSFalse, "initAudio", kSFalse, kSOk, 1, 1},
        {kSOk, "initAudio", kDsErrNoDriver, kDsErrNoDriver, 1, 1},
        {changedMode, "createPerformance", kEFail, kEFail, 1, 0},
        {kSOk, "createLoader", kEOutOfMemory, kEOutOfMemory, 0, 0},
    };
    for (const auto& [coInit, failing, code, expected, loader, performance] : cases) {
        SCOPED_TRACE(failing);
        FakeDirectX fake;
        fake.results["coInitialize"] = coInit;
        fake.results[failing] = code;
        {
            CMusicEngine engine;
            EXPECT_EQ(engine.Initialize(nullptr, 128, 8), expected);
            EXPECT_EQ(Count(fake, "createPerformance"), loader) << "nothing is tried after a failure";
        }
        EXPECT_EQ((std::vector<int>{Count(fake, "initAudio(8,128,63)"), Count(fake, "release(loader)"),
                                    Count(fake, "release(performance)"), Count(fake, "stop(null,0)"),
                                    Count(fake, "closeDown"), Count(fake, "coUninitialize")}),
                  (std::vector<int>{performance, loader, performance, performance, performance,
                                    coInit == changedMode ? 0 : 1}));
        // The performance is stopped and closed down before it is released, COM last of all.
        EXPECT_TRUE(At(fake, "stop(null,0)") <= At(fake, "closeDown") &&
                    At(fake, "closeDown") <= At(fake, "release(performance)"));
        EXPECT_TRUE(coInit == changedMode || fake.log.back() == "coUninitialize");
    }
}

TEST(MusicEngine, CreateSegmentFromFileAnswersTheFirstFailure)
{
    const std::string broken = ::testing::TempDir() + "broken.mid"; // a track length past the end
    std::ofstream(broken, std::ios::binary) << std::string("MThd\0\0\0\6\0\0\0\1\1\xE0MTrk\0\0\0\x10", 22);
    const struct {
        std::string path;
        const char* failing;
        bool download, isMidi;
        HResult expected;
        bool segmentMade, downloaded;
    } cases[] = {
        {"x.wav", "", false, false, kSOk, true, false},
        {"x.mid", "", true, true, kSOk, true, true},
        {"x.mid", "", false, true, kSOk, true, false},
        {"x.wav", "loadSegment", true, true, kLoadFailed, false, false},
        {"x.mid", "setMidiParam", true, true, kLoadFailed, true, false},
        {"x.wav", "download", true, false, kLoadFailed, true, false},
        {broken, "", true, true, kDmusEUnsupportedStream, false, false}, // never reaches the loader
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + " " + c.failing);
        FakeDirectX fake;
        CMusicEngine engine;
        ASSERT_EQ(engine.Initialize(nullptr, 128, 8), kSOk);
        fake.results[c.failing] = kLoadFailed;
        CMusicSegment* segment = reinterpret_cast<CMusicSegment*>(1); // not written on a failed load
        EXPECT_EQ(engine.CreateSegmentFromFile(&segment, c.path.c_str(), c.download, c.isMidi), c.expected);
        EXPECT_EQ((std::vector<int>{Count(fake, "loadSegment(" + c.path + ")"), Count(fake, "setMidiParam")}),
                  (std::vector<int>{c.path != broken, c.isMidi && c.segmentMade}));
        if (!c.segmentMade) {
            EXPECT_EQ(segment, reinterpret_cast<CMusicSegment*>(1));
            continue;
        }
        EXPECT_EQ(segment->GetSegment(), FakeDirectX::Segment());
        EXPECT_EQ(segment->IsDownloaded(), c.downloaded);
        delete segment;
        EXPECT_EQ(Count(fake, "release(segment)"), 1);
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
    for (const char* midi : {"C:\\songs\\tune.mid", "C:\\songs\\tune.rmi", "C:\\a.midi\\drum.wav"})
        EXPECT_TRUE(IsMidiPath(midi)) << midi;
    for (const char* other :
         std::vector<const char*>{"C:\\songs\\TUNE.MID", "C:\\songs\\tune.Rmi", "C:\\songs\\middle.wav", "", nullptr})
        EXPECT_FALSE(IsMidiPath(other)) << (other ? other : "null");
}

TEST(MusicSegment, PathChoiceDownloadedStateAndRelease)
{
    // The file carries an audio path, the caller names one: the target of
    // download and unload, the path played on.
    const std::tuple<bool, bool, const char*, const char*> cases[] = {
        {false, false, "performance", "null"}, {true, false, "embedded", "embedded"}, {true, true, "given", "given"}};
    for (const auto& [embedded, given, target, playPath] : cases) {
        SCOPED_TRACE(target);
        FakeDirectX fake;
        fake.hasPathConfig = embedded;
        {
            CMusicSegment segment(FakeDirectX::Performance(), FakeDirectX::Loader(), FakeDirectX::Segment());
            IDirectMusicAudioPath8* path = given ? FakeDirectX::GivenPath() : nullptr;
            fake.results["download"] = kEFail;
            EXPECT_EQ(segment.Download(path), kEFail);
            EXPECT_EQ(segment.Play(0, path), kEFail) << "nothing downloaded: nothing is played";
            fake.results = {{"unload", kEFail}};
            ASSERT_EQ(segment.Download(path), kSOk);
            ASSERT_EQ(segment.Play(0x1000, path), kSOk);
            EXPECT_EQ(segment.Unload(path), kEFail);
            EXPECT_TRUE(segment.IsDownloaded()) << "a failed unload leaves it downloaded";
            EXPECT_EQ(Count(fake, "playSegment(4096," + std::string(playPath) + ")"), 1);
            EXPECT_EQ(Count(fake, "download(" + std::string(target) + ")"), 2);
        }
        // Still downloaded at destruction: unloaded from its own path, then
        // every object obtained released once, the segment last.
        const std::string own = embedded ? "embedded" : "performance";
        EXPECT_EQ(Count(fake, "unload(" + own + ")"), given ? 1 : 2);
        EXPECT_EQ((std::vector<int>{Count(fake, "release(config)"), Count(fake, "release(embedded)"),
                                    Count(fake, "releaseObject(segment)"), Count(fake, "release(segment)")}),
                  (std::vector<int>{embedded, embedded, 1, 1}));
        EXPECT_EQ(fake.log.back(), "release(segment)");
    }
    FakeDirectX fake; // a configuration the platform cannot build a path from; never downloaded
    fake.hasPathConfig = true;
    fake.results["createAudioPath"] = kEFail;
    {
        CMusicSegment segment(FakeDirectX::Performance(), FakeDirectX::Loader(), FakeDirectX::Segment());
        EXPECT_EQ(segment.GetEmbeddedPath(), nullptr);
    }
    EXPECT_EQ((std::vector<int>{Count(fake, "release(config)"), Count(fake, "unload(performance)"),
                                Count(fake, "release(segment)")}),
              (std::vector<int>{1, 0, 1}));
}

} // namespace
