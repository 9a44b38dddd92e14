// Draining the performance's notification queue while the audio-effects
// dialog is open: a segment-end notice about the loaded segment means the
// sound has ended by itself.
#pragma once

#include "dxtests/effect_calls.h"

constexpr uint32_t kSegmentEndOption = 1; // DMUS_NOTIFICATION_SEGEND
// DMUS_E_NOT_FOUND: a segment state whose segment is already gone.
constexpr HResult kDmusENotFound = static_cast<HResult>(0x88781161u);

// Takes every queued notice and frees it. *loadedEnded is set when one of
// them is the end of loaded (a null loaded matches nothing). Returns S_OK
// once the queue is empty, or the first failure of asking a segment-end
// notice for its segment (the notice and what it handed out are released
// first, and the drain stops there).
HResult DrainSegmentNotices(IDirectMusicPerformance8* performance, IDirectMusicSegment8* loaded, bool* loadedEnded);
