// CWave: one wave input or output device with a ring of 8 blocks.
//
// Input: the device fills the blocks in turn; what it recorded into each
// block (all of it, or at a reset part or none) is appended to the attached
// recording store (wrapping to its start before a block would reach the end)
// and the block is queued again. Output: each block is filled from the
// attached playback source, which loops without a gap, and each played block
// is copied into the attached playback store for display, refilled and queued
// again. A store is handed over as a SharedStore (state/stores.h): CWave
// writes its bytes and counters through it and knows no global.
//
// The device is reached only through the wave device table (platform/
// wave_device.h). Completions arrive on the device's thread through
// OnInputMessage / OnOutputMessage, plain methods, so a device layer that must
// not re-queue inside its own callback can call them from a thread of its own.
//
// Threads: the owner (a session thread) opens, starts and closes; the device
// thread runs the completions; the user-interface thread reads the totals and
// GetStoreStatus. The values those threads share are atomics; a reader takes
// a value that may be one block old.
#pragma once

#include "platform/sync.h"
#include "platform/wave_device.h"
#include "state/stores.h"

#include <atomic>
#include <cstdint>
#include <mutex>

class CWave {
public:
    static constexpr int kBlockCount = 8;

    // Channels outside 0..2 become 1, a rate outside 8000..128000 Hz becomes
    // 11025, bits outside 8..24 become 8. blockSamples is frames per block.
    CWave(int blockSamples, int channels, int rate, int bits);
    // Closes a device the owner has left open, then frees the blocks.
    virtual ~CWave();
    CWave(const CWave&) = delete;
    CWave& operator=(const CWave&) = delete;

    // Input. The recording store is not owned; its buffer and usable size are
    // taken now, and at 8 bits the buffer is filled with silence (128). Each
    // captured block adds to its bytes held and may set its wrapped flag.
    void SetInputStore(SharedStore* store);
    uint32_t OpenInput(uint32_t deviceId); // device result code, 0 when open with 8 blocks queued
    uint32_t StartInput();
    uint32_t CloseInput(); // blocks come back, are not re-queued; device closed

    // Output. The source is not owned and is played from its start, looped.
    void SetOutputSource(uint8_t* source, int32_t size);
    // Where each played block is copied; null keeps no copy (the blocks still count).
    void SetPlaybackStore(SharedStore* store);
    uint32_t OpenOutput(uint32_t deviceId); // device result code of the open
    int StartOutput();                      // queues the 8 blocks while paused, then runs; 1
    int WriteBlock(int index);              // fills block index from the source and queues it; 1
    uint32_t CloseOutput();                 // close result, 0 when nothing was open

    // Fill of the attached store: percent (100 once wrapped), bytes held (of
    // a wrapped recording store, the sound it really holds, without the
    // stretch at its end that no block reached), seconds of sound in them,
    // and the store position. Returns percent.
    int GetStoreStatus(int* percent, int* bytes, float* seconds, int* position) const;

    // False when a block buffer could not be allocated: such an object is
    // treated as one that could not be created.
    bool Created() const;

    // Capability records (zeroed when the device cannot be asked).
    void GetAuxCaps(uint32_t deviceId, AuxCaps* caps) const;
    void GetInputCaps(uint32_t deviceId, WaveInCaps* caps) const;
    void GetOutputCaps(uint32_t deviceId, WaveOutCaps* caps) const;
    uint32_t GetInputDeviceCount() const;
    uint32_t GetOutputDeviceCount() const;
    uint32_t GetAuxDeviceCount() const;

    // Asks a device whether it takes a format, without opening it: plain PCM
    // first, then the extensible record. direction 0 input, 1 output; any
    // other direction answers 1 without asking. 0 means supported.
    uint32_t QueryFormat(uint32_t deviceId, int direction, int rate, int channels, int bits,
                         uint32_t channelMask) const;

    // Completion handling: every message of the device, in completion order.
    void OnInputMessage(uint32_t message, WaveHeader* header);
    void OnOutputMessage(uint32_t message, WaveHeader* header);

    // The record devices are opened with: plain PCM below 24 bits, else
    // extensible with channel mask 4 (mono) or 3 (stereo).
    WaveFormatExtensible DeviceFormat() const;

    std::atomic<int64_t> m_nTotalIn;  // bytes captured since construction
    std::atomic<int64_t> m_nTotalOut; // bytes played, all of each block, kept in the playback store or not
    WaveHandle m_hWaveIn;
    WaveHandle m_hWaveOut;
    int32_t m_nChannels;
    int32_t m_nSampleRate;
    int32_t m_nBitsPerSample;
    uint8_t* m_pStore; // input: recording store; output: playback source
    int32_t m_nStoreSize;
    std::atomic<int32_t> m_nStorePos;
    std::atomic<int32_t> m_bStoreWrapped;
    // Bytes of sound the store holds: input, up to the end of the newest
    // byte or, once wrapped, of the lap before; output, the source's size.
    std::atomic<int32_t> m_nStoreHeld;
    uint8_t* m_pBlock[kBlockCount];   // owned, m_nBlockBytes each, zero-filled
    WaveHeader m_Header[kBlockCount]; // header i carries block i, user word i
    int32_t m_nBlockBytes;
    std::atomic<int32_t> m_nInState;  // 1 open or running, 2 closing
    std::atomic<int32_t> m_nOutState; // 1 open or running, 2 closing
    SyncLock* m_hCloseMutex;          // "WAVECLOSEMUTEX", shared by every CWave
    SharedStore* m_pSharedStore;      // input: the recording store; output: the playback store

private:
    static void InputCallback(WaveHandle device, uint32_t message, uintptr_t context, WaveHeader* header);
    static void OutputCallback(WaveHandle device, uint32_t message, uintptr_t context, WaveHeader* header);
    void InitHeader(int index);
    int HeaderIndex(const WaveHeader* header) const;
    int32_t HandledBytes(const WaveHeader& header) const;
    uint32_t QueueInput(int index);
    void FillFromSource(int index);
    void StoreRecorded(const uint8_t* data, int32_t bytes);
    void CopyToPlaybackStore(int index, int32_t bytes);
    bool WaitForBlocksBack(uint32_t limitMs) const;

    const WaveDeviceTable* m_pDevices;      // chosen at construction
    std::atomic<int32_t> m_nBlocksAtDevice; // queued, or back but not yet handled
    // Makes "closing?" and "queue the block again" one step against CloseInput
    // marking the object closing, so no input block is queued after the reset.
    std::mutex m_InputQueueLock;
};
