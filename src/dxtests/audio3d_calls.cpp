#include "dxtests/audio3d_calls.h"

#include <atomic>

namespace {

HResult NoPath(IDirectMusicPerformance8*, uint32_t, uint32_t, IDirectMusicAudioPath8** path)
{
    *path = nullptr;
    return kEFail;
}
HResult NoSource(IDirectMusicAudioPath8*, IDirectSound3DBuffer** source)
{
    *source = nullptr;
    return kEFail;
}
HResult NoListener(IDirectMusicAudioPath8*, IDirectSound3DListener** listener)
{
    *listener = nullptr;
    return kEFail;
}
HResult NoSourceRecord(IDirectSound3DBuffer*, Ds3dBuffer*) { return kEFail; }
HResult NoSourceSet(IDirectSound3DBuffer*, const Ds3dBuffer*, uint32_t) { return kEFail; }
HResult NoVector(IDirectSound3DBuffer*, float, float, float, uint32_t) { return kEFail; }
HResult NoListenerRecord(IDirectSound3DListener*, Ds3dListener*) { return kEFail; }
HResult NoListenerSet(IDirectSound3DListener*, const Ds3dListener*, uint32_t) { return kEFail; }
HResult NoCommit(IDirectSound3DListener*) { return kEFail; }

const Audio3DCalls kNoAudio3D = {
    NoPath,   NoSource, NoListener,       NoSourceRecord, NoSourceSet,
    NoVector, NoVector, NoListenerRecord, NoListenerSet,  NoCommit,
};

std::atomic<const Audio3DCalls*> s_calls{nullptr};

} // namespace

void SetAudio3DCalls(const Audio3DCalls* calls) { s_calls.store(calls); }

const Audio3DCalls& GetAudio3DCalls()
{
    const Audio3DCalls* calls = s_calls.load();
    return calls ? *calls : kNoAudio3D;
}
