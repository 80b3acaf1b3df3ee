// Loudness-targeted master; see Master.h. Gain, then a soft clipper that
// rounds the tops of the hits, then the limiter. Clipping and limiting take
// loudness off, so the gain is found in rounds: set it from the meter,
// process, and add back what the meter still finds missing. The soundtrack
// needs two rounds (0.2 LU missing after the first); a mix made mostly of
// peaks takes more, as each round wins back only part of the gain added.
#include "Master.h"

#include "Loudness.h"

namespace {

// Transparent up to `knee`, then a tanh curve (slope 1 at the knee) towards
// `top`; magnitudes linear. The short hits (kick and boom under each accent)
// lose their tips to it, a few dB at most, instead of being turned down by
// the limiter along with the music that follows them.
void softClip(StereoBuffer& pcm, double knee, double top) {
    auto clip = [knee, top](float v) {
        double a = std::fabs(double(v));
        if (a <= knee) return v;
        double y = knee + (top - knee) * det::tanh((a - knee) / (top - knee));
        return float(v < 0 ? -y : y);
    };
    for (long i = 0; i < pcm.frames(); ++i) {
        pcm.l[size_t(i)] = clip(pcm.l[size_t(i)]);
        pcm.r[size_t(i)] = clip(pcm.r[size_t(i)]);
    }
}

void scale(StereoBuffer& pcm, double gain) {
    float g = float(gain);
    for (long i = 0; i < pcm.frames(); ++i) {
        pcm.l[size_t(i)] *= g;
        pcm.r[size_t(i)] *= g;
    }
}

} // namespace

void master(StereoBuffer& pcm, double lufs, const LimiterSettings& limiter) {
    const double measured = integratedLoudness(pcm);
    if (measured == -HUGE_VAL) return;
    const StereoBuffer dry = pcm;
    // The clipper's knee sits 4.4 dB under the ceiling; its curve would
    // level off 1.6 dB above it, where the limiter takes over.
    const double knee = 0.6 * limiter.ceiling, top = 1.2 * limiter.ceiling;
    double gainDb = lufs - measured;
    for (int round = 1;; ++round) {
        pcm = dry;
        scale(pcm, det::pow(10.0, gainDb / 20.0));
        softClip(pcm, knee, top);
        limit(pcm, limiter);
        double missing = lufs - integratedLoudness(pcm);
        if (std::fabs(missing) < 0.02 || round == 8) break;
        gainDb += missing;
    }
}
