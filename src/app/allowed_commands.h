// What the main window allows while sessions are under way: the one rule
// behind every refusal of a command and the greying of the menus and combos.
//
// Portable core. The window asks VerdictFor before it runs a command, and
// greys the format and buffer combos and the File, Settings and Effects
// menus when bSettings is false.
#pragma once

#include "audio/sessions.h"

struct AllowedActions {
    bool bRecord;   // a capture session may begin
    bool bOutput;   // a playback may begin: Playback, the tone presets, Create tone
    bool bClear;    // the stores may be cleared: Clear buffer, and the clearing at Record and at a tone
    bool bSettings; // the format and buffer combos and the File, Settings and Effects menus
};

AllowedActions AllowedFor(const SessionsUnderWay& sessions);

enum class CommandVerdict {
    Run,
    Ignore,     // refused without a word
    OutputBusy, // refused with the "Output in progress" box
};

// The verdict on a command or control id of the main window (resource.h).
// Output-starting commands are refused with the box while a playback is under
// way; Record while a capture is; Clear buffer, the format and buffer combos
// and the commands of the File, Settings and Effects menus (Exit excepted)
// while any session is. Everything else always runs.
CommandVerdict VerdictFor(int commandId, const AllowedActions& allowed);
