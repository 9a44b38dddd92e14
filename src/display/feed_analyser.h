// The entry of the sound path into the analysers, called by the device
// completions (CWave) for every block, on the device's thread.
#pragma once

#include <cstdint>

enum FeedKind { kFeedInput = 1, kFeedOutput = 2 };

// kind 1: an input block has just been stored at byte position of the
// recording store (before the capture position moves); this records it as
// g_nInputPos in every view mode. kind 2: an output block is about to be
// filled; position is the source position and is not used.
void FeedAnalyser(int32_t position, int kind);
