#include "dxtests/directx_calls.h"

#include <atomic>

namespace {

HResult Fail() { return kEFail; }
void Nothing() {}
void NoRelease(void*) {}
HResult NoEnumeration(DsEnumCallback, void*) { return kSOk; }
HResult NoDevice(const DsGuid*, IDirectSound** device)
{
    *device = nullptr;
    return kEFail;
}
HResult NoLevel(IDirectSound*, void*, uint32_t) { return kEFail; }
HResult NoCaps(IDirectSound*, DsCaps*) { return kEFail; }
HResult NoLoader(IDirectMusicLoader8** loader)
{
    *loader = nullptr;
    return kEFail;
}
HResult NoSearch(IDirectMusicLoader8*, const char*) { return kEFail; }
HResult NoLoad(IDirectMusicLoader8*, const char*, IDirectMusicSegment8** segment)
{
    *segment = nullptr;
    return kEFail;
}
void NoGarbage(IDirectMusicLoader8*) {}
HResult NoForget(IDirectMusicLoader8*, IDirectMusicSegment8*) { return kEFail; }
HResult NoPerformance(IDirectMusicPerformance8** performance)
{
    *performance = nullptr;
    return kEFail;
}
HResult NoInit(IDirectMusicPerformance8*, void*, uint32_t, uint32_t, uint32_t) { return kEFail; }
HResult NoDefaultPath(IDirectMusicPerformance8*, IDirectMusicAudioPath8** path)
{
    *path = nullptr;
    return kEFail;
}
HResult NoPath(IDirectMusicPerformance8*, void*, IDirectMusicAudioPath8** path)
{
    *path = nullptr;
    return kEFail;
}
HResult NoPlay(IDirectMusicPerformance8*, IDirectMusicSegment8*, uint32_t, IDirectMusicAudioPath8*) { return kEFail; }
HResult NoStop(IDirectMusicPerformance8*, IDirectMusicSegment8*, uint32_t) { return kEFail; }
HResult NoCloseDown(IDirectMusicPerformance8*) { return kEFail; }
HResult NoConfig(IDirectMusicSegment8*, void** config)
{
    *config = nullptr;
    return kEFail;
}
HResult NoParam(IDirectMusicSegment8*) { return kEFail; }
HResult NoTarget(IDirectMusicSegment8*, void*) { return kEFail; }
HResult NoRepeats(IDirectMusicSegment8*, uint32_t) { return kEFail; }

const DirectXCalls kNoDirectX = {
    Fail,     Nothing, NoRelease,   NoEnumeration, NoDevice,      NoLevel,  NoCaps,        NoLoader,
    NoSearch, NoLoad,  NoGarbage,   NoForget,      NoPerformance, NoInit,   NoDefaultPath, NoPath,
    NoPlay,   NoStop,  NoCloseDown, NoConfig,      NoParam,       NoTarget, NoTarget,      NoRepeats,
};

std::atomic<const DirectXCalls*> s_calls{nullptr};

} // namespace

void SetDirectXCalls(const DirectXCalls* calls) { s_calls.store(calls); }

const DirectXCalls& GetDirectXCalls()
{
    const DirectXCalls* calls = s_calls.load();
    return calls ? *calls : kNoDirectX;
}
