#include "shell/dialog_centring.h"

namespace {

int32_t CentreAxis(int32_t start, int32_t span, int32_t size, int32_t screen)
{
    // 64 bits: the sum of a far-off window and its size must not overflow.
    int64_t at = start + (static_cast<int64_t>(span) - size) / 2;
    if (at < 0)
        at = 0;
    else if (at + size > screen)
        at = static_cast<int64_t>(screen) - size;
    // Pulled back past the screen's start: the dialog is larger than the
    // screen, and its start stays visible.
    if (at < 0) at = 0;
    return static_cast<int32_t>(at);
}

} // namespace

ScreenPoint CentredOrigin(int32_t dialogWidth, int32_t dialogHeight, const ScreenBox& over, int32_t screenWidth,
                          int32_t screenHeight)
{
    return {CentreAxis(over.nLeft, over.nWidth, dialogWidth, screenWidth),
            CentreAxis(over.nTop, over.nHeight, dialogHeight, screenHeight)};
}
