// Where the 3D test's sound source is: it laps an ellipse around the
// listener once every 2 pi seconds, its half-axes set by the two grid
// sliders, and a red cross on the grid picture shows it.
//
// Time comes from the system's 32-bit millisecond counter. Held as a 32-bit
// float of seconds, that time advances in steps of 1/16 s after ten days of
// uptime (the source jumps) and it wraps after 49.7 days (the source leaps).
// SourceClock keeps whole milliseconds in 64 bits instead and hands out only
// the time into the current lap, which is as fine after years as at start.
// The place is always worked out from the clock's reading at that moment,
// never stepped per tick: a late tick puts the source where it belongs now,
// and missed ticks are not made up.
#pragma once

#include <cstdint>

constexpr double kLapSeconds = 6.283185307179586; // 2 pi: one lap of the ellipse
constexpr double kPathRadius = 5.0;               // half-axis at grid position 100 (m)
constexpr double kVelocityLead = 0.05;            // the velocity is the point this much later (s)
constexpr int kGridMin = -100, kGridMax = 100;    // grid slider range

class SourceClock {
public:
    // Seconds into the current lap, [0, 2 pi), for a reading of the system's
    // millisecond counter. The first reading is taken as the time since
    // system start; each later one adds the milliseconds since the one
    // before, across the counter's wrap.
    double LapSeconds(uint32_t nowMs);
    uint64_t TotalMs() const { return m_nTotalMs; }

private:
    bool m_bStarted = false;
    uint32_t m_nLastMs = 0;
    uint64_t m_nTotalMs = 0;
};

struct Vector3 {
    float x, y, z;
};

struct SourcePlace {
    Vector3 position;
    Vector3 velocity; // the path's point kVelocityLead ahead, as DirectSound is handed it
};

// The source at lapSeconds on the ellipse with half-axes 5 x gridX / 100
// (across, x) and 5 x gridZ / 100 (ahead, z); y is 0. At the lap's start it
// is straight ahead (x = 0); a negative grid position mirrors its axis.
SourcePlace SourcePlaceAt(double lapSeconds, int gridX, int gridZ);

struct MarkerPoint {
    int x, y;
};

// The cross's centre on a picture of width x height pixels: x = -5 is the
// left edge, 5 the right one (width, just outside), z = 5 the top, -5 the
// bottom. Truncated toward zero.
MarkerPoint MarkerCentre(float x, float z, int width, int height);
