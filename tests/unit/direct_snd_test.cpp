#include "dxtests/direct_snd.h"

#include "fake_directx.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

FakeDevice Device(const std::string& name, uint32_t flags = 0x0F)
{
    FakeDevice d;
    d.description = name;
    d.caps.dwFlags = flags;
    d.caps.dwTotalHwMemBytes = 2097152;
    return d;
}

FakeDevice DefaultEntry()
{
    FakeDevice d;
    d.isDefault = true;
    d.description = "Primary Sound Driver";
    return d;
}

TEST(DirectSnd, TableKeepsAtMostSixRealDevicesInPlatformOrder)
{
    struct Case {
        const char* what;
        int realDevices;
        bool withDefault;
        int expected;     // EnumerateDevices' result and the count
        int offeredAfter; // devices handed over before the enumeration stopped
    };
    const Case cases[] = {
        {"default entry only", 0, true, 0, 1}, {"nothing at all", 0, false, 0, 0},
        {"default and two", 2, true, 2, 3},    {"default and six", 6, true, 6, 7},
        {"default and eight", 8, true, 6, 7},  {"eight without default", 8, false, 6, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeDirectX fake;
        if (c.withDefault) fake.devices.push_back(DefaultEntry());
        for (int i = 0; i < c.realDevices; ++i) fake.devices.push_back(Device("Card " + std::to_string(i)));
        CDirectSnd ds(nullptr);
        EXPECT_EQ(ds.EnumerateDevices(), c.expected);
        EXPECT_EQ(ds.count, c.expected);
        EXPECT_EQ(fake.devicesOffered, c.offeredAfter);
        for (int i = 0; i < ds.count; ++i) {
            EXPECT_EQ(std::string(ds.devices[i].description), "Card " + std::to_string(i));
            EXPECT_EQ(ds.devices[i].guid.Data1, uint32_t(i + (c.withDefault ? 1 : 0)));
            EXPECT_EQ(ds.devices[i].caps.dwSize, 96u);
        }
    }
}

TEST(DirectSnd, EachEnumerationStartsFromAnEmptyTable)
{
    FakeDirectX fake;
    for (int i = 0; i < 4; ++i) fake.devices.push_back(Device("Card " + std::to_string(i)));
    CDirectSnd ds(nullptr);
    ASSERT_EQ(ds.EnumerateDevices(), 4);
    fake.devices.resize(1);
    fake.devices[0].description = "X";
    EXPECT_EQ(ds.EnumerateDevices(), 1);
    EXPECT_STREQ(ds.devices[0].description, "X");
    EXPECT_STREQ(ds.devices[1].description, "");

    fake.results["enumerateDevices"] = kEFail;
    EXPECT_EQ(ds.EnumerateDevices(), -1);
    EXPECT_EQ(ds.count, 0);
}

TEST(DirectSnd, NamesAreCutToNinetyNineCharacters)
{
    FakeDirectX fake;
    FakeDevice d = Device(std::string(150, 'd'));
    d.module = std::string(99, 'm') + "XYZ";
    fake.devices = {d, Device(std::string(99, 'e'))};
    CDirectSnd ds(nullptr);
    ASSERT_EQ(ds.EnumerateDevices(), 2);
    EXPECT_EQ(std::string(ds.devices[0].description), std::string(99, 'd'));
    EXPECT_EQ(std::string(ds.devices[0].module), std::string(99, 'm'));
    EXPECT_EQ(std::string(ds.devices[1].description), std::string(99, 'e'));
}

TEST(DirectSnd, DeviceThatCannotBeAskedIsListedWithZeroCaps)
{
    struct Case {
        const char* what;
        bool creatable;
        HResult capsResult;
        const char* calls;
    };
    const Case cases[] = {
        {"creation fails", false, kSOk, "enumerateDevices; createDevice(0)"},
        {"query fails", true, kEFail,
         "enumerateDevices; createDevice(0); setCooperativeLevel(1); getCaps(96); release(device)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeDirectX fake;
        fake.devices = {Device("Broken", 0x7FF)};
        fake.devices[0].creatable = c.creatable;
        fake.results["getCaps"] = c.capsResult;
        CDirectSnd ds(nullptr);
        ASSERT_EQ(ds.EnumerateDevices(), 1);
        EXPECT_STREQ(ds.devices[0].description, "Broken");
        const DsCaps zero{};
        EXPECT_EQ(std::memcmp(&ds.devices[0].caps, &zero, sizeof zero), 0);
        EXPECT_EQ(fake.Joined(), c.calls);
    }
}

} // namespace
