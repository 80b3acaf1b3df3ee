// Reverb and echo; see Effects.h. The reverb is four damped comb filters
// and two all-pass filters per channel, with different lengths left and
// right for width.
#include "Effects.h"

namespace {

struct Comb {
    std::vector<float> line;
    size_t pos = 0;
    double store = 0, feedback = 0.8, damp = 0.3;
    explicit Comb(size_t n) : line(n, 0.f) {}
    double run(double x) {
        double y = line[pos];
        store = y * (1 - damp) + store * damp;
        line[pos] = float(x + store * feedback);
        pos = (pos + 1) % line.size();
        return y;
    }
};

struct AllPass {
    std::vector<float> line;
    size_t pos = 0;
    explicit AllPass(size_t n) : line(n, 0.f) {}
    double run(double x) {
        double b = line[pos];
        line[pos] = float(x + b * 0.5);
        pos = (pos + 1) % line.size();
        return b - x;
    }
};

void reverbChannel(const std::vector<float>& in, std::vector<float>& out, int offset, double size,
                   double gain) {
    const size_t combs[4] = {1116, 1188, 1277, 1356};
    const size_t passes[2] = {556, 441};
    std::vector<Comb> c;
    for (size_t n : combs) {
        c.emplace_back(n + size_t(offset));
        c.back().feedback = 0.7 + 0.26 * size;
    }
    std::vector<AllPass> a;
    for (size_t n : passes) a.emplace_back(n + size_t(offset));
    for (size_t i = 0; i < in.size(); ++i) {
        double x = in[i] * 0.25, y = 0;
        for (Comb& comb : c) y += comb.run(x);
        for (AllPass& pass : a) y = pass.run(y);
        out[i] += float(y * gain);
    }
}

} // namespace

void reverb(const StereoBuffer& in, StereoBuffer& out, double size, double gain) {
    reverbChannel(in.l, out.l, 0, size, gain);
    reverbChannel(in.r, out.r, 23, size, gain);
}

void echo(const StereoBuffer& in, StereoBuffer& out, long delay, double feedback, double gain) {
    // Left feeds right and right feeds left: the repeats bounce across.
    std::vector<float> dl(size_t(delay), 0.f), dr(size_t(delay), 0.f);
    size_t pos = 0;
    OnePole tl, tr;
    tl.set(3000);
    tr.set(3000);
    for (long i = 0; i < in.frames(); ++i) {
        double yl = dl[pos], yr = dr[pos];
        dl[pos] = float(tl.lp(in.r[size_t(i)] + yr * feedback));
        dr[pos] = float(tr.lp(in.l[size_t(i)] + yl * feedback));
        pos = (pos + 1) % dl.size();
        out.l[size_t(i)] += float(yl * gain);
        out.r[size_t(i)] += float(yr * gain);
    }
}
