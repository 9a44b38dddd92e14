// The platform's binding of the DirectX seam: COM, DirectSound and
// DirectMusic as MinGW-w64 declares them.
#pragma once

#include "dxtests/directx_calls.h"

const DirectXCalls* DirectXCallsWin();
