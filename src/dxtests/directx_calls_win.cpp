// Each entry is one platform call with the arguments the wrappers fix
// (CLSCTX_INPROC, GUID_DirectMusicAllTypes, the MIDI parameter's group bits,
// start time 0, ...). The seam's pointers are the platform's interfaces; a
// download or unload target is the performance or an audio path, both
// IUnknown at the same address.
#include "dxtests/directx_calls_win.h"

#include "dxtests/dx_text_win.h"

#include <windows.h>
#include <dmusici.h>
#include <dsound.h>

#include <cstring>

static_assert(sizeof(DsCaps) == sizeof(DSCAPS), "DsCaps mirrors DSCAPS");
static_assert(sizeof(DsGuid) == sizeof(GUID), "DsGuid mirrors GUID");

namespace {

HResult ComInitialize() { return CoInitialize(nullptr); }
void ComUninitialize() { CoUninitialize(); }
void Release(void* unknown)
{
    if (unknown) static_cast<IUnknown*>(unknown)->Release();
}

struct EnumContext {
    DsEnumCallback callback;
    void* context;
};

BOOL CALLBACK OnDirectSoundDevice(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context)
{
    EnumContext* c = static_cast<EnumContext*>(context);
    return c->callback(reinterpret_cast<const DsGuid*>(guid), description, module, c->context);
}

HResult EnumerateDevices(DsEnumCallback callback, void* context)
{
    EnumContext c{callback, context};
    return DirectSoundEnumerateA(OnDirectSoundDevice, &c);
}

HResult CreateDevice(const DsGuid* guid, IDirectSound** device)
{
    return DirectSoundCreate(reinterpret_cast<LPCGUID>(guid), device, nullptr);
}

HResult SetCooperativeLevel(IDirectSound* device, void* window, uint32_t level)
{
    return device->SetCooperativeLevel(static_cast<HWND>(window), level);
}

HResult GetCaps(IDirectSound* device, DsCaps* caps) { return device->GetCaps(reinterpret_cast<DSCAPS*>(caps)); }

HResult CreateLoader(IDirectMusicLoader8** loader)
{
    return CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader8,
                            reinterpret_cast<void**>(loader));
}

// A path the buffer cannot hold is refused rather than cut to another path.
constexpr HResult kBadPath = static_cast<HResult>(0x88781181u); // DMUS_E_LOADER_BADPATH
bool FitsPath(const char* path) { return path && std::strlen(path) < MAX_PATH; }

HResult SetSearchDirectory(IDirectMusicLoader8* loader, const char* folder)
{
    if (!FitsPath(folder)) return kBadPath;
    WCHAR wide[MAX_PATH];
    AnsiToWide(wide, folder, MAX_PATH);
    return loader->SetSearchDirectory(GUID_DirectMusicAllTypes, wide, FALSE);
}

HResult LoadSegment(IDirectMusicLoader8* loader, const char* path, IDirectMusicSegment8** segment)
{
    if (!FitsPath(path)) return kBadPath;
    WCHAR wide[MAX_PATH];
    AnsiToWide(wide, path, MAX_PATH);
    return loader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8, wide,
                                      reinterpret_cast<void**>(segment));
}

void CollectGarbage(IDirectMusicLoader8* loader) { loader->CollectGarbage(); }

HResult ReleaseObject(IDirectMusicLoader8* loader, IDirectMusicSegment8* segment)
{
    return loader->ReleaseObjectByUnknown(segment);
}

HResult CreatePerformance(IDirectMusicPerformance8** performance)
{
    return CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance8,
                            reinterpret_cast<void**>(performance));
}

HResult InitAudio(IDirectMusicPerformance8* performance, void* window, uint32_t pathType, uint32_t pchannels,
                  uint32_t flags)
{
    return performance->InitAudio(nullptr, nullptr, static_cast<HWND>(window), pathType, pchannels, flags, nullptr);
}

HResult GetDefaultAudioPath(IDirectMusicPerformance8* performance, IDirectMusicAudioPath8** path)
{
    return performance->GetDefaultAudioPath(path);
}

HResult CreateAudioPath(IDirectMusicPerformance8* performance, void* config, IDirectMusicAudioPath8** path)
{
    return performance->CreateAudioPath(static_cast<IUnknown*>(config), TRUE, path);
}

HResult PlaySegment(IDirectMusicPerformance8* performance, IDirectMusicSegment8* segment, uint32_t flags,
                    IDirectMusicAudioPath8* path)
{
    return performance->PlaySegmentEx(segment, nullptr, nullptr, flags, 0, nullptr, nullptr, path);
}

HResult Stop(IDirectMusicPerformance8* performance, IDirectMusicSegment8* segment, uint32_t flags)
{
    return performance->Stop(segment, nullptr, 0, flags);
}

HResult CloseDown(IDirectMusicPerformance8* performance) { return performance->CloseDown(); }

HResult GetAudioPathConfig(IDirectMusicSegment8* segment, void** config)
{
    return segment->GetAudioPathConfig(reinterpret_cast<IUnknown**>(config));
}

HResult SetMidiParam(IDirectMusicSegment8* segment)
{
    return segment->SetParam(GUID_StandardMIDIFile, 0xFFFFFFFF, 0, 0, nullptr);
}

HResult Download(IDirectMusicSegment8* segment, void* target)
{
    return segment->Download(static_cast<IUnknown*>(target));
}

HResult Unload(IDirectMusicSegment8* segment, void* target) { return segment->Unload(static_cast<IUnknown*>(target)); }

HResult SetRepeats(IDirectMusicSegment8* segment, uint32_t repeats) { return segment->SetRepeats(repeats); }

const DirectXCalls kDirectXWin = {
    ComInitialize,
    ComUninitialize,
    Release,
    EnumerateDevices,
    CreateDevice,
    SetCooperativeLevel,
    GetCaps,
    CreateLoader,
    SetSearchDirectory,
    LoadSegment,
    CollectGarbage,
    ReleaseObject,
    CreatePerformance,
    InitAudio,
    GetDefaultAudioPath,
    CreateAudioPath,
    PlaySegment,
    Stop,
    CloseDown,
    GetAudioPathConfig,
    SetMidiParam,
    Download,
    Unload,
    SetRepeats,
};

} // namespace

const DirectXCalls* DirectXCallsWin() { return &kDirectXWin; }
