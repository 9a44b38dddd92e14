// The platform's binding of the 3D seam: DirectMusic's audio paths and
// DirectSound's 3D buffer and listener as MinGW-w64 declares them.
#pragma once

#include "dxtests/audio3d_calls.h"

const Audio3DCalls* Audio3DCallsWin();
