#include "platform/wave_device.h"

#include <atomic>
#include <cstring>

bool SameGuid(const WaveGuid& a, const WaveGuid& b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

namespace {

uint32_t NoDevices() { return 0; }
uint32_t NoInCaps(uint32_t, WaveInCaps*) { return kWaveErrBadDeviceId; }
uint32_t NoOutCaps(uint32_t, WaveOutCaps*) { return kWaveErrBadDeviceId; }
uint32_t NoAuxCaps(uint32_t, AuxCaps*) { return kWaveErrBadDeviceId; }
uint32_t NoOpen(WaveHandle*, uint32_t, const WaveFormatEx*, WaveCallback, uintptr_t, uint32_t)
{
    return kWaveErrBadDeviceId;
}
uint32_t NoHeaderOp(WaveHandle, WaveHeader*) { return kWaveErrInvalidHandle; }
uint32_t NoDeviceOp(WaveHandle) { return kWaveErrInvalidHandle; }

const WaveDeviceTable kNoDeviceTable = {
    NoDevices,  NoInCaps,   NoOpen,     NoHeaderOp, NoHeaderOp, NoHeaderOp, NoDeviceOp,
    NoDeviceOp, NoDeviceOp, NoDevices,  NoOutCaps,  NoOpen,     NoHeaderOp, NoHeaderOp,
    NoHeaderOp, NoDeviceOp, NoDeviceOp, NoDeviceOp, NoDeviceOp, NoDevices,  NoAuxCaps,
};

std::atomic<const WaveDeviceTable*> s_table{nullptr};

} // namespace

void SetWaveDeviceTable(const WaveDeviceTable* table) { s_table.store(table); }

const WaveDeviceTable* GetWaveDeviceTable()
{
    const WaveDeviceTable* table = s_table.load();
    return table != nullptr ? table : &kNoDeviceTable;
}

const WaveDeviceTable* NoWaveDeviceTable() { return &kNoDeviceTable; }
