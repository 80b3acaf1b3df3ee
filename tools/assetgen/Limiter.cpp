// The limiter's gain path; see Limiter.h. Per frame: the gain that would
// bring the frame's true peak to the ceiling, its minimum over the look-ahead
// window, an exponential release, then two moving averages whose lengths add
// up to the window. Every frame the averages span holds a minimum taken over
// a window that includes the current frame, so the smoothed gain never rises
// above the gain the current frame needs.
#include "Limiter.h"

#include <algorithm>
#include <deque>

#include "TruePeak.h"

namespace {

// Minimum of v[i .. i + len − 1] for every i, the window cut at the end; a
// queue of candidate indices whose values rise from front to back.
std::vector<float> minimumAhead(const std::vector<float>& v, long len) {
    std::vector<float> out(v.size());
    std::deque<long> queue;
    for (long i = long(v.size()) - 1; i >= 0; --i) {
        while (!queue.empty() && v[size_t(queue.back())] >= v[size_t(i)]) queue.pop_back();
        queue.push_back(i);
        if (queue.front() > i + len - 1) queue.pop_front();
        out[size_t(i)] = v[size_t(queue.front())];
    }
    return out;
}

// Mean of v[i − len + 1 .. i] for every i, frames before the start counting
// as the first one.
std::vector<float> averageBehind(const std::vector<float>& v, long len) {
    std::vector<float> out(v.size());
    double sum = double(v.empty() ? 1.f : v[0]) * double(len);
    for (size_t i = 0; i < v.size(); ++i) {
        sum += double(v[i]) - double(v[i >= size_t(len) ? i - size_t(len) : 0]);
        out[i] = float(sum / double(len));
    }
    return out;
}

} // namespace

void limit(StereoBuffer& pcm, const LimiterSettings& settings) {
    const size_t n = size_t(pcm.frames());
    std::vector<float> need = truePeaks(pcm);
    for (float& peak : need) peak = peak > settings.ceiling ? float(settings.ceiling / peak) : 1.f;
    std::vector<float> gain = minimumAhead(need, settings.lookahead);
    // Falls at once (the look-ahead already smooths the fall), recovers with
    // the release time constant; never above the window's minimum.
    const double keep = det::exp(-1.0 / (settings.release * kRate));
    for (size_t i = 1; i < n; ++i)
        if (gain[i] > gain[i - 1]) gain[i] = float(gain[i] + (gain[i - 1] - gain[i]) * keep);
    long first = settings.lookahead / 2, second = settings.lookahead - first + 1;
    gain = averageBehind(averageBehind(gain, first), second);
    for (size_t i = 0; i < n; ++i) {
        // The running sums may round a hair above the need; the need bounds it.
        double g = std::min(double(gain[i]), double(need[i]));
        pcm.l[i] = float(pcm.l[i] * g);
        pcm.r[i] = float(pcm.r[i] * g);
    }
}
