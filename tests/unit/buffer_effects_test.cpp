// CBufferEffects and the notification drain against fake DirectSound and
// DirectMusic objects: every object counts its references, the calls are
// logged in order, and the fake buffer refuses a whole chain when one of its
// effects is not installed, as the platform does.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "dxtests/buffer_effects.h"
#include "dxtests/effect_records.h"
#include "dxtests/effect_table.h"
#include "dxtests/segment_notices.h"

namespace {

struct FakeObject {
    int refs = 0;
};

struct FakeDirectSound {
    FakeObject path, buffer, effect[kEffectKindCount];
    std::vector<std::string> log;
    std::set<int32_t> notInstalled, attached;
    int32_t failFetch = -1;      // the kind whose interface cannot be fetched
    std::set<int32_t> readFails; // GetAllParameters fails (and scribbles)
    HResult bufferResult = kSOk;
    EffectParameterSet defaults = {};
    std::vector<int32_t> applied; // kinds handed a record
    EffectParameterSet appliedRecords = {};

    // Notifications.
    struct Queued {
        uint32_t option;
        FakeObject* segment; // the segment its state belongs to
        HResult stateResult, segmentResult;
    };
    std::vector<Queued> queue;
    FakeObject message[8], state[8], segment8Handed;
    int freed = 0;
};
FakeDirectSound* g_fake = nullptr;

int32_t KindOf(const DsGuid* effectClass)
{
    for (int32_t k = 0; k < kEffectKindCount; ++k)
        if (std::memcmp(&EffectInfoOf(k).effectClass, effectClass, sizeof(DsGuid)) == 0) return k;
    return -1;
}

void Release(void* unknown) { --static_cast<FakeObject*>(unknown)->refs; }
HResult PathBuffer(IDirectMusicAudioPath8*, IDirectSoundBuffer8** buffer)
{
    if (!Succeeded(g_fake->bufferResult)) return g_fake->bufferResult;
    ++g_fake->buffer.refs;
    *buffer = reinterpret_cast<IDirectSoundBuffer8*>(&g_fake->buffer);
    return kSOk;
}
HResult Activate(IDirectMusicAudioPath8*, bool active)
{
    g_fake->log.push_back(active ? "activate" : "deactivate");
    return kSOk;
}
HResult SetFX(IDirectSoundBuffer8*, uint32_t count, DsEffectDesc* descriptions, uint32_t* results)
{
    std::string entry = "setfx";
    bool refused = false;
    for (uint32_t i = 0; i < count; ++i) {
        const int32_t kind = KindOf(&descriptions[i].guidDSFXClass);
        entry += " " + std::string(EffectInfoOf(kind).title);
        EXPECT_EQ(descriptions[i].dwSize, sizeof(DsEffectDesc));
        results[i] = g_fake->notInstalled.count(kind) ? 5 : 0;
        refused = refused || g_fake->notInstalled.count(kind);
    }
    g_fake->log.push_back(entry);
    if (refused) return kClassNotRegistered;
    g_fake->attached.clear();
    for (uint32_t i = 0; i < count; ++i) g_fake->attached.insert(KindOf(&descriptions[i].guidDSFXClass));
    return kSOk;
}
HResult FetchEffect(IDirectSoundBuffer8*, const DsGuid* effectClass, uint32_t, const DsGuid* iid, void** effect)
{
    const int32_t kind = KindOf(effectClass);
    g_fake->log.push_back("fetch " + std::string(EffectInfoOf(kind).title));
    EXPECT_EQ(std::memcmp(iid, &EffectInfoOf(kind).interfaceId, sizeof(DsGuid)), 0);
    *effect = nullptr;
    if (kind == g_fake->failFetch) return kEFail;
    if (!g_fake->attached.count(kind)) return kDmusENotFound;
    ++g_fake->effect[kind].refs;
    *effect = &g_fake->effect[kind];
    return kSOk;
}
HResult SetParameters(EffectKind kind, void* effect, const void* record)
{
    EXPECT_EQ(effect, &g_fake->effect[kind]);
    g_fake->applied.push_back(kind);
    std::memcpy(EffectRecord(g_fake->appliedRecords, kind), record, EffectRecordSize(kind));
    return kSOk;
}
HResult GetParameters(EffectKind kind, void*, void* record)
{
    if (g_fake->readFails.count(kind)) {
        std::memset(record, 0x7F, EffectRecordSize(kind));
        return static_cast<HResult>(0x80004001u);
    }
    std::memcpy(record, EffectRecord(g_fake->defaults, kind), EffectRecordSize(kind));
    return kSOk;
}
HResult Watch(IDirectMusicPerformance8*, void*) { return kSOk; }
HResult NextNotice(IDirectMusicPerformance8*, SegmentNotice* notice)
{
    const size_t next = g_fake->freed;
    if (next >= g_fake->queue.size()) return kSFalse;
    ++g_fake->message[next].refs;
    ++g_fake->state[next].refs; // the message holds its state
    *notice = {&g_fake->message[next], g_fake->queue[next].option, &g_fake->state[next]};
    return kSOk;
}
HResult FreeNotice(IDirectMusicPerformance8*, void* message)
{
    FakeObject* m = static_cast<FakeObject*>(message);
    --m->refs;
    --g_fake->state[m - g_fake->message].refs;
    ++g_fake->freed;
    return kSOk;
}
HResult QueryState(void* user, void** state)
{
    const FakeDirectSound::Queued& q = g_fake->queue[static_cast<FakeObject*>(user) - g_fake->state];
    if (!Succeeded(q.stateResult)) return q.stateResult;
    ++static_cast<FakeObject*>(user)->refs;
    *state = user;
    return kSOk;
}
HResult StateSegment(void* state, void** segment)
{
    const FakeDirectSound::Queued& q = g_fake->queue[static_cast<FakeObject*>(state) - g_fake->state];
    if (q.segmentResult != kSOk) return q.segmentResult;
    ++q.segment->refs;
    *segment = q.segment;
    return kSOk;
}
HResult QuerySegment8(void* segment, IDirectMusicSegment8** segment8)
{
    ++static_cast<FakeObject*>(segment)->refs;
    *segment8 = static_cast<IDirectMusicSegment8*>(segment);
    return kSOk;
}

const EffectCalls kFakeCalls = {Release, PathBuffer, Activate,   SetFX,      FetchEffect,  SetParameters, GetParameters,
                                Watch,   NextNotice, FreeNotice, QueryState, StateSegment, QuerySegment8};

class BufferEffects : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_fake = &fake;
        SetEffectCalls(&kFakeCalls);
    }
    void TearDown() override
    {
        SetEffectCalls(nullptr);
        g_fake = nullptr;
    }
    // An effects object holding the fake path (one reference handed over).
    void Attach(CBufferEffects& effects, bool loadDefaults = false)
    {
        ++fake.path.refs;
        ASSERT_EQ(effects.Initialize(reinterpret_cast<IDirectMusicAudioPath8*>(&fake.path), loadDefaults), kSOk);
        fake.log.clear();
    }
    void ExpectAllReleased()
    {
        EXPECT_EQ(fake.path.refs, 0);
        EXPECT_EQ(fake.buffer.refs, 0);
        for (int32_t k = 0; k < kEffectKindCount; ++k) EXPECT_EQ(fake.effect[k].refs, 0) << k;
    }
    using Log = std::vector<std::string>;
    FakeDirectSound fake;
};

TEST_F(BufferEffects, AttachesInTheOrderEnabledAndLetsEverythingGo)
{
    {
        CBufferEffects effects;
        Attach(effects);
        EXPECT_EQ(effects.EnableEffect(kEcho), kSOk);
        EXPECT_EQ(effects.EnableEffect(kChorus), kSOk);
        EXPECT_EQ(effects.EnableEffect(kEcho), kSFalse); // already enabled
        EXPECT_EQ(effects.EnableEffect(kEffectKindCount), kEFail);
        EXPECT_EQ(effects.EnableEffect(-1), kEFail);
        EXPECT_EQ(effects.count, 2u);
        EXPECT_EQ(effects.ActivateEffects(), kSOk);
        EXPECT_EQ(fake.log, (Log{"deactivate", "setfx Echo Chorus", "fetch Echo", "fetch Chorus", "activate"}));
        EXPECT_EQ(effects.effects[kEcho], &fake.effect[kEcho]);
        EXPECT_EQ(effects.effects[kChorus], &fake.effect[kChorus]);
        EXPECT_EQ(effects.effects[kFlanger], nullptr);

        // Only the attached effects are handed their records.
        effects.ApplyParameters();
        EXPECT_EQ(fake.applied, (std::vector<int32_t>{kChorus, kEcho}));

        fake.log.clear();
        EXPECT_EQ(effects.DisableAllEffects(), kSOk);
        EXPECT_EQ(fake.log, (Log{"deactivate", "setfx", "activate"}));
        EXPECT_EQ(effects.count, 0u);
        EXPECT_EQ(fake.effect[kEcho].refs, 0);
        EXPECT_EQ(effects.EnableEffect(kEcho), kSOk); // enabled again after the clearing
        EXPECT_EQ(effects.ActivateEffects(), kSOk);
    }
    ExpectAllReleased(); // the destructor lets the effects, the buffer and the path go
}

TEST_F(BufferEffects, NothingToDoAndNothingToDoItWith)
{
    CBufferEffects bare;
    EXPECT_EQ(bare.EnableEffect(kGargle), kSOk);
    EXPECT_EQ(bare.ActivateEffects(), kEFail); // no buffer
    EXPECT_EQ(bare.DisableAllEffects(), kEFail);
    EXPECT_EQ(bare.count, 0u); // cleared all the same
    EXPECT_EQ(bare.LoadDefaultParameters(), kEFail);

    CBufferEffects effects;
    Attach(effects);
    EXPECT_EQ(effects.ActivateEffects(), kSFalse); // nothing enabled: nothing touched
    EXPECT_TRUE(fake.log.empty());
    // A kind whose slot already holds an interface is not described again.
    effects.effects[kReverb] = &fake.effect[kReverb];
    ++fake.effect[kReverb].refs;
    EXPECT_EQ(effects.EnableEffect(kReverb), kSFalse);
    EXPECT_EQ(effects.count, 0u);
    // At most eight descriptions.
    for (int32_t k = 0; k < kEffectKindCount; ++k) effects.enabled[k] = false;
    effects.count = kEffectKindCount;
    EXPECT_EQ(effects.EnableEffect(kChorus), kEFail);
    effects.count = 0;
}

TEST_F(BufferEffects, FirstFailureIsReturnedWithLaterSlotsNullAndThePathPlaying)
{
    CBufferEffects effects;
    Attach(effects);
    for (int32_t k : {kCompressor, kEcho, kParamEq}) effects.EnableEffect(k);
    fake.failFetch = kEcho;
    EXPECT_EQ(effects.ActivateEffects(), kEFail);
    EXPECT_EQ(fake.log,
              (Log{"deactivate", "setfx Compressor Echo Param Eq", "fetch Compressor", "fetch Echo", "activate"}));
    EXPECT_EQ(effects.effects[kCompressor], &fake.effect[kCompressor]);
    EXPECT_EQ(effects.effects[kEcho], nullptr);
    EXPECT_EQ(effects.effects[kParamEq], nullptr);
    EXPECT_EQ(fake.effect[kParamEq].refs, 0);
}

TEST_F(BufferEffects, AnEffectThatIsNotInstalled)
{
    CBufferEffects effects;
    Attach(effects);
    fake.notInstalled = {kChorus, kGargle};
    effects.EnableEffect(kChorus);
    effects.EnableEffect(kEcho);
    // The platform refuses the whole chain: nothing is fetched, the path plays on.
    EXPECT_EQ(effects.ActivateEffects(), kClassNotRegistered);
    EXPECT_EQ(fake.log, (Log{"deactivate", "setfx Chorus Echo", "activate"}));
    EXPECT_EQ(effects.effects[kEcho], nullptr);

    // Attaching what can be attached: the echo without the chorus.
    fake.log.clear();
    EXPECT_EQ(effects.ActivateAvailableEffects(), kSOk);
    EXPECT_EQ(fake.log, (Log{"deactivate", "setfx Chorus Echo", "activate", "deactivate", "setfx", "activate",
                             "deactivate", "setfx Echo", "fetch Echo", "activate"}));
    EXPECT_EQ(effects.effects[kEcho], &fake.effect[kEcho]);
    EXPECT_EQ(effects.effects[kChorus], nullptr);
    EXPECT_FALSE(effects.enabled[kChorus]);

    // Only uninstalled effects: nothing left to try.
    effects.DisableAllEffects();
    effects.EnableEffect(kGargle);
    fake.log.clear();
    EXPECT_EQ(effects.ActivateAvailableEffects(), kClassNotRegistered);
    EXPECT_EQ(fake.log, (Log{"deactivate", "setfx Gargle", "activate"}));
}

TEST_F(BufferEffects, DefaultsComeFromTheEffectsThatExist)
{
    fake.notInstalled = {kChorus, kDistortion, kFlanger, kGargle};
    fake.readFails = {kEcho};
    fake.defaults.compressor = {-3, 10, 200, -20, 3, 4};
    fake.defaults.paramEq = {8000, 12, 0};
    fake.defaults.echo = {50, 50, 500, 500, 0};
    CBufferEffects effects;
    effects.parameters.chorus.fDepth = 42; // a kind that cannot be created keeps its record
    Attach(effects, true);
    EXPECT_EQ(effects.parameters.compressor.fRelease, 200.0f);
    EXPECT_EQ(effects.parameters.paramEq.fCenter, 8000.0f);
    EXPECT_EQ(effects.parameters.chorus.fDepth, 42.0f);
    EXPECT_EQ(effects.parameters.echo.fLeftDelay, 0.0f); // its read failed: untouched
    EXPECT_EQ(effects.count, 0u);                        // and everything detached again
    for (int32_t k = 0; k < kEffectKindCount; ++k) EXPECT_EQ(fake.effect[k].refs, 0) << k;
}

TEST_F(BufferEffects, InitializeTakesOverThePathOnlyWhenItHasABuffer)
{
    CBufferEffects effects;
    Attach(effects);
    effects.EnableEffect(kEcho);
    effects.ActivateEffects();
    // A second path: the first one, its buffer and its effects are let go.
    FakeObject second;
    ++second.refs;
    fake.bufferResult = kEFail;
    EXPECT_EQ(effects.Initialize(reinterpret_cast<IDirectMusicAudioPath8*>(&second), false), kEFail);
    ExpectAllReleased();
    EXPECT_EQ(second.refs, 1); // still the caller's
    EXPECT_EQ(effects.audioPath, nullptr);
    EXPECT_EQ(effects.Uninitialize(), kSOk);
}

TEST_F(BufferEffects, DrainFindsTheEndOfTheLoadedSegment)
{
    FakeObject loaded, other;
    fake.queue = {{0, &loaded, kSOk, kSOk},                // a segment start
                  {kSegmentEndOption, &other, kSOk, kSOk}, // another segment's end
                  {kSegmentEndOption, &loaded, kSOk, kDmusENotFound},
                  {kSegmentEndOption, &loaded, kSOk, kSOk}};
    bool ended = false;
    auto* segment = reinterpret_cast<IDirectMusicSegment8*>(&loaded);
    EXPECT_EQ(DrainSegmentNotices(nullptr, segment, &ended), kSOk);
    EXPECT_TRUE(ended);
    EXPECT_EQ(fake.freed, 4);

    // A notice that cannot say its segment stops the drain, freed and released.
    FakeDirectSound second;
    g_fake = &second;
    second.queue = {{kSegmentEndOption, &other, kEFail, kSOk},
                    {kSegmentEndOption, &loaded, kSOk, kEFail},
                    {kSegmentEndOption, &loaded, kSOk, kSOk}};
    ended = false;
    EXPECT_EQ(DrainSegmentNotices(nullptr, segment, &ended), kEFail);
    EXPECT_EQ(DrainSegmentNotices(nullptr, segment, &ended), kEFail);
    EXPECT_FALSE(ended);
    EXPECT_EQ(DrainSegmentNotices(nullptr, nullptr, &ended), kSOk); // nothing loaded matches nothing
    EXPECT_FALSE(ended);
    for (const FakeDirectSound* f : {&fake, &second})
        for (int i = 0; i < 4; ++i) EXPECT_EQ(f->message[i].refs + f->state[i].refs, 0) << i;
    EXPECT_EQ(loaded.refs + other.refs, 0);
}

} // namespace
