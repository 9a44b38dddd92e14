#include "dxtests/audio3d_test.h"

#include <new>

#include "dxtests/music_engine.h"
#include "dxtests/music_segment.h"

Test3DState g_Test3D;
bool g_bSourceMotion = true;
SourceMarker g_SourceMarker;

namespace {

template <class T>
void ReleaseInterface(T*& object)
{
    if (object) GetDirectXCalls().release(object);
    object = nullptr;
}

// Unloaded from the 3D path it was downloaded to, then destroyed.
void DestroySegment()
{
    if (!g_Test3D.pSegment) return;
    if (g_Test3D.pSegment->IsDownloaded()) g_Test3D.pSegment->Unload(g_Test3D.pAudioPath);
    delete g_Test3D.pSegment;
    g_Test3D.pSegment = nullptr;
}

} // namespace

void Begin3DTest()
{
    g_Test3D = Test3DState();
    g_SourceMarker.Forget();
}

HResult Init3DAudio(void* window)
{
    g_Test3D.pEngine = new (std::nothrow) CMusicEngine();
    if (!g_Test3D.pEngine) return kEOutOfMemory;
    HResult hr = g_Test3D.pEngine->Initialize(window, kEnginePChannels, kPathDynamicStereo);
    if (!Succeeded(hr)) return hr;

    const Audio3DCalls& a3d = GetAudio3DCalls();
    hr = a3d.createStandardAudioPath(g_Test3D.pEngine->performance, kPathDynamic3D, kPath3DPChannels,
                                     &g_Test3D.pAudioPath);
    if (!Succeeded(hr)) return hr;
    hr = a3d.getSourceBuffer(g_Test3D.pAudioPath, &g_Test3D.pSource);
    if (!Succeeded(hr)) return hr;
    // The source moves around the listener's head, wherever the listener is.
    g_Test3D.source.dwSize = sizeof(Ds3dBuffer);
    a3d.getSourceParameters(g_Test3D.pSource, &g_Test3D.source);
    g_Test3D.source.dwMode = kModeHeadRelative;
    a3d.setSourceParameters(g_Test3D.pSource, &g_Test3D.source, kApplyImmediate);

    hr = a3d.getListener(g_Test3D.pAudioPath, &g_Test3D.pListener);
    if (!Succeeded(hr)) return hr;
    g_Test3D.listener.dwSize = sizeof(Ds3dListener);
    a3d.getListenerParameters(g_Test3D.pListener, &g_Test3D.listener);
    return kSOk;
}

HResult LoadContentSegment(const char* path)
{
    DestroySegment();
    if (!g_Test3D.pEngine) return kContentNotLoaded;
    g_Test3D.pEngine->CollectGarbage();

    HResult hr = g_Test3D.pEngine->CreateSegmentFromFile(&g_Test3D.pSegment, path, false, IsMidiPath(path));
    if (Succeeded(hr)) {
        hr = g_Test3D.pSegment->Download(g_Test3D.pAudioPath);
        if (Succeeded(hr)) return kContentLoaded;
    } else {
        hr = kContentNotLoaded;
    }
    // A segment made before a later step failed is not kept half loaded.
    DestroySegment();
    return hr;
}

HResult Play3DSegment()
{
    if (!g_Test3D.pSegment) return kSFalse;
    HResult hr = g_Test3D.pSegment->SetRepeats(CMusicSegment::kRepeatForever);
    if (!Succeeded(hr)) return hr;
    return g_Test3D.pSegment->Play(kPlayOnBeat, g_Test3D.pAudioPath);
}

bool Stop3DSegment()
{
    if (!g_Test3D.pSegment) return false;
    g_Test3D.pSegment->Stop(kPlayOnBeat);
    return true;
}

void Stop3DSegmentNow()
{
    if (g_Test3D.pSegment) g_Test3D.pSegment->Stop(0);
}

void Apply3DSettings(float doppler, float rolloff, float minDistance, float maxDistance)
{
    const Audio3DCalls& a3d = GetAudio3DCalls();
    const uint32_t apply = g_Test3D.bDefer ? kApplyDeferred : kApplyImmediate;
    g_Test3D.listener.flDopplerFactor = doppler;
    g_Test3D.listener.flRolloffFactor = rolloff;
    if (g_Test3D.pListener) a3d.setListenerParameters(g_Test3D.pListener, &g_Test3D.listener, apply);
    g_Test3D.source.flMinDistance = minDistance;
    g_Test3D.source.flMaxDistance = maxDistance;
    if (g_Test3D.pSource) a3d.setSourceParameters(g_Test3D.pSource, &g_Test3D.source, apply);
}

void Commit3DSettings()
{
    if (g_Test3D.pListener) GetAudio3DCalls().commitDeferredSettings(g_Test3D.pListener);
}

void SetSourcePosition(const Vector3& position, const Vector3& velocity)
{
    g_Test3D.source.vPosition = {position.x, position.y, position.z};
    g_Test3D.source.vVelocity = {velocity.x, velocity.y, velocity.z};
    if (!g_Test3D.pSource) return;
    // The motion is never deferred, whatever the settings do.
    const Audio3DCalls& a3d = GetAudio3DCalls();
    a3d.setSourcePosition(g_Test3D.pSource, position.x, position.y, position.z, kApplyImmediate);
    a3d.setSourceVelocity(g_Test3D.pSource, velocity.x, velocity.y, velocity.z, kApplyImmediate);
}

void MoveSourceAt(uint32_t nowMs, int gridX, int gridZ, PixelSurface& picture)
{
    if (!g_bSourceMotion) return;
    const SourcePlace place = SourcePlaceAt(g_Test3D.clock.LapSeconds(nowMs), gridX, gridZ);
    g_SourceMarker.Draw(picture, place.position.x, place.position.z);
    SetSourcePosition(place.position, place.velocity);
}

void Release3DAudio()
{
    DestroySegment();
    ReleaseInterface(g_Test3D.pListener);
    ReleaseInterface(g_Test3D.pSource);
    ReleaseInterface(g_Test3D.pAudioPath);
    delete g_Test3D.pEngine;
    g_Test3D.pEngine = nullptr;
}
