// The platform's binding of the effect seam: DirectSound buffers and effect
// objects, DirectMusic audio paths and notifications, as MinGW-w64 declares
// them.
#pragma once

#include "dxtests/effect_calls.h"

const EffectCalls* EffectCallsWin();
