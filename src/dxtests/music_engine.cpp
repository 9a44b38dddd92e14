#include "dxtests/music_engine.h"

#include "dxtests/midi_file_check.h"
#include "dxtests/wav_file_check.h"

#include <cstring>
#include <new>

CMusicEngine::CMusicEngine() : comInitialized(false), loader(nullptr), performance(nullptr)
{
    comInitialized = Succeeded(GetDirectXCalls().coInitialize());
}

CMusicEngine::~CMusicEngine()
{
    const DirectXCalls& dx = GetDirectXCalls();
    if (loader) dx.release(loader);
    loader = nullptr;
    if (performance) {
        dx.stop(performance, nullptr, 0);
        dx.closeDown(performance);
        dx.release(performance);
        performance = nullptr;
    }
    if (comInitialized) dx.coUninitialize();
}

HResult CMusicEngine::Initialize(void* window, uint32_t pchannels, uint32_t pathType)
{
    const DirectXCalls& dx = GetDirectXCalls();
    HResult hr = dx.createLoader(&loader);
    if (!Succeeded(hr)) return hr;
    hr = dx.createPerformance(&performance);
    if (!Succeeded(hr)) return hr;
    hr = dx.initAudio(performance, window, pathType, pchannels, kAudioAll);
    return Succeeded(hr) ? kSOk : hr;
}

HResult CMusicEngine::SetSearchDirectory(const char* folder)
{
    if (!loader) return kEUnexpected;
    return GetDirectXCalls().setSearchDirectory(loader, folder);
}

void CMusicEngine::CollectGarbage()
{
    if (loader) GetDirectXCalls().collectGarbage(loader);
}

IDirectMusicAudioPath8* CMusicEngine::GetDefaultAudioPath()
{
    if (!performance) return nullptr;
    IDirectMusicAudioPath8* path = nullptr;
    if (!Succeeded(GetDirectXCalls().getDefaultAudioPath(performance, &path))) return nullptr;
    return path;
}

HResult CMusicEngine::CreateSegmentFromFile(CMusicSegment** out, const char* path, bool download, bool isMidi)
{
    if (!out || !path) return kEPointer;
    if (!loader) return kEUnexpected;
    // The platform's loader may take a broken MIDI or WAV file for a segment
    // that plays nothing or garbage; such a file is refused here instead.
    if (CheckMidiContentFile(path) == MidiCheck::Broken || CheckWavContentFile(path) == WavCheck::Broken) {
        return kDmusEUnsupportedStream;
    }

    const DirectXCalls& dx = GetDirectXCalls();
    IDirectMusicSegment8* segment = nullptr;
    HResult hr = dx.loadSegment(loader, path, &segment);
    if (!Succeeded(hr)) return hr;

    CMusicSegment* made = new (std::nothrow) CMusicSegment(performance, loader, segment);
    *out = made;
    if (!made) {
        dx.release(segment);
        return kEOutOfMemory;
    }
    if (isMidi) {
        hr = dx.setMidiParam(segment);
        if (!Succeeded(hr)) return hr;
    }
    if (download) {
        hr = made->Download();
        if (!Succeeded(hr)) return hr;
    }
    return kSOk;
}

bool IsMidiPath(const char* path) { return path && (std::strstr(path, ".mid") || std::strstr(path, ".rmi")); }
