// Oversampled peak estimate; see TruePeak.h. Each quarter point is a
// 16-tap Hann-windowed sinc interpolation of the samples around it; taps
// past either end of the buffer read silence.
#include "TruePeak.h"

#include <algorithm>

namespace {

constexpr int kTaps = 16; // per quarter point: 8 samples each side

// taps[q − 1]: for the point q / 4 of a frame after sample i (q = 1..3),
// applied to samples i − 7 .. i + 8, normalised to unit gain at DC. The Hann
// window spans ±9 frames, so it is small but not zero at the outer taps.
struct Interpolator {
    double taps[3][kTaps];
    Interpolator() {
        for (int q = 1; q <= 3; ++q) {
            double sum = 0;
            for (int k = 0; k < kTaps; ++k) {
                double u = (k - 7) - q * 0.25; // distance to the point, frames
                double x = det::kPi * u;
                double window = 0.5 + 0.5 * det::cos(x / (kTaps / 2 + 1));
                taps[q - 1][k] = det::sin(x) / x * window;
                sum += taps[q - 1][k];
            }
            for (double& t : taps[q - 1]) t /= sum;
        }
    }
};

const Interpolator interpolator;

// The largest magnitude of the three quarter points between frame i and
// frame i + 1 of one channel.
double betweenPeak(const std::vector<float>& x, long i) {
    double top = 0;
    for (const double* taps : interpolator.taps) {
        double y = 0;
        for (int k = 0; k < kTaps; ++k) {
            long j = i - 7 + k;
            if (j >= 0 && j < long(x.size())) y += taps[k] * x[size_t(j)];
        }
        top = std::max(top, std::fabs(y));
    }
    return top;
}

} // namespace

std::vector<float> truePeaks(const StereoBuffer& pcm) {
    const long n = pcm.frames();
    std::vector<float> peaks(pcm.l.size());
    double before = 0; // peak between the previous frame and this one
    for (long i = 0; i < n; ++i) {
        double after = std::max(betweenPeak(pcm.l, i), betweenPeak(pcm.r, i));
        double sample =
            std::max(std::fabs(double(pcm.l[size_t(i)])), std::fabs(double(pcm.r[size_t(i)])));
        peaks[size_t(i)] = float(std::max({sample, before, after}));
        before = after;
    }
    return peaks;
}
