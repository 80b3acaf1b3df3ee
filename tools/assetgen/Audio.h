// Shared pieces of the soundtrack synthesiser: the sample rate, a stereo
// float buffer that instruments mix into, time and pitch conversions, a
// deterministic noise source and two small filters. Samples are floats in
// about −1..1 before the master stage.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "DetMath.h"

constexpr int kRate = 44100; // frames per second
constexpr double kTwoPi = 6.28318530717958647692;

// Frame index of a time in ms: 44.1 frames per ms, rounded to the nearest
// frame (exact for every multiple of 10 ms).
inline long msToFrame(double ms) {
    return long(std::floor(ms * 44.1 + 0.5));
}
inline double midiHz(double note) {
    return 440.0 * det::pow(2.0, (note - 69.0) / 12.0);
}

// Equal-power pan gains for a position −1 (left) .. 1 (right).
struct Pan {
    double l, r;
    explicit Pan(double position) {
        double a = (position + 1.0) * 0.25 * 3.14159265358979;
        l = det::cos(a);
        r = det::sin(a);
    }
};

// Exponential decay by a fixed factor per frame: starts at 1 and falls to
// 1/e after `seconds`.
struct Decay {
    double value = 1.0, factor;
    explicit Decay(double seconds) : factor(det::exp(-1.0 / (seconds * kRate))) {}
    double next() {
        double v = value;
        value *= factor;
        return v;
    }
};

struct StereoBuffer {
    std::vector<float> l, r;
    explicit StereoBuffer(long frames = 0) : l(size_t(frames), 0.f), r(size_t(frames), 0.f) {}
    long frames() const { return long(l.size()); }
    // Adds a mono sample at frame i, panned.
    void add(long i, double v, const Pan& pan) {
        if (i < 0 || i >= frames()) return;
        l[size_t(i)] += float(v * pan.l);
        r[size_t(i)] += float(v * pan.r);
    }
    void addStereo(long i, double vl, double vr) {
        if (i < 0 || i >= frames()) return;
        l[size_t(i)] += float(vl);
        r[size_t(i)] += float(vr);
    }
    void mix(const StereoBuffer& other, double gain);
};

// White noise in −1..1 from a seeded xorshift generator.
struct Noise {
    uint32_t s;
    explicit Noise(uint32_t seed) : s(seed * 747796405u + 2891336453u) {}
    double next() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return (s >> 8) * (2.0 / 16777216.0) - 1.0;
    }
};

// One-pole low-pass; cutoff in Hz.
struct OnePole {
    double z = 0, a = 0;
    void set(double hz) { a = 1.0 - det::exp(-kTwoPi * hz / kRate); }
    double lp(double x) { return z += a * (x - z); }
    double hp(double x) { return x - lp(x); }
};

// State-variable filter (Chamberlin, two passes per sample for stability);
// cutoff in Hz up to about 8 kHz, q the damping 0.1 (resonant) .. 2.
struct Svf {
    double low = 0, band = 0, f = 0, q = 1;
    void set(double hz, double damping) {
        double c = hz > 8000 ? 8000 : hz;
        f = 2.0 * det::sin(3.14159265358979 * c / (2.0 * kRate));
        q = damping;
    }
    double lp(double x) {
        run(x);
        return low;
    }
    double bp(double x) {
        run(x);
        return band;
    }
    double hp(double x) { return x - lp(x) - q * band; }
    void run(double x) {
        for (int k = 0; k < 2; ++k) {
            low += f * band;
            double high = x - low - q * band;
            band += f * high;
        }
    }
};

// sin(2π cycles) from a 4096-step table with linear interpolation (error
// about 3e-7): the oscillators' sine, much cheaper than a series per sample.
double sine(double cycles);

// Control rate: envelopes and filter sweeps are updated every this many
// frames (0.36 ms), far faster than they move.
constexpr long kControl = 16;

// Band-limited sawtooth (polyBLEP) at phase p in 0..1 with increment dp.
inline double sawBlep(double p, double dp) {
    double v = 2.0 * p - 1.0;
    if (p < dp) {
        double t = p / dp;
        v -= t + t - t * t - 1.0;
    } else if (p > 1.0 - dp) {
        double t = (p - 1.0) / dp;
        v -= t * t + t + t + 1.0;
    }
    return v;
}
