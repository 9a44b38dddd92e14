// Each entry is one platform call with the arguments the effect chain fixes.
// The portable records are the platform's own, field for field; the checks
// below hold them to it.
#include "dxtests/effect_calls_win.h"

#include <windows.h>
#include <dmusici.h>
#include <dsound.h>

#include <cstddef>

static_assert(sizeof(DsGuid) == sizeof(GUID), "DsGuid mirrors GUID");
static_assert(sizeof(DsEffectDesc) == sizeof(DSEFFECTDESC) &&
                  offsetof(DsEffectDesc, guidDSFXClass) == offsetof(DSEFFECTDESC, guidDSFXClass) &&
                  offsetof(DsEffectDesc, dwReserved2) == offsetof(DSEFFECTDESC, dwReserved2),
              "DsEffectDesc mirrors DSEFFECTDESC");
static_assert(sizeof(DsfxChorus) == sizeof(DSFXChorus) &&
                  offsetof(DsfxChorus, lPhase) == offsetof(DSFXChorus, lPhase) &&
                  offsetof(DsfxChorus, fDelay) == offsetof(DSFXChorus, fDelay),
              "DsfxChorus mirrors DSFXChorus");
static_assert(sizeof(DsfxFlanger) == sizeof(DSFXFlanger) &&
                  offsetof(DsfxFlanger, lPhase) == offsetof(DSFXFlanger, lPhase),
              "DsfxFlanger mirrors DSFXFlanger");
static_assert(sizeof(DsfxCompressor) == sizeof(DSFXCompressor) &&
                  offsetof(DsfxCompressor, fPredelay) == offsetof(DSFXCompressor, fPredelay),
              "DsfxCompressor mirrors DSFXCompressor");
static_assert(sizeof(DsfxDistortion) == sizeof(DSFXDistortion) &&
                  offsetof(DsfxDistortion, fPreLowpassCutoff) == offsetof(DSFXDistortion, fPreLowpassCutoff),
              "DsfxDistortion mirrors DSFXDistortion");
static_assert(sizeof(DsfxEcho) == sizeof(DSFXEcho) && offsetof(DsfxEcho, lPanDelay) == offsetof(DSFXEcho, lPanDelay),
              "DsfxEcho mirrors DSFXEcho");
static_assert(sizeof(DsfxGargle) == sizeof(DSFXGargle) &&
                  offsetof(DsfxGargle, dwWaveShape) == offsetof(DSFXGargle, dwWaveShape),
              "DsfxGargle mirrors DSFXGargle");
static_assert(sizeof(DsfxParamEq) == sizeof(DSFXParamEq) &&
                  offsetof(DsfxParamEq, fGain) == offsetof(DSFXParamEq, fGain),
              "DsfxParamEq mirrors DSFXParamEq");
static_assert(sizeof(DsfxWavesReverb) == sizeof(DSFXWavesReverb) &&
                  offsetof(DsfxWavesReverb, fHighFreqRTRatio) == offsetof(DSFXWavesReverb, fHighFreqRTRatio),
              "DsfxWavesReverb mirrors DSFXWavesReverb");

namespace {

const GUID kNullGuid = {};

void Release(void* unknown)
{
    if (unknown) static_cast<IUnknown*>(unknown)->Release();
}

HResult PathBuffer(IDirectMusicAudioPath8* path, IDirectSoundBuffer8** buffer)
{
    return path->GetObjectInPath(DMUS_PCHANNEL_ALL, DMUS_PATH_BUFFER, 0, kNullGuid, 0, IID_IDirectSoundBuffer8,
                                 reinterpret_cast<void**>(buffer));
}

HResult ActivatePath(IDirectMusicAudioPath8* path, bool active) { return path->Activate(active ? TRUE : FALSE); }

HResult SetFX(IDirectSoundBuffer8* buffer, uint32_t count, DsEffectDesc* descriptions, uint32_t* results)
{
    static_assert(sizeof(uint32_t) == sizeof(DWORD), "SetFX's results are DWORDs");
    return buffer->SetFX(count, reinterpret_cast<DSEFFECTDESC*>(descriptions), reinterpret_cast<DWORD*>(results));
}

HResult FetchEffect(IDirectSoundBuffer8* buffer, const DsGuid* effectClass, uint32_t index, const DsGuid* iid,
                    void** effect)
{
    return buffer->GetObjectInPath(*reinterpret_cast<const GUID*>(effectClass), index,
                                   *reinterpret_cast<const GUID*>(iid), effect);
}

// Every effect interface has SetAllParameters and GetAllParameters with its
// own record; the kind says which interface the pointer is.
template <class Interface, class Record>
HResult Set(void* effect, const void* record)
{
    return static_cast<Interface*>(effect)->SetAllParameters(static_cast<const Record*>(record));
}

template <class Interface, class Record>
HResult Get(void* effect, void* record)
{
    return static_cast<Interface*>(effect)->GetAllParameters(static_cast<Record*>(record));
}

HResult SetParameters(EffectKind kind, void* effect, const void* record)
{
    switch (kind) {
    case kChorus: return Set<IDirectSoundFXChorus8, DSFXChorus>(effect, record);
    case kCompressor: return Set<IDirectSoundFXCompressor8, DSFXCompressor>(effect, record);
    case kDistortion: return Set<IDirectSoundFXDistortion8, DSFXDistortion>(effect, record);
    case kEcho: return Set<IDirectSoundFXEcho8, DSFXEcho>(effect, record);
    case kFlanger: return Set<IDirectSoundFXFlanger8, DSFXFlanger>(effect, record);
    case kGargle: return Set<IDirectSoundFXGargle8, DSFXGargle>(effect, record);
    case kParamEq: return Set<IDirectSoundFXParamEq8, DSFXParamEq>(effect, record);
    case kReverb: return Set<IDirectSoundFXWavesReverb8, DSFXWavesReverb>(effect, record);
    }
    return E_INVALIDARG;
}

HResult GetParameters(EffectKind kind, void* effect, void* record)
{
    switch (kind) {
    case kChorus: return Get<IDirectSoundFXChorus8, DSFXChorus>(effect, record);
    case kCompressor: return Get<IDirectSoundFXCompressor8, DSFXCompressor>(effect, record);
    case kDistortion: return Get<IDirectSoundFXDistortion8, DSFXDistortion>(effect, record);
    case kEcho: return Get<IDirectSoundFXEcho8, DSFXEcho>(effect, record);
    case kFlanger: return Get<IDirectSoundFXFlanger8, DSFXFlanger>(effect, record);
    case kGargle: return Get<IDirectSoundFXGargle8, DSFXGargle>(effect, record);
    case kParamEq: return Get<IDirectSoundFXParamEq8, DSFXParamEq>(effect, record);
    case kReverb: return Get<IDirectSoundFXWavesReverb8, DSFXWavesReverb>(effect, record);
    }
    return E_INVALIDARG;
}

HResult WatchSegments(IDirectMusicPerformance8* performance, void* event)
{
    const HRESULT hr = performance->AddNotificationType(GUID_NOTIFICATION_SEGMENT);
    if (FAILED(hr)) return hr;
    return performance->SetNotificationHandle(static_cast<HANDLE>(event), 0);
}

HResult NextNotice(IDirectMusicPerformance8* performance, SegmentNotice* notice)
{
    DMUS_NOTIFICATION_PMSG* message = nullptr;
    const HRESULT hr = performance->GetNotificationPMsg(&message);
    if (hr != S_OK || !message) return hr == S_OK ? S_FALSE : hr;
    notice->message = message;
    notice->option = message->dwNotificationOption;
    notice->user = message->punkUser;
    return S_OK;
}

HResult FreeNotice(IDirectMusicPerformance8* performance, void* message)
{
    return performance->FreePMsg(static_cast<DMUS_PMSG*>(message));
}

HResult QueryState(void* user, void** state)
{
    return static_cast<IUnknown*>(user)->QueryInterface(IID_IDirectMusicSegmentState8, state);
}

HResult StateSegment(void* state, void** segment)
{
    return static_cast<IDirectMusicSegmentState8*>(state)->GetSegment(reinterpret_cast<IDirectMusicSegment**>(segment));
}

HResult QuerySegment8(void* segment, IDirectMusicSegment8** segment8)
{
    return static_cast<IDirectMusicSegment*>(segment)->QueryInterface(IID_IDirectMusicSegment8,
                                                                      reinterpret_cast<void**>(segment8));
}

const EffectCalls kWindowsEffects = {
    Release,       PathBuffer, ActivatePath, SetFX,      FetchEffect,  SetParameters, GetParameters,
    WatchSegments, NextNotice, FreeNotice,   QueryState, StateSegment, QuerySegment8,
};

} // namespace

const EffectCalls* EffectCallsWin() { return &kWindowsEffects; }
