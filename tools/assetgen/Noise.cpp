// Hash, generator and tileable value noise; see Noise.h.
#include "Noise.h"

#include <cmath>

uint32_t hash32(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

uint32_t hash3(int x, int y, uint32_t seed) {
    return hash32(uint32_t(x) * 0x9e3779b1u ^ hash32(uint32_t(y) + 0x632be5abu * seed) ^ seed);
}

uint32_t Random::next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return hash32(state);
}

static int wrap(int v, int period) {
    int m = v % period;
    return m < 0 ? m + period : m;
}

double valueNoise(double x, double y, int periodX, int periodY, uint32_t seed) {
    double fx = std::floor(x), fy = std::floor(y);
    int x0 = int(fx), y0 = int(fy);
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * tx * (tx * (tx * 6.0 - 15.0) + 10.0); // quintic: no visible lattice
    ty = ty * ty * ty * (ty * (ty * 6.0 - 15.0) + 10.0);
    auto corner = [&](int cx, int cy) {
        return hash3(wrap(cx, periodX), wrap(cy, periodY), seed) * (1.0 / 4294967295.0);
    };
    double a = corner(x0, y0), b = corner(x0 + 1, y0);
    double c = corner(x0, y0 + 1), d = corner(x0 + 1, y0 + 1);
    double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

double fractalNoise(double u, double v, int cells, int octaves, double gain, uint32_t seed) {
    double sum = 0.0, norm = 0.0, amp = 1.0;
    int n = cells;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * valueNoise(u * n, v * n, n, n, seed + uint32_t(o) * 101u);
        norm += amp;
        amp *= gain;
        n *= 2;
    }
    return sum / norm;
}
