// BS.1770 loudness meter; see Loudness.h. The K-weighting filters are the
// standard's high shelf (+4 dB above about 1.7 kHz) and high pass (38 Hz),
// derived for 44.1 kHz from their analogue prototypes, as the standard's
// 48 kHz coefficients would shift the corners by 9 %.
#include "Loudness.h"

#include <algorithm>
#include <vector>

namespace {

// Direct form I biquad; a0 normalised to 1.
struct Biquad {
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double run(double x) {
        double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

double tanOf(double x) {
    return det::sin(x) / det::cos(x);
}

Biquad highShelf() {
    const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
    double k = tanOf(det::kPi * f0 / kRate), vh = det::pow(10.0, gainDb / 20.0);
    double vb = det::pow(vh, 0.4996667741545416), a0 = 1.0 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
            2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

Biquad highPass() {
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    double k = tanOf(det::kPi * f0 / kRate), a0 = 1.0 + k / q + k * k;
    return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

// Mean square of the K-weighted signal, summed over both channels, in each
// 100 ms segment.
std::vector<double> segmentPowers(const StereoBuffer& pcm) {
    const long segment = kRate / 10;
    std::vector<double> powers(size_t(pcm.frames() / segment), 0.0);
    const std::vector<float>* channels[2] = {&pcm.l, &pcm.r};
    for (const std::vector<float>* channel : channels) {
        Biquad shelf = highShelf(), pass = highPass();
        for (size_t s = 0; s < powers.size(); ++s) {
            double sum = 0;
            for (long i = long(s) * segment; i < long(s + 1) * segment; ++i) {
                double y = pass.run(shelf.run((*channel)[size_t(i)]));
                sum += y * y;
            }
            powers[s] += sum / segment;
        }
    }
    return powers;
}

double toLufs(double power) {
    return -0.691 + 10.0 * det::log(power) / det::log(10.0);
}
double fromLufs(double lufs) {
    return det::pow(10.0, (lufs + 0.691) / 10.0);
}

// Mean power of the blocks above `gate` (a power); 0 when there are none.
double gatedMean(const std::vector<double>& blocks, double gate) {
    double sum = 0;
    long count = 0;
    for (double p : blocks)
        if (p > gate) {
            sum += p;
            ++count;
        }
    return count ? sum / double(count) : 0.0;
}

} // namespace

double integratedLoudness(const StereoBuffer& pcm) {
    std::vector<double> segments = segmentPowers(pcm), blocks;
    for (size_t s = 3; s < segments.size(); ++s)
        blocks.push_back((segments[s - 3] + segments[s - 2] + segments[s - 1] + segments[s]) / 4.0);
    const double absoluteGate = fromLufs(-70.0);
    double ungated = gatedMean(blocks, absoluteGate);
    if (ungated <= 0.0) return -HUGE_VAL;
    // The relative gate, 10 LU below the loudness of the blocks above the
    // absolute gate, is a tenth of their mean power.
    return toLufs(gatedMean(blocks, std::max(absoluteGate, ungated * 0.1)));
}
