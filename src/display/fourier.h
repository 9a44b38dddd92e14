// FFT analyser of one store. For now it only keeps its length and sample
// rate; the transform arrives with the spectrum view.
#pragma once

class CFourier {
public:
    explicit CFourier(int points) : m_nSize(points) {}
    virtual ~CFourier() = default;
    CFourier(const CFourier&) = delete;
    CFourier& operator=(const CFourier&) = delete;

    void SetSampleRate(int rate) { m_nSampleRate = rate; }

    int m_nSize;
    int m_nSampleRate = 0;
};
