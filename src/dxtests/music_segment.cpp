#include "dxtests/music_segment.h"

CMusicSegment::CMusicSegment(IDirectMusicPerformance8* performance, IDirectMusicLoader8* loader,
                             IDirectMusicSegment8* segment)
    : segment(segment),
      loader(loader),
      performance(performance),
      embeddedPath(nullptr),
      downloaded(false)
{
    if (!segment || !performance) return;
    const DirectXCalls& dx = GetDirectXCalls();
    void* config = nullptr;
    // Plain WAV and MIDI files carry no configuration; that is not an error.
    if (Succeeded(dx.getAudioPathConfig(segment, &config)) && config) {
        IDirectMusicAudioPath8* path = nullptr;
        if (Succeeded(dx.createAudioPath(performance, config, &path))) embeddedPath = path;
        dx.release(config);
    }
}

CMusicSegment::~CMusicSegment()
{
    if (segment) {
        const DirectXCalls& dx = GetDirectXCalls();
        if (loader) dx.releaseObject(loader, segment);
        if (downloaded) {
            void* target = TargetFor(nullptr);
            if (target) dx.unload(segment, target);
        }
        if (embeddedPath) dx.release(embeddedPath);
        dx.release(segment);
    }
    embeddedPath = nullptr;
    segment = nullptr;
    performance = nullptr;
}

void* CMusicSegment::TargetFor(IDirectMusicAudioPath8* path) const
{
    if (path) return path;
    if (embeddedPath) return embeddedPath;
    return performance;
}

HResult CMusicSegment::Download(IDirectMusicAudioPath8* path)
{
    if (!segment) return kCoENotInitialized;
    HResult hr = GetDirectXCalls().download(segment, TargetFor(path));
    if (Succeeded(hr)) downloaded = true;
    return hr;
}

HResult CMusicSegment::Unload(IDirectMusicAudioPath8* path)
{
    if (!segment) return kCoENotInitialized;
    HResult hr = GetDirectXCalls().unload(segment, TargetFor(path));
    if (Succeeded(hr)) downloaded = false;
    return hr;
}

HResult CMusicSegment::Play(uint32_t flags, IDirectMusicAudioPath8* path)
{
    if (!segment || !performance) return kCoENotInitialized;
    if (!downloaded) return kEFail;
    return GetDirectXCalls().playSegment(performance, segment, flags, path ? path : embeddedPath);
}

HResult CMusicSegment::Stop(uint32_t flags)
{
    if (!segment || !performance) return kCoENotInitialized;
    return GetDirectXCalls().stop(performance, segment, flags);
}

HResult CMusicSegment::SetRepeats(uint32_t repeats)
{
    if (!segment) return kCoENotInitialized;
    return GetDirectXCalls().setRepeats(segment, repeats);
}
