// Each entry is one platform call with the arguments the 3D test fixes
// (activate TRUE, performance channel 0, buffer 0, GUID_NULL, index 0).
#include "dxtests/audio3d_calls_win.h"

#include <cstddef>

#include <windows.h>
#include <dmusici.h>
#include <dsound.h>

static_assert(sizeof(Ds3dBuffer) == sizeof(DS3DBUFFER), "Ds3dBuffer mirrors DS3DBUFFER");
static_assert(sizeof(Ds3dListener) == sizeof(DS3DLISTENER), "Ds3dListener mirrors DS3DLISTENER");
static_assert(offsetof(Ds3dBuffer, flMinDistance) == offsetof(DS3DBUFFER, flMinDistance), "layout");
static_assert(offsetof(Ds3dBuffer, dwMode) == offsetof(DS3DBUFFER, dwMode), "layout");
static_assert(offsetof(Ds3dListener, flDopplerFactor) == offsetof(DS3DLISTENER, flDopplerFactor), "layout");

namespace {

HResult CreateStandardAudioPath(IDirectMusicPerformance8* performance, uint32_t pathType, uint32_t pchannels,
                                IDirectMusicAudioPath8** path)
{
    return performance->CreateStandardAudioPath(pathType, pchannels, TRUE, path);
}

HResult GetSourceBuffer(IDirectMusicAudioPath8* path, IDirectSound3DBuffer** source)
{
    return path->GetObjectInPath(0, DMUS_PATH_BUFFER, 0, GUID_NULL, 0, IID_IDirectSound3DBuffer,
                                 reinterpret_cast<void**>(source));
}

HResult GetListener(IDirectMusicAudioPath8* path, IDirectSound3DListener** listener)
{
    return path->GetObjectInPath(0, DMUS_PATH_PRIMARY_BUFFER, 0, GUID_NULL, 0, IID_IDirectSound3DListener,
                                 reinterpret_cast<void**>(listener));
}

HResult GetSourceParameters(IDirectSound3DBuffer* source, Ds3dBuffer* record)
{
    return source->GetAllParameters(reinterpret_cast<DS3DBUFFER*>(record));
}

HResult SetSourceParameters(IDirectSound3DBuffer* source, const Ds3dBuffer* record, uint32_t apply)
{
    return source->SetAllParameters(reinterpret_cast<const DS3DBUFFER*>(record), apply);
}

HResult SetSourcePosition(IDirectSound3DBuffer* source, float x, float y, float z, uint32_t apply)
{
    return source->SetPosition(x, y, z, apply);
}

HResult SetSourceVelocity(IDirectSound3DBuffer* source, float x, float y, float z, uint32_t apply)
{
    return source->SetVelocity(x, y, z, apply);
}

HResult GetListenerParameters(IDirectSound3DListener* listener, Ds3dListener* record)
{
    return listener->GetAllParameters(reinterpret_cast<DS3DLISTENER*>(record));
}

HResult SetListenerParameters(IDirectSound3DListener* listener, const Ds3dListener* record, uint32_t apply)
{
    return listener->SetAllParameters(reinterpret_cast<const DS3DLISTENER*>(record), apply);
}

HResult CommitDeferredSettings(IDirectSound3DListener* listener) { return listener->CommitDeferredSettings(); }

const Audio3DCalls kAudio3DWin = {
    CreateStandardAudioPath, GetSourceBuffer,   GetListener,           GetSourceParameters,   SetSourceParameters,
    SetSourcePosition,       SetSourceVelocity, GetListenerParameters, SetListenerParameters, CommitDeferredSettings,
};

} // namespace

const Audio3DCalls* Audio3DCallsWin() { return &kAudio3DWin; }
