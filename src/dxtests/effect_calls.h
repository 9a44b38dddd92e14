// The DirectSound effect seam: the calls that CBufferEffects, the effect page
// and the notification drain make on a DirectMusic audio path, its DirectSound
// buffer, the effect objects and the performance's notification queue, as a
// table of functions. Their logic (enable order, S_FALSE rules, the count
// limit, which slot receives which interface, parameter hand-over, matching
// a segment's end) is portable and is driven by fake objects in tests.
//
// Bindings: the platform's (effect_calls_win.cpp, COM) and any table a test
// builds. Until one is selected, GetEffectCalls answers with a table whose
// every call fails with E_FAIL.
#pragma once

#include <cstdint>

#include "dxtests/effect_types.h"

struct IDirectSoundBuffer8;

// One entry of the performance's notification queue, as far as the drain
// needs it. message is handed back to freeMessage; user is the message's user
// object (a segment state for segment notifications) or null.
struct SegmentNotice {
    void* message;
    uint32_t option; // DMUS_NOTIFICATION_SEGEND and the others
    void* user;
};

struct EffectCalls {
    // Every interface is released through IUnknown::Release.
    void (*release)(void* unknown);

    // The audio path's DirectSound buffer: GetObjectInPath(DMUS_PCHANNEL_ALL,
    // DMUS_PATH_BUFFER, buffer 0, GUID_NULL, index 0, IID_IDirectSoundBuffer8).
    HResult (*getPathBuffer)(IDirectMusicAudioPath8* path, IDirectSoundBuffer8** buffer);
    HResult (*activatePath)(IDirectMusicAudioPath8* path, bool active);

    // IDirectSoundBuffer8::SetFX; count 0 with null arrays removes every effect.
    HResult (*setFX)(IDirectSoundBuffer8* buffer, uint32_t count, DsEffectDesc* descriptions, uint32_t* results);
    // IDirectSoundBuffer8::GetObjectInPath for an attached effect.
    HResult (*getEffect)(IDirectSoundBuffer8* buffer, const DsGuid* effectClass, uint32_t index,
                         const DsGuid* interfaceId, void** effect);
    // The effect interface of kind takes or gives the kind's whole record.
    HResult (*setAllParameters)(EffectKind kind, void* effect, const void* record);
    HResult (*getAllParameters)(EffectKind kind, void* effect, void* record);

    // Segment notifications from the performance signal event:
    // AddNotificationType(GUID_NOTIFICATION_SEGMENT), SetNotificationHandle(event, 0).
    HResult (*watchSegments)(IDirectMusicPerformance8* performance, void* event);
    // The performance's notification queue: GetNotificationPMsg (S_OK with
    // a message, anything else when empty) and FreePMsg.
    HResult (*nextNotice)(IDirectMusicPerformance8* performance, SegmentNotice* notice);
    HResult (*freeNotice)(IDirectMusicPerformance8* performance, void* message);
    // user -> IDirectMusicSegmentState8 -> its IDirectMusicSegment ->
    // IDirectMusicSegment8; each step hands out one reference.
    HResult (*querySegmentState)(void* user, void** state);
    HResult (*stateSegment)(void* state, void** segment);
    HResult (*querySegment8)(void* segment, IDirectMusicSegment8** segment8);
};

void SetEffectCalls(const EffectCalls* calls);
const EffectCalls& GetEffectCalls();
