// The two trackbars beside the display, as scale factors.
#pragma once

// Vertical trackbar 1037 (-10 to 10): -10 gives about 4.33, 0 gives 1, 1
// (the start) 0.9 and 10 gives 0.
inline float AmplitudeScaleAt(int position)
{
    return float(position <= 0 ? 1.0 - position / 3.0 : 1.0 - position / 10.0);
}

// Horizontal trackbar 1038 (-90 to 90): zoom 1.9 to 0.1.
inline float ViewZoomAt(int position) { return float(1.0 - position / 100.0); }
