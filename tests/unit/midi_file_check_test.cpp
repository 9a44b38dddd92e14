#include "dxtests/midi_file_check.h"

#include "midi_variants.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::vector<uint8_t> ReadContent(const char* name)
{
    std::ifstream in(std::string(MIRRAVOX_CONTENT_DIR) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> AsRmid(const std::vector<uint8_t>& smf)
{
    std::vector<uint8_t> b = {'R', 'I', 'F', 'F', 0, 0, 0, 0,   'R', 'M', 'I', 'D', 'I',
                              'N', 'F', 'O', 1,   0, 0, 0, 'x', 0,   'd', 'a', 't', 'a'};
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(smf.size() >> (8 * i)));
    b.insert(b.end(), smf.begin(), smf.end());
    return b;
}

const char* const kContent[] = {"ReggaeBeats.mid", "Intrigue.mid"};

TEST(MidiFileCheck, OurContentFilesAreSound)
{
    for (const char* name : kContent) {
        std::vector<uint8_t> good = ReadContent(name);
        ASSERT_GT(good.size(), 100u) << name;
        EXPECT_EQ(CheckMidiBytes(good.data(), good.size()), MidiCheck::Sound) << name;
        std::vector<uint8_t> rmid = AsRmid(good);
        EXPECT_EQ(CheckMidiBytes(rmid.data(), rmid.size()), MidiCheck::Sound) << name;
    }
}

TEST(MidiFileCheck, EveryDamagedCopyIsRefused)
{
    for (const char* name : kContent) {
        std::vector<MidiVariant> variants = MakeBrokenMidiVariants(ReadContent(name));
        ASSERT_GE(variants.size(), 20u);
        for (const MidiVariant& v : variants) {
            MidiCheck expected = v.headed ? MidiCheck::Broken : MidiCheck::NotMidi;
            EXPECT_EQ(CheckMidiBytes(v.bytes.data(), v.bytes.size()), expected) << name << ": " << v.name;
        }
    }
}

TEST(MidiFileCheck, OtherFilesAreLeftToTheLoader)
{
    const std::string wav("RIFF\x24\0\0\0WAVEfmt ", 16);
    const std::string segment("RIFF\x10\0\0\0DMSGsegh", 16);
    for (const std::string& s : {wav, segment, std::string("MTh")}) {
        EXPECT_EQ(CheckMidiBytes(reinterpret_cast<const uint8_t*>(s.data()), s.size()), MidiCheck::NotMidi);
    }
    EXPECT_EQ(CheckMidiContentFile("/nonexistent/Intrigue.mid"), MidiCheck::Unreadable);
    EXPECT_EQ(CheckMidiContentFile((std::string(MIRRAVOX_CONTENT_DIR) + "/Intrigue.mid").c_str()), MidiCheck::Sound);
}

} // namespace
