#include "tones/wav_writer.h"

#include <algorithm>

#include "platform/replacing_file.h"
#include "state/app_state.h"
#include "tones/tone_synth.h"

namespace {

// The PCM sub-format identifier 00000001-0000-0010-8000-00AA00389B71 as stored.
constexpr uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr uint32_t kSpeakersFrontLeftRight = 3;
constexpr uint32_t kSpeakerFrontCentre = 4;

void PutTag(std::vector<uint8_t>& out, const char (&tag)[5]) { out.insert(out.end(), tag, tag + 4); }

void Put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    Put16(out, value & 0xFFFFu);
    Put16(out, value >> 16);
}

} // namespace

size_t WavHeaderBytes(int32_t bitsPerSample)
{
    return bitsPerSample > 16 ? kWavExtensibleHeaderBytes : kWavPcmHeaderBytes;
}

int64_t WavDataBytes(const WavSource& source)
{
    if (!source.pData || source.nLength < 1 || source.nTimes < 1) return 0;
    return static_cast<int64_t>(source.nLength) * source.nTimes;
}

bool WavFormatSupported(const WavFormat& format)
{
    return !(format.nSampleRate > 100000 && format.nBitsPerSample > 16);
}

bool WavDataFits(int32_t bitsPerSample, int64_t dataBytes)
{
    const int64_t riffSize = static_cast<int64_t>(WavHeaderBytes(bitsPerSample)) - 8 + dataBytes;
    return dataBytes >= 0 && riffSize <= static_cast<int64_t>(UINT32_MAX);
}

std::vector<uint8_t> BuildWavHeader(const WavFormat& format, uint32_t dataBytes)
{
    const bool extensible = format.nBitsPerSample > 16;
    const uint32_t headerBytes = static_cast<uint32_t>(WavHeaderBytes(format.nBitsPerSample));
    const uint32_t blockAlign = static_cast<uint32_t>(format.nBitsPerSample / 8 * format.nChannels);

    std::vector<uint8_t> out;
    out.reserve(headerBytes);
    PutTag(out, "RIFF");
    Put32(out, headerBytes - 8 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, extensible ? 40 : 16);
    Put16(out, extensible ? kFormatExtensible : kFormatPcm);
    Put16(out, static_cast<uint32_t>(format.nChannels));
    Put32(out, static_cast<uint32_t>(format.nSampleRate));
    Put32(out, blockAlign * static_cast<uint32_t>(format.nSampleRate));
    Put16(out, blockAlign);
    Put16(out, static_cast<uint32_t>(format.nBitsPerSample));
    if (extensible) {
        Put16(out, 22);                                           // extension size
        Put16(out, static_cast<uint32_t>(format.nBitsPerSample)); // valid bits
        Put32(out, format.nChannels == 1 ? kSpeakerFrontCentre : kSpeakersFrontLeftRight);
        out.insert(out.end(), kPcmSubFormat, kPcmSubFormat + sizeof kPcmSubFormat);
    }
    PutTag(out, "data");
    Put32(out, dataBytes);
    return out;
}

WavFormat CurrentWavFormat() { return {g_nSampleRate, g_nChannels, g_nBitsPerSample}; }

WavSource RecordingWavSource()
{
    const int32_t recorded = std::min<int32_t>(g_nRecordedBytes, g_nInputBufferSize);
    return {g_pInputBuffer, recorded, 1};
}

WavSource ToneWavSource() { return {g_pPlaybackSource, g_nPlaybackSourceSize, g_nToneRepeatCount}; }

bool RecordingAvailable() { return g_nRecordedBytes >= 1; }

WavResult WriteWavToPath(const char* path, const WavFormat& format, const WavSource& source)
{
    if (!WavFormatSupported(format)) return WavResult::UnsupportedFormat;

    // A long tone with a high repeat count can ask for more data than the
    // 32-bit size fields can describe; the fields would wrap and every reader
    // would see a short or broken file. Such data is refused here, before any
    // file is opened, so an existing file of that name is left as it was.
    const int64_t dataBytes = WavDataBytes(source);
    if (!WavDataFits(format.nBitsPerSample, dataBytes)) return WavResult::TooLarge;

    if (!path || !*path) return WavResult::OpenFailed;
    // The file is written beside the old one and replaces it only when it is
    // complete: a write that fails part-way (a full disk) or a crash never
    // leaves a short file with a header that promises more, nor destroys what
    // was saved under that name before.
    ReplacingFile file(path, "wb");
    if (!file.IsOpen()) return WavResult::OpenFailed;
    const std::vector<uint8_t> header = BuildWavHeader(format, static_cast<uint32_t>(dataBytes));
    bool ok = file.Write(header.data(), header.size());
    const int32_t times = dataBytes > 0 ? source.nTimes : 0;
    for (int32_t i = 0; ok && i < times; ++i) ok = file.Write(source.pData, static_cast<size_t>(source.nLength));
    switch (file.Commit()) {
    case ReplacingFile::Outcome::Replaced: return WavResult::Ok;
    case ReplacingFile::Outcome::NotReplaced: return WavResult::OpenFailed; // the old file is held or read-only
    case ReplacingFile::Outcome::NotWritten: break;
    }
    return WavResult::WriteFailed;
}

WavResult WriteWavFile(const char* fileName, bool bTone)
{
    return WriteWavToPath(fileName, CurrentWavFormat(), bTone ? ToneWavSource() : RecordingWavSource());
}

MessageBoxId WavResultBox(WavResult result)
{
    switch (result) {
    case WavResult::Ok: return MessageBoxId::None;
    case WavResult::UnsupportedFormat: return MessageBoxId::InvalidFormat;
    case WavResult::TooLarge: return MessageBoxId::TooLarge;
    case WavResult::OpenFailed: return MessageBoxId::OpenFailed;
    case WavResult::WriteFailed: return MessageBoxId::WriteFailed;
    }
    return MessageBoxId::None;
}
