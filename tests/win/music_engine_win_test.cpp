// The DirectMusic wrappers on Wine's DirectMusic, our content files as
// segments, the damaged copies of them, the media path and the text
// conversion. Wine's synthesizer is silent: these tests check the calls'
// results and the segments' states, not sound.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "dxtests/directx_calls_win.h"
#include "dxtests/dx_text_win.h"
#include "dxtests/music_engine.h"
#include "midi_variants.h"

namespace {

constexpr uint32_t kDynamicStereo = 8; // DMUS_APATH_DYNAMIC_STEREO
constexpr uint32_t kBeat = 0x1000;     // DMUS_SEGF_BEAT

std::string ContentFile(const char* name) { return std::string(MIRRAVOX_CONTENT_DIR) + "\\" + name; }

class WineDirectMusic : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDirectXCalls(DirectXCallsWin());
        engine.reset(new CMusicEngine);
        ASSERT_TRUE(engine->comInitialized);
        ASSERT_EQ(engine->Initialize(nullptr, 128, kDynamicStereo), S_OK);
    }
    void TearDown() override
    {
        engine.reset();
        SetDirectXCalls(nullptr);
    }
    std::unique_ptr<CMusicEngine> engine;
};

TEST_F(WineDirectMusic, OurContentFilesLoadDownloadPlayAndStop)
{
    IDirectMusicAudioPath8* defaultPath = engine->GetDefaultAudioPath();
    EXPECT_NE(defaultPath, nullptr);
    for (const char* name : {"ReggaeBeats.mid", "Intrigue.mid"}) {
        SCOPED_TRACE(name);
        const std::string path = ContentFile(name);
        ASSERT_TRUE(IsMidiPath(path.c_str()));
        engine->CollectGarbage();
        CMusicSegment* raw = nullptr;
        ASSERT_EQ(engine->CreateSegmentFromFile(&raw, path.c_str(), true, true), S_OK);
        std::unique_ptr<CMusicSegment> segment(raw);
        EXPECT_NE(segment->GetSegment(), nullptr);
        EXPECT_TRUE(segment->IsDownloaded());
        EXPECT_EQ(segment->GetEmbeddedPath(), nullptr); // a MIDI file carries no audio path
        EXPECT_EQ(segment->SetRepeats(CMusicSegment::kRepeatForever), S_OK);
        EXPECT_EQ(segment->Play(0), S_OK);
        EXPECT_EQ(segment->Stop(0), S_OK);
        EXPECT_EQ(segment->SetRepeats(0), S_OK);
        EXPECT_EQ(segment->Play(kBeat, defaultPath), S_OK);
        EXPECT_EQ(segment->Stop(kBeat), S_OK);
        EXPECT_EQ(segment->Unload(), S_OK);
        EXPECT_FALSE(segment->IsDownloaded());
        EXPECT_EQ(segment->Play(0), E_FAIL);
        EXPECT_EQ(segment->Download(defaultPath), S_OK);
        EXPECT_TRUE(segment->IsDownloaded());
        EXPECT_EQ(segment->Unload(defaultPath), S_OK);
    }
    if (defaultPath) reinterpret_cast<IUnknown*>(defaultPath)->Release();
}

TEST_F(WineDirectMusic, DamagedContentIsRefusedWithoutASegment)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    int refused = 0;
    for (const char* name : {"ReggaeBeats.mid", "Intrigue.mid"}) {
        std::ifstream in(ContentFile(name), std::ios::binary);
        std::vector<uint8_t> good((std::istreambuf_iterator<char>(in)), {});
        ASSERT_GT(good.size(), 100u);
        for (const MidiVariant& v : MakeBrokenMidiVariants(good)) {
            const std::string path = std::string(temp) + "damaged.mid";
            std::ofstream(path, std::ios::binary | std::ios::trunc)
                .write(reinterpret_cast<const char*>(v.bytes.data()), v.bytes.size());
            CMusicSegment* segment = nullptr;
            HRESULT hr = engine->CreateSegmentFromFile(&segment, path.c_str(), true, true);
            EXPECT_TRUE(FAILED(hr)) << name << ": " << v.name;
            EXPECT_EQ(segment, nullptr) << name << ": " << v.name;
            delete segment;
            refused += FAILED(hr) ? 1 : 0;
            DeleteFileA(path.c_str());
        }
    }
    std::printf("[ refused ] %d damaged copies\n", refused);
    // Missing, and a path one character too long whose first 259 name a
    // real file: it must be refused, not cut short to that file.
    std::string cut = ContentFile("");
    while (cut.size() + std::strlen("Intrigue.mid") < MAX_PATH - 2) cut += ".\\";
    if (cut.size() + std::strlen("Intrigue.mid") < MAX_PATH - 1) cut += "\\";
    const std::string tooLong = cut + "Intrigue.mid" + "x";
    ASSERT_EQ(tooLong.size(), size_t(MAX_PATH));
    for (const std::string& path : {std::string("C:\\no such folder\\Intrigue.mid"), tooLong}) {
        CMusicSegment* segment = nullptr;
        EXPECT_TRUE(FAILED(engine->CreateSegmentFromFile(&segment, path.c_str(), true, true))) << path;
        EXPECT_EQ(segment, nullptr);
    }
}

// ---- The media path and the text conversion ----

const char kSdkKey[] = "Software\\Microsoft\\DirectX SDK";
const char kSdkValue[] = "DX81SDK Samples Path";

void SetSdkValue(const std::string* value)
{
    HKEY key;
    if (!value) {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSdkKey);
        return;
    }
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSdkKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, kSdkValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                   static_cast<DWORD>(value->size() + 1));
    RegCloseKey(key);
}

TEST(DXMediaPath, FolderFromTheRegistryOrEmpty)
{
    struct Case {
        const char* what;
        bool present;
        std::string value;
        std::string expected;
    };
    const std::string longest(252, 'f'); // 252 + "\Media\" + end = 260 bytes
    const Case cases[] = {
        {"a folder", true, "C:\\DXSDK\\Samples", "C:\\DXSDK\\Samples\\Media\\"},
        {"no key", false, "", ""},
        {"the longest that fits", true, longest, longest + "\\Media\\"},
        {"one character more", true, longest + "g", ""},
        {"longer than the buffer", true, std::string(300, 'x'), ""},
    };
    for (const Case& c : cases) {
        SetSdkValue(c.present ? &c.value : nullptr);
        EXPECT_EQ(std::string(GetDXMediaPath()), c.expected) << c.what;
    }
    SetSdkValue(nullptr);
}

TEST(AnsiToWide, ConvertsWithinTheBudget)
{
    struct Case {
        const char* src;
        DWORD budget;
        std::wstring expected;
    };
    const Case cases[] = {
        {"C:\\Media\\Intrigue.mid", 0xFFFFFFFFu, L"C:\\Media\\Intrigue.mid"},
        {"abcdef", 4, L"abc"},
        {"abcdef", 7, L"abcdef"},
        {"abcdef", 1, L""},
        {"", 5, L""},
    };
    for (const Case& c : cases) {
        WCHAR dest[32];
        std::fill(std::begin(dest), std::end(dest), L'#');
        AnsiToWide(dest, c.src, c.budget);
        EXPECT_EQ(std::wstring(dest), c.expected) << c.src << " " << c.budget;
    }
    WCHAR untouched[4] = {L'#', L'#', L'#', 0};
    AnsiToWide(untouched, "abc", 0);
    AnsiToWide(untouched, nullptr, 4);
    AnsiToWide(nullptr, "abc", 4);
    EXPECT_EQ(std::wstring(untouched), L"###");
}

} // namespace
