#include "dxtests/effect_calls.h"

#include <atomic>

namespace {

void NoRelease(void*) {}
HResult NoBuffer(IDirectMusicAudioPath8*, IDirectSoundBuffer8** buffer)
{
    *buffer = nullptr;
    return kEFail;
}
HResult NoActivate(IDirectMusicAudioPath8*, bool) { return kEFail; }
HResult NoFX(IDirectSoundBuffer8*, uint32_t, DsEffectDesc*, uint32_t*) { return kEFail; }
HResult NoEffect(IDirectSoundBuffer8*, const DsGuid*, uint32_t, const DsGuid*, void** effect)
{
    *effect = nullptr;
    return kEFail;
}
HResult NoSet(EffectKind, void*, const void*) { return kEFail; }
HResult NoGet(EffectKind, void*, void*) { return kEFail; }
HResult NoWatch(IDirectMusicPerformance8*, void*) { return kEFail; }
HResult NoNotice(IDirectMusicPerformance8*, SegmentNotice*) { return kSFalse; }
HResult NoFree(IDirectMusicPerformance8*, void*) { return kEFail; }
HResult NoState(void*, void** state)
{
    *state = nullptr;
    return kEFail;
}
HResult NoSegment8(void*, IDirectMusicSegment8** segment)
{
    *segment = nullptr;
    return kEFail;
}

const EffectCalls kNoEffects = {
    NoRelease, NoBuffer, NoActivate, NoFX,    NoEffect, NoSet,      NoGet,
    NoWatch,   NoNotice, NoFree,     NoState, NoState,  NoSegment8,
};

std::atomic<const EffectCalls*> s_calls{nullptr};

} // namespace

void SetEffectCalls(const EffectCalls* calls) { s_calls.store(calls); }

const EffectCalls& GetEffectCalls()
{
    const EffectCalls* calls = s_calls.load();
    return calls ? *calls : kNoEffects;
}
