#include "display/cpu_load_sources_win.h"

#include <windows.h>

#include <pdh.h>

namespace {

uint64_t Units(const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

using GetSystemTimesFn = BOOL(WINAPI*)(FILETIME*, FILETIME*, FILETIME*);

// Windows since XP SP1: the processor times summed over all processors.
class SystemTimesSource : public CpuLoadSource {
public:
    explicit SystemTimesSource(GetSystemTimesFn get) : m_pfnGetSystemTimes(get) { Read(&m_Last); }
    int Sample(int* percent) override
    {
        CpuTimes now;
        if (!Read(&now)) return kCpuCollectFailed;
        *percent = LoadBetween(m_Last, now);
        m_Last = now;
        return 0;
    }

private:
    bool Read(CpuTimes* times) const
    {
        FILETIME idle, kernel, user;
        if (!m_pfnGetSystemTimes(&idle, &kernel, &user)) return false;
        *times = {Units(idle), Units(kernel), Units(user)};
        return true;
    }

    GetSystemTimesFn m_pfnGetSystemTimes;
    CpuTimes m_Last;
};

// The Performance Data Helper, reached only through LoadLibraryA and
// GetProcAddress, never linked.
class PdhSource : public CpuLoadSource {
public:
    using OpenQueryFn = PDH_STATUS(WINAPI*)(LPCSTR, DWORD_PTR, PDH_HQUERY*);
    using AddCounterFn = PDH_STATUS(WINAPI*)(PDH_HQUERY, LPCSTR, DWORD_PTR, PDH_HCOUNTER*);
    using CollectQueryDataFn = PDH_STATUS(WINAPI*)(PDH_HQUERY);
    using GetFormattedCounterValueFn = PDH_STATUS(WINAPI*)(PDH_HCOUNTER, DWORD, LPDWORD, PPDH_FMT_COUNTERVALUE);

    PdhSource()
    {
        if (!LoadPdhLibrary()) throw MessageBoxId::CpuPdhLibrary;
        // Windows matches counter paths without regard to case; Wine only
        // matches this spelling.
        if (m_pfnOpenQuery(nullptr, 0, &m_hQuery) != 0 ||
            m_pfnAddCounter(m_hQuery, "\\Processor(_Total)\\% Processor Time", 0, &m_hCounter) != 0) {
            FreeLibrary(m_hPdh);
            throw MessageBoxId::CpuPdhCall;
        }
        // A rate counter needs two collections; the first sample is then a
        // real one instead of a failure.
        m_pfnCollectQueryData(m_hQuery);
    }
    ~PdhSource() override { FreeLibrary(m_hPdh); }

    int Sample(int* percent) override
    {
        if (m_pfnCollectQueryData(m_hQuery) != 0) return kCpuCollectFailed;
        PDH_FMT_COUNTERVALUE value = {};
        if (m_pfnGetFormattedCounterValue(m_hCounter, PDH_FMT_LONG, nullptr, &value) != 0) return kCpuFormatFailed;
        *percent = int(value.longValue);
        return 0;
    }

private:
    template <typename Fn>
    bool Resolve(Fn* fn, const char* name)
    {
        *fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m_hPdh, name)));
        return *fn != nullptr;
    }
    bool LoadPdhLibrary()
    {
        m_hPdh = LoadLibraryA("PDH.DLL");
        if (!m_hPdh) return false;
        if (Resolve(&m_pfnGetFormattedCounterValue, "PdhGetFormattedCounterValue") &&
            Resolve(&m_pfnCollectQueryData, "PdhCollectQueryData") && Resolve(&m_pfnAddCounter, "PdhAddCounterA") &&
            Resolve(&m_pfnOpenQuery, "PdhOpenQueryA"))
            return true;
        FreeLibrary(m_hPdh);
        return false;
    }

    PDH_HQUERY m_hQuery = nullptr;
    PDH_HCOUNTER m_hCounter = nullptr;
    GetFormattedCounterValueFn m_pfnGetFormattedCounterValue = nullptr;
    CollectQueryDataFn m_pfnCollectQueryData = nullptr;
    AddCounterFn m_pfnAddCounter = nullptr;
    OpenQueryFn m_pfnOpenQuery = nullptr;
    HMODULE m_hPdh = nullptr;
};

// Systems outside the NT family: reading "KERNEL\CPUUsage" under StartStat
// starts the kernel's statistics, under StatData gives the load, under
// StopStat stops them.
class RegistrySource : public CpuLoadSource {
public:
    RegistrySource()
    {
        HKEY start = nullptr;
        if (RegOpenKeyA(HKEY_DYN_DATA, "PerfStats\\StartStat", &start) != ERROR_SUCCESS)
            throw MessageBoxId::CpuRegistry;
        const bool started = Read(start);
        RegCloseKey(start);
        if (!started || RegOpenKeyA(HKEY_DYN_DATA, "PerfStats\\StatData", &m_hKey) != ERROR_SUCCESS)
            throw MessageBoxId::CpuRegistry;
    }
    ~RegistrySource() override
    {
        RegCloseKey(m_hKey);
        HKEY stop = nullptr;
        if (RegOpenKeyA(HKEY_DYN_DATA, "PerfStats\\StopStat", &stop) != ERROR_SUCCESS) return;
        Read(stop);
        RegCloseKey(stop);
    }

    int Sample(int* percent) override
    {
        if (!Read(m_hKey)) return kCpuRegistryFailed;
        *percent = int(m_dwValue);
        return 0;
    }

private:
    bool Read(HKEY key)
    {
        m_dwType = REG_DWORD;
        m_cbValue = sizeof(m_dwValue);
        return RegQueryValueExA(key, "KERNEL\\CPUUsage", nullptr, &m_dwType, reinterpret_cast<BYTE*>(&m_dwValue),
                                &m_cbValue) == ERROR_SUCCESS;
    }

    HKEY m_hKey = nullptr;
    DWORD m_dwValue = 0;
    DWORD m_dwType = REG_DWORD;
    DWORD m_cbValue = sizeof(DWORD);
};

std::unique_ptr<CpuLoadSource> OpenSystemSource()
{
    if (!IsWinNT()) return OpenRegistrySource();
    if (auto source = OpenSystemTimesSource()) return source;
    return OpenPdhSource();
}

CpuLoadSourceOpener s_pfnOpener = nullptr;

} // namespace

bool IsWinNT()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL known = GetVersionExA(&info);
#pragma GCC diagnostic pop
    return known && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::unique_ptr<CpuLoadSource> OpenSystemTimesSource()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto get = reinterpret_cast<GetSystemTimesFn>(
        reinterpret_cast<void*>(kernel ? GetProcAddress(kernel, "GetSystemTimes") : nullptr));
    if (!get) return nullptr;
    return std::make_unique<SystemTimesSource>(get);
}

std::unique_ptr<CpuLoadSource> OpenPdhSource() { return std::make_unique<PdhSource>(); }
std::unique_ptr<CpuLoadSource> OpenRegistrySource() { return std::make_unique<RegistrySource>(); }

void SetCpuLoadSourceOpener(CpuLoadSourceOpener opener) { s_pfnOpener = opener; }

std::unique_ptr<CpuLoadSource> OpenCpuLoadSource() { return s_pfnOpener ? s_pfnOpener() : OpenSystemSource(); }
