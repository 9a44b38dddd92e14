#include "dxtests/source_motion.h"

#include <cmath>

double SourceClock::LapSeconds(uint32_t nowMs)
{
    if (!m_bStarted) {
        m_bStarted = true;
        m_nTotalMs = nowMs;
    } else {
        m_nTotalMs += static_cast<uint32_t>(nowMs - m_nLastMs);
    }
    m_nLastMs = nowMs;
    // 2^53 ms would be 285 000 years; the quotient is exact to a nanosecond
    // for centuries, and the remainder keeps the sines' arguments small.
    return std::fmod(static_cast<double>(m_nTotalMs) / 1000.0, kLapSeconds);
}

SourcePlace SourcePlaceAt(double t, int gridX, int gridZ)
{
    const double xs = gridX / 100.0, zs = gridZ / 100.0;
    const double t2 = t + kVelocityLead;
    SourcePlace p;
    p.position = {static_cast<float>(std::sin(t) * kPathRadius * xs), 0.0f,
                  static_cast<float>(std::cos(t) * kPathRadius * zs)};
    p.velocity = {static_cast<float>(std::sin(t2) * kPathRadius * xs), 0.0f,
                  static_cast<float>(std::cos(t2) * kPathRadius * zs)};
    return p;
}

MarkerPoint MarkerCentre(float x, float z, int width, int height)
{
    return {static_cast<int>((x / kPathRadius + 1.0) * width * 0.5),
            static_cast<int>((1.0 - z / kPathRadius) * height * 0.5)};
}
