// Drum synthesis: sine bodies with pitch envelopes, filtered noise, and an
// inharmonic square-wave bank for the crash. Decays are exponential, kept as
// per-frame factors (Decay) rather than an exp per sample.
#include "Drums.h"

namespace {

// 0.3 ms ramp at the start of a hit so it does not click.
double ramp(long i) {
    const double frames = 0.0003 * kRate;
    return i < frames ? double(i) / frames : 1.0;
}

const Pan kCentre(0.0);

} // namespace

void kick(StereoBuffer& out, long at, double gain) {
    const long n = long(0.5 * kRate);
    double phase = 0;
    Noise noise{uint32_t(at)};
    OnePole click;
    click.set(3000);
    Decay sweep(0.028), body(0.22), tick(0.004);
    for (long i = 0; i < n; ++i) {
        phase += (46.0 + 130.0 * sweep.next()) / kRate;
        double b = sine(phase) * ramp(i) * body.next();
        double t = click.hp(noise.next()) * tick.next() * 0.5;
        out.add(at + i, (det::tanh(1.6 * b) * 0.9 + t) * gain, kCentre);
    }
}

void snare(StereoBuffer& out, long at, double gain, double pan) {
    const long n = long(0.35 * kRate);
    const Pan p(pan);
    Noise noise(uint32_t(at) + 17);
    Svf band;
    band.set(4200, 0.9);
    Decay toneEnv(0.05), noiseEnv(0.11);
    double p1 = 0, p2 = 0;
    for (long i = 0; i < n; ++i) {
        p1 += 190.0 / kRate;
        p2 += 330.0 / kRate;
        double tone = (sine(p1) + 0.5 * sine(p2)) * toneEnv.next();
        double rattle = band.bp(noise.next()) * noiseEnv.next();
        out.add(at + i, (0.55 * tone + 0.9 * rattle) * ramp(i) * gain, p);
    }
}

void clap(StereoBuffer& out, long at, double gain) {
    const long n = long(0.3 * kRate);
    const long burst = long(0.011 * kRate), tailStart = long(0.022 * kRate);
    Noise noise(uint32_t(at) + 29);
    Svf band;
    band.set(1400, 0.6);
    Decay tail(0.09);
    const double burstFall = det::exp(-1.0 / (0.003 * kRate));
    double burstEnv = 1.0;
    for (long i = 0; i < n; ++i) {
        if (i % burst == 0) burstEnv = i < 3 * burst ? 1.0 : 0.0;
        double env = burstEnv + (i >= tailStart ? 0.8 * tail.next() : 0.0);
        burstEnv *= burstFall;
        out.add(at + i, band.bp(noise.next()) * env * 1.6 * gain, kCentre);
    }
}

void hat(StereoBuffer& out, long at, double gain, bool open, double pan) {
    const double decay = open ? 0.16 : 0.028;
    const long n = long(decay * 6 * kRate);
    const Pan p(pan);
    Noise noise(uint32_t(at) + 41);
    OnePole h1, h2;
    h1.set(7000);
    h2.set(7000);
    Decay env(decay);
    for (long i = 0; i < n; ++i) {
        double v = h2.hp(h1.hp(noise.next())) * ramp(i) * env.next();
        out.add(at + i, v * 0.8 * gain, p);
    }
}

void tom(StereoBuffer& out, long at, double gain, double hz, double pan) {
    const long n = long(0.5 * kRate);
    const Pan p(pan);
    double phase = 0;
    Noise noise(uint32_t(at) + 53);
    Decay bend(0.03), body(0.18), thud(0.01);
    for (long i = 0; i < n; ++i) {
        phase += hz * (1.0 + 0.6 * bend.next()) / kRate;
        double v = sine(phase) * ramp(i) * body.next() + 0.25 * noise.next() * thud.next();
        out.add(at + i, det::tanh(1.4 * v) * gain, p);
    }
}

void crash(StereoBuffer& out, long at, double gain, uint32_t seed) {
    const long n = long(2.6 * kRate);
    Noise nl(seed * 2 + 1), nr(seed * 2 + 2);
    OnePole hl, hr, hl2, hr2;
    hl.set(2500);
    hr.set(2500);
    hl2.set(5000);
    hr2.set(5000);
    // Inharmonic square partials give the metallic shimmer.
    const double partials[6] = {1.0, 1.483, 1.932, 2.546, 3.122, 4.071};
    double phase[6] = {};
    Decay wash(0.55), splash(0.04);
    for (long i = 0; i < n; ++i) {
        double metal = 0;
        for (int k = 0; k < 6; ++k) {
            phase[k] += 1190.0 * partials[k] / kRate;
            if (phase[k] >= 1.0) phase[k] -= 1.0;
            metal += phase[k] < 0.5 ? 0.1 : -0.1;
        }
        double env = (wash.next() * 0.8 + 0.2 * splash.next()) * ramp(i) * gain * 0.9;
        double l = hl2.hp(hl.hp(nl.next() + metal)), r = hr2.hp(hr.hp(nr.next() + metal));
        out.addStereo(at + i, l * env, r * env);
    }
}

void boom(StereoBuffer& out, long at, double gain) {
    const long n = long(1.2 * kRate);
    double phase = 0;
    Noise noise(uint32_t(at) + 71);
    OnePole lp;
    lp.set(900);
    Decay sweep(0.05), body(0.45), burst(0.06);
    for (long i = 0; i < n; ++i) {
        phase += (38.0 + 70.0 * sweep.next()) / kRate;
        double v = sine(phase) * ramp(i) * body.next() + 0.6 * lp.lp(noise.next()) * burst.next();
        out.add(at + i, det::tanh(1.3 * v) * gain, kCentre);
    }
}

void riser(StereoBuffer& out, long from, long to, double gain) {
    if (to <= from) return;
    Noise nl(uint32_t(from) + 3), nr(uint32_t(from) + 5);
    Svf fl, fr;
    for (long i = from; i < to; ++i) {
        double x = double(i - from) / double(to - from); // 0..1
        if ((i - from) % 64 == 0) { // the sweep moves slowly: retune every 64 frames
            double hz = 300.0 * det::pow(20.0, x);
            fl.set(hz, 0.5);
            fr.set(hz * 1.03, 0.5);
        }
        double env = x * x * gain;
        out.addStereo(i, fl.bp(nl.next()) * env, fr.bp(nr.next()) * env);
    }
}
