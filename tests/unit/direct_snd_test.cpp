// The DirectSound device table on the fake platform, and the texts the
// capabilities dialog shows for a device's record.
#include "dxtests/direct_snd.h"
#include "dxtests/ds_caps_text.h"

#include "fake_directx.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

FakeDevice Device(const std::string& name)
{
    FakeDevice d;
    d.description = name;
    d.caps.dwTotalHwMemBytes = 2097152;
    return d;
}

TEST(DirectSnd, TableKeepsAtMostSixRealDevicesInPlatformOrder)
{
    // Real devices, the default entry first, the count kept, the devices handed over before the enumeration stopped.
    const std::tuple<int, bool, int, int> cases[] = {{0, true, 0, 1}, {0, false, 0, 0}, {2, true, 2, 3},
                                                     {6, true, 6, 7}, {8, true, 6, 7},  {8, false, 6, 6}};
    for (const auto& [realDevices, withDefault, expected, offeredAfter] : cases) {
        SCOPED_TRACE(testing::Message() << realDevices << (withDefault ? " and the default entry" : ""));
        FakeDirectX fake;
        if (withDefault) fake.devices.push_back(Device("Primary Sound Driver")), fake.devices[0].isDefault = true;
        for (int i = 0; i < realDevices; ++i) fake.devices.push_back(Device("Card " + std::to_string(i)));
        CDirectSnd ds(nullptr);
        EXPECT_EQ(ds.EnumerateDevices(), expected);
        EXPECT_EQ(ds.count, expected);
        EXPECT_EQ(fake.devicesOffered, offeredAfter);
        EXPECT_EQ(fake.Held(), "") << "every device opened is released";
        for (int i = 0; i < ds.count; ++i) {
            EXPECT_EQ(std::string(ds.devices[i].description), "Card " + std::to_string(i));
            EXPECT_EQ(ds.devices[i].guid.Data1, uint32_t(i + (withDefault ? 1 : 0)));
            EXPECT_EQ(ds.devices[i].caps.dwSize, 96u);
            EXPECT_EQ(ds.devices[i].caps.dwTotalHwMemBytes, 2097152u);
        }
    }
}

TEST(DirectSnd, APlatformThatDoesNotStopWhenToldFillsSixEntriesOnly)
{
    FakeDirectX fake;
    fake.devices = {Device("Card")};
    DirectXCalls deaf = GetDirectXCalls();
    deaf.enumerateDevices = [](DsEnumCallback callback, void* context) {
        const DsGuid guid{};
        for (int i = 0; i < 8; ++i) callback(&guid, "Card", "fake.drv", context);
        return kSOk;
    };
    SetDirectXCalls(&deaf);
    CDirectSnd ds(nullptr);
    EXPECT_EQ(ds.EnumerateDevices(), 6);
    EXPECT_EQ(ds.count, 6);
}

TEST(DirectSnd, EachEnumerationStartsFromAnEmptyTableWithNamesCutTo99Characters)
{
    FakeDirectX fake;
    for (int i = 0; i < 4; ++i) fake.devices.push_back(Device("Card " + std::to_string(i)));
    CDirectSnd ds(nullptr);
    ASSERT_EQ(ds.EnumerateDevices(), 4);
    fake.devices = {Device(std::string(150, 'd')), Device(std::string(99, 'e'))};
    fake.devices[0].module = std::string(99, 'm') + "XYZ";
    EXPECT_EQ(ds.EnumerateDevices(), 2);
    EXPECT_EQ(std::string(ds.devices[0].description), std::string(99, 'd'));
    EXPECT_EQ(std::string(ds.devices[0].module), std::string(99, 'm'));
    EXPECT_EQ(std::string(ds.devices[1].description), std::string(99, 'e'));
    EXPECT_STREQ(ds.devices[2].description, "");

    fake.results["enumerateDevices"] = kEFail;
    EXPECT_EQ(ds.EnumerateDevices(), -1);
    EXPECT_EQ(ds.count, 0);
}

TEST(DirectSnd, DeviceThatCannotBeAskedIsListedWithZeroCapsAndNothingHeld)
{
    for (bool creatable : {false, true}) {
        SCOPED_TRACE(creatable ? "its capabilities cannot be read" : "it cannot be opened");
        FakeDirectX fake;
        fake.devices = {Device("Broken")};
        fake.devices[0].caps.dwFlags = 0x7FF;
        fake.devices[0].creatable = creatable;
        fake.results["getCaps"] = creatable ? kEFail : kSOk; // a failed query leaves 0xDEAD behind
        CDirectSnd ds(nullptr);
        ASSERT_EQ(ds.EnumerateDevices(), 1);
        EXPECT_STREQ(ds.devices[0].description, "Broken");
        const DsCaps zero{};
        EXPECT_EQ(std::memcmp(&ds.devices[0].caps, &zero, sizeof zero), 0);
        EXPECT_EQ(fake.Held(), "");
    }
}

TEST(DsCapsText, CountsAreUnsignedFreeCountsSignedAndNoMemoryIsNotAvailable)
{
    const DsCaps full{96, 0,           100, 200000, 0,           1,       2,       3, 4, 5, 6, 7,
                      8,  4294967295u, 10,  11,     4294967295u, 2097152, 1048576, 0, 0, 0, 0, 0};
    // A record and its texts in control order.
    const std::pair<DsCaps, std::vector<std::string>> cases[] = {
        {full,
         {"100 - 200000", "1", "2", "3", "4 free", "5 free", "6 free", "7", "8", "4294967295", "10 free", "11 free",
          "-1 free", "2097152", "1048576 free"}},
        {DsCaps{},
         {"0 - 0", "0", "0", "0", "0 free", "0 free", "0 free", "0", "0", "0", "0 free", "0 free", "0 free", "N/A",
          "N/A"}},
    };
    for (const auto& [caps, expected] : cases) {
        std::vector<std::string> texts(expected.size());
        for (const DsCapsField& f : DsCapsFieldTexts(caps)) texts.at(f.controlId - IDC_DSCAPS_RATES) = f.text;
        EXPECT_EQ(texts, expected);
    }
}

TEST(DsCapsText, FlagSentencesInOrder)
{
    const std::string notCertified = "- This driver has not been certified by Microsoft";
    const std::string driver = "- A DirectSound driver is installed";
    const std::pair<uint32_t, std::vector<std::string>> cases[] = {
        {0, {notCertified, driver}},
        {0xFFFFF000u, {notCertified, driver}}, // bits nobody speaks of
        {0x40 | 0x20,
         {"- This driver has been tested and certified by Microsoft",
          "- No DirectSound driver is installed. Waveform emulation is being used"}},
        {0xF1F,
         {notCertified, "- Driver supports a continuous range of sample rates", driver,
          "- The device supports primary sound buffers with 16-bit samples",
          "- The device supports primary sound buffers with 8-bit samples",
          "- The device supports monophonic primary buffers", "- The device supports stereo primary buffers",
          "- The device supports hardware-mixed secondary buffers with 16-bit samples",
          "- The device supports hardware-mixed secondary buffers with 8-bit samples",
          "- The device supports hardware-mixed monophonic secondary buffers",
          "- The device supports hardware-mixed stereo secondary buffers"}},
    };
    for (const auto& [flags, sentences] : cases) {
        std::vector<const char*> got = DsFlagSentences(flags);
        EXPECT_EQ(std::vector<std::string>(got.begin(), got.end()), sentences) << std::hex << flags;
    }
}

} // namespace
