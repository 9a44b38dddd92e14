// CBufferEffects: the effects attached to the DirectSound buffer of one
// DirectMusic audio path, and the parameter records of all eight effects.
//
// Effects are enabled one by one (each kind once) and attached together, in
// the order they were enabled, by one SetFX call; then each effect's
// interface is fetched into its slot. S_FALSE means there was nothing to do.
//
// Life: constructed empty -> Initialize (takes over a path and finds its
// buffer) -> EnableEffect ... ActivateEffects -> ApplyParameters while the
// sound plays -> DisableAllEffects before the next sound -> destroyed. The
// records live as long as the object, so each opening of the dialog starts
// again from the effects' own defaults.
#pragma once

#include <cstdint>

#include "dxtests/effect_calls.h"
#include "dxtests/effect_types.h"

class CBufferEffects {
public:
    CBufferEffects();
    ~CBufferEffects();
    CBufferEffects(const CBufferEffects&) = delete;
    CBufferEffects& operator=(const CBufferEffects&) = delete;

    // Takes over the caller's reference to audioPath and fetches its buffer;
    // a held path and buffer are let go first. A null path just lets go.
    HResult Initialize(IDirectMusicAudioPath8* audioPath, bool loadDefaults);
    HResult Uninitialize();
    HResult EnableEffect(int32_t kind);
    HResult ActivateEffects();
    // ActivateEffects; when the platform refuses the whole chain because of
    // some of its effects (SetFX reports each one), the others are attached
    // without them. Returns the last attempt's result.
    HResult ActivateAvailableEffects();
    HResult DisableAllEffects();
    HResult ApplyParameters();
    // Attaches every effect once and reads each one's own parameters into
    // its record; a kind that cannot be created keeps its record.
    HResult LoadDefaultParameters();

    void* effects[kEffectKindCount]; // live interfaces, null unless attached
    EffectParameterSet parameters;
    IDirectSoundBuffer8* buffer;
    IDirectMusicAudioPath8* audioPath;
    DsEffectDesc descriptions[kEffectKindCount];
    const DsGuid* interfaceIds[kEffectKindCount];
    void** targets[kEffectKindCount];
    bool enabled[kEffectKindCount];
    uint32_t count;

private:
    void ClearChain();

    uint32_t m_results[kEffectKindCount]; // SetFX's answer for each description
    bool m_chainRefused;                  // the last SetFX failed
};
