#include "app/allowed_commands.h"

#include "resource.h"

namespace {

enum class Needs { Nothing, Record, Output, Clear, Settings };

struct CommandNeed {
    int nId;
    Needs needs;
};

// Every id that is ever refused, with what it needs.
constexpr CommandNeed kCommandNeeds[] = {
    {IDM_RECORD, Needs::Record},
    {IDC_RECORD, Needs::Record},
    {IDM_PLAYBACK, Needs::Output},
    {IDC_PLAYBACK, Needs::Output},
    {IDM_SINE_1K, Needs::Output},
    {IDM_SAW_1K, Needs::Output},
    {IDM_SQUARE_1K, Needs::Output},
    {IDM_WHITE_NOISE, Needs::Output},
    {IDM_CREATE_TONE, Needs::Output},
    {IDM_CLEAR, Needs::Clear},
    // The greyed menus: File (Exit excepted), Settings, Effects.
    {IDM_SAVE_RECORDING, Needs::Settings},
    {IDM_DEVICE_SELECTION, Needs::Settings},
    {IDM_DISPLAY_SETTINGS, Needs::Settings},
    {IDM_MIXER, Needs::Settings},
    {IDM_WAVE_CAPS, Needs::Settings},
    {IDM_DS_CAPS, Needs::Settings},
    {IDM_3D_SOUND, Needs::Settings},
    {IDM_AUDIO_FX, Needs::Settings},
    // The greyed combos: a new format or store size under a running device
    // would change the stores it writes.
    {IDC_RATE, Needs::Settings},
    {IDC_CHANNELS, Needs::Settings},
    {IDC_RESOLUTION, Needs::Settings},
    {IDC_BUFFER_SIZE, Needs::Settings},
};

Needs NeedsOf(int commandId)
{
    for (const CommandNeed& c : kCommandNeeds)
        if (c.nId == commandId) return c.needs;
    return Needs::Nothing;
}

} // namespace

AllowedActions AllowedFor(const SessionsUnderWay& sessions)
{
    const bool idle = !sessions.bCapture && !sessions.bPlayback;
    return {!sessions.bCapture, !sessions.bPlayback, idle, idle};
}

CommandVerdict VerdictFor(int commandId, const AllowedActions& allowed)
{
    switch (NeedsOf(commandId)) {
    case Needs::Nothing: return CommandVerdict::Run;
    case Needs::Record: return allowed.bRecord ? CommandVerdict::Run : CommandVerdict::Ignore;
    case Needs::Output: return allowed.bOutput ? CommandVerdict::Run : CommandVerdict::OutputBusy;
    case Needs::Clear: return allowed.bClear ? CommandVerdict::Run : CommandVerdict::Ignore;
    case Needs::Settings: return allowed.bSettings ? CommandVerdict::Run : CommandVerdict::Ignore;
    }
    return CommandVerdict::Run;
}
