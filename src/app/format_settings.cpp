#include "app/format_settings.h"

#include "display/fourier.h"
#include "shell/combo_tables.h"
#include "state/display_state.h"
#include "state/sound_format.h"

const char* const kSampleRateLabels[] = {"5000Hz",
                                         "8000Hz",
                                         "11025Hz (Telephone)",
                                         "16000Hz",
                                         "22050Hz (Radio)",
                                         "24000Hz",
                                         "32000Hz",
                                         "44100Hz (CD quality)",
                                         "48000Hz (DAT Tape)",
                                         "64000Hz",
                                         "88200Hz",
                                         "96000Hz",
                                         "128000Hz",
                                         nullptr};
const int32_t kSampleRateValues[] = {5000,  8000,  11025, 16000, 22050, 24000,  32000,
                                     44100, 48000, 64000, 88200, 96000, 128000, -1};
const char* const kChannelLabels[] = {"1 (Mono)", "2 (Stereo)", nullptr};
const char* const kResolutionLabels[] = {"8 bit", "16 bit", "24 bit", nullptr};
const char* const kBufferSizeLabels[] = {"1MB", "2MB", "5MB", "10MB", "15MB", "20MB", nullptr};
const int32_t kBufferSizeValues[] = {1048576, 2097152, 5242880, 10485760, 15728640, 20971520, -1};

int32_t SampleRateAt(int index) { return TableValueAt(kSampleRateValues, index); }
int32_t BufferSizeAt(int index) { return TableValueAt(kBufferSizeValues, index); }

int BitsForResolutionIndex(int index)
{
    if (index == 0) return 8;
    if (index == 1) return 16;
    return 24;
}

void DeriveFormat(int rateIndex, int channelIndex, int resolutionIndex)
{
    g_nSampleRate = SampleRateAt(rateIndex);
    if (g_pOutputFourier) g_pOutputFourier->SetSampleRate(g_nSampleRate);
    if (g_pInputFourier) g_pInputFourier->SetSampleRate(g_nSampleRate);
    g_nBlockSize = BlockSizeForRate(g_nSampleRate);
    g_nChannels = channelIndex + 1;
    g_nBitsPerSample = BitsForResolutionIndex(resolutionIndex);
    g_nBytesPerSec = (g_nBitsPerSample / 8) * g_nChannels * g_nSampleRate;
}
