// The process-wide application state, all of it: include this where a file
// uses several groups, or the group's own header where it uses one.
// Portable; the window handles and drawing resources are in win_state_win.h.
#pragma once

#include "state/display_state.h"
#include "state/program_paths.h"
#include "state/session_state.h"
#include "state/sound_format.h"
#include "state/stores.h"
