// Level, distortion and noise of a recorded sine, from a windowed spectrum.
//
// Levels are in dBFS with 0 dBFS the level of a full-scale sine (an RMS of
// 1/sqrt(2) of full scale). The band runs from 20 Hz to half the rate; the
// harmonics counted are the 2nd to the 10th below half the rate. Noise is
// what the band holds besides the fundamental and the harmonics, with the
// bins under those counted at the density of the rest.
#pragma once

#include <vector>

struct SineFigures {
    bool valid = false;
    double frequency = 0; // Hz, the strongest bin near the nominal one, refined
    double levelDbfs = 0; // of the fundamental
    double rmsDbfs = 0;   // of everything, in the time domain
    double peakDbfs = 0;  // largest sample
    double thdDb = 0;     // harmonics against the fundamental; NaN when none stand above the noise
    double thdnDb = 0;    // harmonics and noise against the fundamental
    double snrDb = 0;     // fundamental against the noise (harmonics left out)
    double sinadDb = 0;   // -thdnDb
    double enob = 0;      // (SINAD referred to full scale - 1.76) / 6.02
};

SineFigures AnalyseSine(const std::vector<double>& x, double rate, double nominalFrequency);

// RMS in dBFS (0 dBFS: a full-scale sine); -infinity for digital silence.
double RmsDbfs(const std::vector<double>& x);
double PeakDbfs(const std::vector<double>& x);

struct SpectrumPoint {
    double hz;
    double dbfs; // a sine centred on a bin reads its own level
};
// The windowed spectrum of x (its middle power-of-two stretch), reduced to at
// most `points` points spaced evenly on a log-frequency scale from 20 Hz up,
// each the largest bin it covers.
std::vector<SpectrumPoint> SineSpectrum(const std::vector<double>& x, double rate, int points);
