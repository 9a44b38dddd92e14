// CMusicSegment: one loaded sound file (DirectMusic segment, MIDI or WAV
// file), the audio path stored in the file if it carries one, and whether
// its instruments and waves are downloaded.
//
// Made only by CMusicEngine::CreateSegmentFromFile. The loader and the
// performance are the engine's, borrowed without a reference: a segment
// must be destroyed before the engine that made it, since its destructor
// still uses both.
#pragma once

#include "dxtests/directx_calls.h"

#include <cstdint>

class CMusicSegment {
public:
    static constexpr uint32_t kRepeatForever = 0xFFFFFFFFu; // DMUS_SEG_REPEAT_INFINITE

    // Takes over one reference to segment; builds the file's own audio path.
    CMusicSegment(IDirectMusicPerformance8* performance, IDirectMusicLoader8* loader, IDirectMusicSegment8* segment);
    virtual ~CMusicSegment();
    CMusicSegment(const CMusicSegment&) = delete;
    CMusicSegment& operator=(const CMusicSegment&) = delete;

    // Without a path, download and unload go to the file's own path, else to
    // the performance; play uses the file's own path, else the performance's
    // default path.
    HResult Download(IDirectMusicAudioPath8* path = nullptr);
    HResult Unload(IDirectMusicAudioPath8* path = nullptr);
    HResult Play(uint32_t flags, IDirectMusicAudioPath8* path = nullptr);
    HResult Stop(uint32_t flags);
    HResult SetRepeats(uint32_t repeats);

    // The loaded segment, to match notifications about it.
    IDirectMusicSegment8* GetSegment() const { return segment; }
    bool IsDownloaded() const { return downloaded; }
    IDirectMusicAudioPath8* GetEmbeddedPath() const { return embeddedPath; }

private:
    void* TargetFor(IDirectMusicAudioPath8* path) const;

    IDirectMusicSegment8* segment;
    IDirectMusicLoader8* loader;
    IDirectMusicPerformance8* performance;
    IDirectMusicAudioPath8* embeddedPath;
    bool downloaded;
};
