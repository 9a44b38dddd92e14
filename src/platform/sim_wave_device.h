// A simulated wave device behind the same table as winmm.
//
// How it works: every open device has a queue of headers and a thread of its
// own. The thread takes the block at the head of the queue when it is due,
// fills it (input, from the signal generator) or hands its bytes to the output
// sink (output), marks it done (done set, in-queue cleared) and reports it once
// through the completion callback, so blocks finish one at a time, in the order
// they were queued, on the device's thread. The callback may queue blocks
// again from inside the callback.
//
// A block is due
// - in real time: when the device has played or recorded it at the format's
//   average bytes per second, from the end of the previous block, or from
//   the start (output: open or restart; input: start) or from its queueing
//   when it came later. The pace is the format's, not the device thread's:
//   a thread that runs late (a loaded machine) completes the blocks that are
//   overdue at once, as a sound card's driver would;
// - in stepped mode: when a test asks for it with SimCompleteBlocks.
// Reset moves every queued block, still in order, to the thread, which reports
// each as done whatever the pacing. As winmm does, the block under way comes
// back with the whole frames it had recorded or played (real time: as far as
// its time has run; stepped: what SimCutShortAtReset asked for), the blocks
// behind it with none; dwBytesRecorded says how many, for output too. Close
// waits until those reports are over, sends the close notice and ends the
// thread, so no callback runs after it.
//
// Like winmm: prepare sets the prepared flag; queueing wants a prepared header
// that is not queued (34 otherwise, 33 when queued already); unprepare and
// close refuse while a header is queued (33). Output plays as soon as a block
// is written unless paused; input records only after start.
//
// The settings below apply to the devices opened after them, except stall and
// drop, which also reach the device that is open.
#pragma once

#include "platform/wave_device.h"

#include <cstdint>
#include <functional>
#include <vector>

enum SimDirection { kSimInput = 0, kSimOutput = 1 };

const WaveDeviceTable* SimWaveDeviceTable();

// The table a program run uses, by the name given for a test or
// fault-injection run (the start-up reads it from MIRRAVOX_WAVE_DEVICE):
//   "sim"                the simulated device, real-time paced;
//   "sim-refuse-format"  the simulated device refusing every format (32);
//   "sim-open-fails"     the simulated device failing every open (4, in use);
//   "none"               no wave device at all.
// Anything else, or no name, gives systemTable. The simulated device is set
// up for the choice.
const WaveDeviceTable* ChooseWaveDeviceTable(const char* name, const WaveDeviceTable* systemTable);

// Back to the defaults: one input and one output device ("Sim Input",
// "Sim Output"; every basic format, 2 channels), no auxiliary device, every
// PCM format accepted, real-time pacing, the counter signal, no sink, no
// failure. Closes whatever device a test has left open (without callbacks) and
// clears the log and the call count. Returns how many devices were left open.
int SimReset();

void SimSetInputDevices(const std::vector<WaveInCaps>& devices);
void SimSetOutputDevices(const std::vector<WaveOutCaps>& devices);
void SimSetAuxDevices(const std::vector<AuxCaps>& devices);

// Decides whether a device accepts a format (open and query alike; a refused
// format gives kWaveErrBadFormat). The record is always extensible-shaped: a
// plain PCM record arrives with its extension fields zero. An empty rule
// accepts every PCM and extensible PCM format.
using SimFormatRule =
    std::function<bool(SimDirection direction, uint32_t deviceId, const WaveFormatExtensible& format)>;
void SimSetFormatRule(SimFormatRule rule);

// Opens (not queries) of that direction fail with code; 0 ends the failure.
void SimSetOpenFailure(SimDirection direction, uint32_t code);

void SimSetStepped(bool stepped);

// Input signal: fills bytes of recorded data at byte offset streamOffset of
// the device's stream. The default writes the low byte of each byte's offset.
using SimSignal = std::function<void(uint8_t* data, uint32_t bytes, uint64_t streamOffset)>;
void SimSetInputSignal(SimSignal signal);

// Output sink: sees the bytes of every played block (of a block cut short by
// a reset, the part played), in order, on the device thread, before the done
// report.
using SimSink = std::function<void(const uint8_t* data, uint32_t bytes)>;
void SimSetOutputSink(SimSink sink);

// Stepped device: completes the next n queued blocks. Real-time device: waits
// for the next n completions. Either way returns once their callbacks have
// run, or earlier when the device cannot go on (queue empty, not started,
// paused, stalled, dropped, closed). Returns how many of the n completed (a
// real-time device may complete more before the caller wakes; they are not
// counted). Acts on the device of that direction opened last.
int SimCompleteBlocks(SimDirection direction, int n);

// Stepped device: at a reset, the block at the head of the queue has recorded
// (input) or played (output) this many bytes, rounded down to whole frames
// and always less than the block. 0, the default, hands it back empty.
void SimCutShortAtReset(SimDirection direction, uint32_t bytes);

// A stalled device keeps its queue and completes nothing until un-stalled.
void SimSetStall(SimDirection direction, bool stalled);

// After n more completions (0: now) the device is lost: it completes nothing
// and refuses queueing, start and restart with kWaveErrNoDriver. Reset still
// hands back what is queued, and close succeeds. Applies to the open device
// of that direction, or else to the next one opened.
void SimDropAfter(SimDirection direction, int n);

struct SimOpenRecord {
    SimDirection direction;
    uint32_t deviceId;
    uint32_t flags;
    WaveFormatExtensible format; // as for SimFormatRule
    uint32_t result;
};
std::vector<SimOpenRecord> SimOpenLog(); // every open and query, in order

uint32_t SimCallCount();                     // calls into the table since SimReset
int SimOpenDeviceCount();                    // devices open now
int SimQueuedBlocks(SimDirection direction); // queued at the device opened last
