// CBufferEffects and the notification drain on fake objects that count their
// references; the fake buffer refuses a whole chain when one of its effects is
// not installed, as the platform does.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "dxtests/buffer_effects.h"
#include "dxtests/effect_records.h"
#include "dxtests/effect_table.h"
#include "dxtests/segment_notices.h"

namespace {

struct Obj {
    int refs = 0;
};

// A queued notice: its own message, and a segment state that belongs to segment.
struct Notice {
    uint32_t option;
    Obj* segment;
    HResult stateResult = kSOk, segmentResult = kSOk;
    Obj message{}, state{}; // the message holds its state
};

struct Fake {
    Obj path, buffer, effect[kEffectKindCount];
    bool playing = true;                       // the path is active
    std::string chain = "-";                   // the effects of the last SetFX, by title
    std::set<int32_t> notInstalled, readFails; // readFails: GetAllParameters fails and scribbles
    int32_t failFetch = -1;                    // the kind whose interface cannot be fetched
    HResult bufferResult = kSOk;
    EffectParameterSet defaults = {};
    std::vector<int32_t> applied; // kinds handed a record
    std::vector<Notice> queue;
    size_t freed = 0;
};
Fake* g = nullptr;

template <class T = void>
T* Hand(Obj& o)
{
    ++o.refs;
    return reinterpret_cast<T*>(&o);
}
// A call's answer that hands out o (one reference) when it succeeds.
template <class T>
HResult Give(HResult hr, T** out, Obj& o)
{
    if (Succeeded(hr)) *out = Hand<T>(o);
    return hr;
}
Obj& O(void* p) { return *static_cast<Obj*>(p); }
Notice& Of(void* messageOrState)
{
    for (Notice& n : g->queue)
        if (messageOrState == &n.message || messageOrState == &n.state) return n;
    throw std::invalid_argument("not a notice");
}
int32_t KindOf(const DsGuid* effectClass)
{
    for (int32_t k = 0; k < kEffectKindCount; ++k)
        if (std::memcmp(&EffectInfoOf(k).effectClass, effectClass, sizeof(DsGuid)) == 0) return k;
    return -1;
}

HResult SetFX(IDirectSoundBuffer8*, uint32_t count, DsEffectDesc* descriptions, uint32_t* results)
{
    EXPECT_FALSE(g->playing) << "the platform refuses effects on a playing buffer";
    g->chain.clear();
    bool refused = false;
    for (uint32_t i = 0; i < count; ++i) {
        const int32_t kind = KindOf(&descriptions[i].guidDSFXClass);
        g->chain += (i ? " " : "") + std::string(EffectInfoOf(kind).title);
        EXPECT_EQ(descriptions[i].dwSize, sizeof(DsEffectDesc));
        results[i] = g->notInstalled.count(kind) ? 5 : 0;
        refused = refused || results[i];
    }
    return refused ? kClassNotRegistered : kSOk;
}
HResult Fetch(IDirectSoundBuffer8*, const DsGuid* effectClass, uint32_t, const DsGuid* iid, void** effect)
{
    const int32_t kind = KindOf(effectClass);
    EXPECT_EQ(std::memcmp(iid, &EffectInfoOf(kind).interfaceId, sizeof(DsGuid)), 0);
    return Give(kind == g->failFetch ? kEFail : kSOk, effect, g->effect[kind]);
}
HResult Apply(EffectKind kind, void* effect, const void*)
{
    EXPECT_EQ(effect, &g->effect[kind]);
    g->applied.push_back(kind);
    return kSOk;
}
HResult Read(EffectKind kind, void*, void* record)
{
    if (g->readFails.count(kind)) return std::memset(record, 0x7F, EffectRecordSize(kind)), kEFail;
    std::memcpy(record, EffectRecord(g->defaults, kind), EffectRecordSize(kind));
    return kSOk;
}
HResult Next(IDirectMusicPerformance8*, SegmentNotice* notice)
{
    if (g->freed >= g->queue.size()) return kSFalse;
    Notice& n = g->queue[g->freed];
    *notice = {Hand(n.message), n.option, Hand(n.state)};
    return kSOk;
}
HResult Free(IDirectMusicPerformance8*, void* message)
{
    Notice& n = Of(message);
    --n.message.refs, --n.state.refs, ++g->freed;
    return kSOk;
}

const EffectCalls kFakeCalls = {
    [](void* p) { --O(p).refs; },
    [](IDirectMusicAudioPath8*, IDirectSoundBuffer8** buffer) { return Give(g->bufferResult, buffer, g->buffer); },
    [](IDirectMusicAudioPath8*, bool active) { return g->playing = active, kSOk; },
    SetFX,
    Fetch,
    Apply,
    Read,
    [](IDirectMusicPerformance8*, void*) { return kSOk; },
    Next,
    Free,
    [](void* user, void** state) { return Give(Of(user).stateResult, state, Of(user).state); },
    [](void* state, void** segment) { return Give(Of(state).segmentResult, segment, *Of(state).segment); },
    [](void* segment, IDirectMusicSegment8** segment8) { return Give(kSOk, segment8, O(segment)); },
};

class BufferEffects : public ::testing::Test {
protected:
    void SetUp() override
    {
        g = &fake;
        SetEffectCalls(&kFakeCalls);
    }
    void TearDown() override { SetEffectCalls(nullptr); }
    // An effects object holding the fake path (one reference handed over).
    void Attach(CBufferEffects& effects, bool loadDefaults = false)
    {
        ASSERT_EQ(effects.Initialize(Hand<IDirectMusicAudioPath8>(fake.path), loadDefaults), kSOk);
    }
    int EffectRefs() const
    {
        int refs = 0;
        for (const Obj& e : fake.effect) refs += e.refs;
        return refs;
    }
    Fake fake;
};

TEST_F(BufferEffects, AttachesInTheOrderEnabledAndLetsEverythingGo)
{
    Obj second;
    {
        CBufferEffects effects;
        Attach(effects);
        // Echo again is already enabled; kinds outside the table are refused.
        EXPECT_EQ((std::vector<HResult>{effects.EnableEffect(kEcho), effects.EnableEffect(kChorus),
                                        effects.EnableEffect(kEcho), effects.EnableEffect(kEffectKindCount),
                                        effects.EnableEffect(-1)}),
                  (std::vector<HResult>{kSOk, kSOk, kSFalse, kEFail, kEFail}));
        EXPECT_EQ(effects.ActivateEffects(), kSOk);
        EXPECT_EQ(fake.chain, "Echo Chorus");
        EXPECT_TRUE(fake.playing);
        EXPECT_EQ((std::vector<void*>{effects.effects[kEcho], effects.effects[kChorus], effects.effects[kFlanger]}),
                  (std::vector<void*>{&fake.effect[kEcho], &fake.effect[kChorus], nullptr}));

        effects.ApplyParameters(); // only the attached effects are handed their records
        EXPECT_EQ(fake.applied, (std::vector<int32_t>{kChorus, kEcho}));

        EXPECT_EQ(effects.DisableAllEffects(), kSOk);
        EXPECT_TRUE(fake.chain.empty() && fake.playing);
        EXPECT_EQ(EffectRefs(), 0);
        EXPECT_EQ(effects.EnableEffect(kEcho), kSOk); // enabled again after the clearing
        EXPECT_EQ(effects.ActivateEffects(), kSOk);
        // A second path without a buffer: the first one, its buffer and its effects are let go.
        fake.bufferResult = kEFail;
        EXPECT_EQ(effects.Initialize(Hand<IDirectMusicAudioPath8>(second), false), kEFail);
        EXPECT_EQ(fake.path.refs + fake.buffer.refs + EffectRefs(), 0);
        EXPECT_EQ(second.refs, 1); // still the caller's
        EXPECT_EQ(effects.audioPath, nullptr);
        fake.bufferResult = kSOk;
        Attach(effects);
        EXPECT_EQ(effects.EnableEffect(kEcho), kSOk);
        EXPECT_EQ(effects.ActivateEffects(), kSOk);
    }
    // The destructor lets the effects, the buffer and the path go.
    EXPECT_EQ(fake.path.refs + fake.buffer.refs + EffectRefs(), 0);
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
    EXPECT_EQ(fake.chain, "-");
}

TEST_F(BufferEffects, FailuresLeaveTheSoundPlayingWithWhatCouldBeAttached)
{
    CBufferEffects effects;
    Attach(effects);
    // The first failure is returned; that slot and the later ones stay empty.
    for (int32_t k : {kCompressor, kEcho, kParamEq}) effects.EnableEffect(k);
    fake.failFetch = kEcho;
    EXPECT_EQ(effects.ActivateEffects(), kEFail);
    EXPECT_TRUE(fake.playing);
    EXPECT_EQ((std::vector<void*>{effects.effects[kCompressor], effects.effects[kEcho], effects.effects[kParamEq]}),
              (std::vector<void*>{&fake.effect[kCompressor], nullptr, nullptr}));
    EXPECT_EQ(EffectRefs(), 1);

    // An effect that is not installed: the platform refuses the whole chain.
    effects.DisableAllEffects();
    fake.failFetch = -1;
    fake.notInstalled = {kChorus, kGargle};
    effects.EnableEffect(kChorus);
    effects.EnableEffect(kEcho);
    EXPECT_EQ(effects.ActivateEffects(), kClassNotRegistered);
    EXPECT_TRUE(fake.playing);
    EXPECT_EQ(EffectRefs(), 0);
    // Attaching what can be attached: the echo without the chorus.
    EXPECT_EQ(effects.ActivateAvailableEffects(), kSOk);
    EXPECT_EQ(fake.chain, "Echo");
    EXPECT_EQ(effects.effects[kEcho], &fake.effect[kEcho]);
    EXPECT_EQ(EffectRefs(), 1);
    EXPECT_FALSE(effects.enabled[kChorus]);
    // Only uninstalled effects: nothing left to try.
    effects.DisableAllEffects();
    effects.EnableEffect(kGargle);
    EXPECT_EQ(effects.ActivateAvailableEffects(), kClassNotRegistered);
    EXPECT_EQ(fake.chain, "Gargle");
    EXPECT_TRUE(fake.playing);
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
    EXPECT_EQ(EffectRefs(), 0);
}

TEST_F(BufferEffects, DrainFindsTheEndOfTheLoadedSegment)
{
    Obj loaded, other;
    auto* segment = reinterpret_cast<IDirectMusicSegment8*>(&loaded);
    auto held = [&] {
        int refs = loaded.refs + other.refs;
        for (const Notice& n : fake.queue) refs += n.message.refs + n.state.refs;
        return refs;
    };
    fake.queue = {{0, &loaded},                // a segment start
                  {kSegmentEndOption, &other}, // another segment's end
                  {kSegmentEndOption, &loaded, kSOk, kDmusENotFound},
                  {kSegmentEndOption, &loaded}};
    bool ended = false;
    EXPECT_EQ(DrainSegmentNotices(nullptr, segment, &ended), kSOk);
    EXPECT_TRUE(ended);
    EXPECT_EQ(fake.freed, 4u);
    EXPECT_EQ(held(), 0);

    // A notice that cannot say its segment stops the drain, freed and released.
    fake.queue = {
        {kSegmentEndOption, &other, kEFail}, {kSegmentEndOption, &loaded, kSOk, kEFail}, {kSegmentEndOption, &loaded}};
    fake.freed = 0;
    ended = false;
    EXPECT_EQ(DrainSegmentNotices(nullptr, segment, &ended), kEFail);
    EXPECT_EQ(DrainSegmentNotices(nullptr, segment, &ended), kEFail);
    EXPECT_FALSE(ended);
    EXPECT_EQ(DrainSegmentNotices(nullptr, nullptr, &ended), kSOk); // nothing loaded matches nothing
    EXPECT_FALSE(ended);
    EXPECT_EQ(held(), 0);
}

} // namespace
