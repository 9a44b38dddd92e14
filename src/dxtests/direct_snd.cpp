#include "dxtests/direct_snd.h"

#include <cstring>

namespace {

// Copies at most size - 1 characters; the zeroed table supplies the end.
void CopyName(char* to, size_t size, const char* from)
{
    if (from) std::strncpy(to, from, size - 1);
}

} // namespace

CDirectSnd::CDirectSnd(void* window) : devices{}, count(0), m_window(window) {}

CDirectSnd::~CDirectSnd() = default;

int32_t CDirectSnd::EnumerateDevices()
{
    std::memset(devices, 0, sizeof devices);
    count = 0;
    if (!Succeeded(GetDirectXCalls().enumerateDevices(&CDirectSnd::OnDevice, this))) return -1;
    return count;
}

bool CDirectSnd::OnDevice(const DsGuid* guid, const char* description, const char* module, void* context)
{
    CDirectSnd* self = static_cast<CDirectSnd*>(context);
    if (self->count >= kMaxDevices) return false; // a platform that does not stop when told
    if (guid) {
        const DirectXCalls& dx = GetDirectXCalls();
        DSDeviceEntry& entry = self->devices[self->count];
        entry.guid = *guid;
        CopyName(entry.description, sizeof entry.description, description);
        CopyName(entry.module, sizeof entry.module, module);
        IDirectSound* device = nullptr;
        if (Succeeded(dx.createDevice(guid, &device)) && device) {
            dx.setCooperativeLevel(device, self->m_window, kCooperativeNormal);
            entry.caps.dwSize = sizeof(DsCaps);
            if (!Succeeded(dx.getCaps(device, &entry.caps))) {
                entry.caps = DsCaps{}; // a failed query may leave anything behind
            }
            dx.release(device);
        }
        ++self->count;
    }
    return self->count < kMaxDevices;
}
