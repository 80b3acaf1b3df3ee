// StereoBuffer mixing; see Audio.h.
#include "Audio.h"

void StereoBuffer::mix(const StereoBuffer& other, double gain) {
    long n = other.frames() < frames() ? other.frames() : frames();
    float g = float(gain);
    for (long i = 0; i < n; ++i) {
        l[size_t(i)] += other.l[size_t(i)] * g;
        r[size_t(i)] += other.r[size_t(i)] * g;
    }
}

namespace {

struct SineTable {
    double v[4097];
    SineTable() {
        for (int i = 0; i <= 4096; ++i) v[i] = det::sin(kTwoPi * i / 4096.0);
    }
};

const SineTable table;

} // namespace

double sine(double cycles) {
    double x = (cycles - std::floor(cycles)) * 4096.0;
    int i = int(x);
    double f = x - i;
    return table.v[i] + (table.v[i + 1] - table.v[i]) * f;
}
