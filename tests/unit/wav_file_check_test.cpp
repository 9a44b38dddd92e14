#include "dxtests/wav_file_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "tones/wav_writer.h"
#include "wav_variants.h"

namespace {

// A good file as our writer makes it: 16-bit stereo 44100 Hz, 4000 frames.
std::vector<uint8_t> GoodWav()
{
    std::vector<uint8_t> file = BuildWavHeader({44100, 2, 16}, 16000);
    for (int i = 0; i < 8000; ++i) {
        const int16_t v = int16_t(10000 * std::sin(i * 0.07));
        file.push_back(uint8_t(v)), file.push_back(uint8_t(v >> 8));
    }
    return file;
}

TEST(WavFileCheck, OurFilesAreSoundAndEveryDamagedCopyIsRefused)
{
    const std::vector<uint8_t> good = GoodWav();
    EXPECT_EQ(CheckWavBytes(good.data(), good.size()), WavCheck::Sound);
    std::vector<uint8_t> extensible = BuildWavHeader({96000, 2, 24}, 6 * 100);
    extensible.resize(extensible.size() + 600, 1);
    EXPECT_EQ(CheckWavBytes(extensible.data(), extensible.size()), WavCheck::Sound);

    const std::vector<WavVariant> variants = MakeBrokenWavVariants(good);
    ASSERT_EQ(variants.size(), 100u);
    for (const WavVariant& v : variants)
        EXPECT_EQ(CheckWavBytes(v.bytes.data(), v.bytes.size()), v.headed ? WavCheck::Broken : WavCheck::NotWav)
            << v.name;

    const std::string midi("MThd\0\0\0\x06\0\x01\0\x02\0\x60", 14);
    EXPECT_EQ(CheckWavBytes(reinterpret_cast<const uint8_t*>(midi.data()), midi.size()), WavCheck::NotWav);
    EXPECT_EQ(CheckWavContentFile("/nonexistent/x.wav"), WavCheck::NotWav);
}

} // namespace
