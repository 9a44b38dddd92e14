// Scrolling over a stopped recording or playback with scroll bar 1059.
//
// Portable core: the arithmetic of one scroll step. The main window reads the
// scroll bar's tracking position, calls ApplyStoreScroll, puts the thumb at
// g_nViewPos and redraws.
//
// The view position is a byte offset into the store being looked at: the
// playback store when something was played, else the recording store. Its
// limit is that store's byte count minus one block, so that a whole block
// always follows it. Every result is kept within 0 and the limit, whatever
// the scroll code, the format or the position it starts from (a drag can
// leave it between two frames, and the stop of a session can leave it below
// 0 when less than a block was held). The recording store's anchor follows
// the view and is kept within the bytes recorded.
#pragma once

#include <cstdint>

// The scroll codes of a horizontal scroll message.
enum StoreScrollCode : int {
    kScrollLineLeft = 0,
    kScrollLineRight = 1,
    kScrollPageLeft = 2,
    kScrollPageRight = 3,
    kScrollThumbPosition = 4, // thumb released
    kScrollThumbTrack = 5,    // thumb being dragged
    kScrollToStart = 6,
    kScrollToEnd = 7,
    kScrollEnd = 8,
};

struct StoreScrollInput {
    int32_t nViewPos;       // the current g_nViewPos
    int32_t nTrackPos;      // the scroll bar's tracking position (used by kScrollThumbTrack)
    int32_t nBitsPerSample; // 8, 16 or 24
    int32_t nChannels;      // 1 or 2
    int32_t nBlockFrames;   // g_nBlockSize
    int32_t nRecordedBytes; // g_nRecordedBytes
    int32_t nOutputBytes;   // g_nOutputBytes
};

struct StoreScrollResult {
    int32_t nViewPos; // new g_nViewPos, within 0 and nLimit
    int32_t nLimit;   // the last view position, 0 when less than a block is held
    bool bMoveOutput; // something was played: g_nOutputPos follows the view
    int32_t nOutputPos;
    bool bMoveInput;   // something was recorded: g_nInputPos follows the view
    int32_t nInputPos; // within 0 and nRecordedBytes
};

// The last view position: the playback store's bytes minus one block when
// something was played, else the recording store's bytes minus one block;
// never below 0.
int32_t StoreScrollLimit(int32_t recordedBytes, int32_t outputBytes, int32_t blockBytes);

StoreScrollResult ScrollStore(int code, const StoreScrollInput& in);

// Runs ScrollStore over the application state and writes g_nViewPos and,
// where they follow the view, g_nOutputPos and g_nInputPos.
void ApplyStoreScroll(int code, int32_t trackPos);

// Scroll bar 1059 after a Stop that ended a session: enabled over
// 0 .. viewPos, one page of truncate(block bytes x zoom), the thumb at
// viewPos, so that the view starts at the end of the stored sound. Left
// alone when viewPos is not above 0.
struct StopScrollBar {
    bool bSet;
    int32_t nMin;
    int32_t nMax;
    int32_t nPage;
    int32_t nPos;
};
StopScrollBar ScrollBarAtStop(int32_t viewPos, int32_t blockBytes, float zoom);
