// The MIDI structure check on our content files, plain and wrapped as RIFF
// RMID, on the damaged copies of them, and on files that are no MIDI.
#include "dxtests/midi_file_check.h"

#include "midi_variants.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::string ContentPath(const char* name) { return std::string(MIRRAVOX_CONTENT_DIR) + "/" + name; }

std::vector<uint8_t> ReadContent(const char* name)
{
    std::ifstream in(ContentPath(name), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

MidiCheck Check(const std::vector<uint8_t>& b) { return CheckMidiBytes(b.data(), b.size()); }

TEST(MidiFileCheck, EveryDamagedCopyIsRefused)
{
    for (const char* name : {"ReggaeBeats.mid", "Intrigue.mid"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> good = ReadContent(name);
        ASSERT_GT(good.size(), 100u);
        EXPECT_EQ(Check(good), MidiCheck::Sound);
        std::vector<uint8_t> rmid = {'R', 'I', 'F', 'F', 0, 0, 0, 0,   'R', 'M', 'I', 'D', 'I',
                                     'N', 'F', 'O', 1,   0, 0, 0, 'x', 0,   'd', 'a', 't', 'a'};
        for (int i = 0; i < 4; ++i) rmid.push_back(uint8_t(good.size() >> (8 * i)));
        rmid.insert(rmid.end(), good.begin(), good.end());
        EXPECT_EQ(Check(rmid), MidiCheck::Sound) << "as RIFF RMID, after a padded odd chunk";
        EXPECT_EQ(CheckMidiContentFile(ContentPath(name).c_str()), MidiCheck::Sound);

        const std::vector<MidiVariant> variants = MakeBrokenMidiVariants(good);
        ASSERT_EQ(variants.size(), 100u);
        for (const MidiVariant& v : variants)
            EXPECT_EQ(Check(v.bytes), v.headed ? MidiCheck::Broken : MidiCheck::NotMidi) << v.name;
    }
}

TEST(MidiFileCheck, OtherFilesAreLeftToTheLoader)
{
    for (const std::string& s :
         {std::string("RIFF\x24\0\0\0WAVEfmt ", 16), std::string("RIFF\x10\0\0\0DMSGsegh", 16), std::string("MTh")})
        EXPECT_EQ(Check(std::vector<uint8_t>(s.begin(), s.end())), MidiCheck::NotMidi) << s;
    EXPECT_EQ(CheckMidiContentFile("/nonexistent/Intrigue.mid"), MidiCheck::Unreadable);
}

} // namespace
