// Oscillators, envelopes and filters of the pitched instruments. Saws are
// band-limited (polyBLEP); detuned voices are spread across the stereo
// field; every phase starts at a fixed value, so notes render identically.
#include "Voices.h"

namespace {

// Attack-decay-sustain-release envelope; times in seconds, t since start,
// held for `hold` seconds before the release.
double adsr(double t, double hold, double a, double d, double s, double r) {
    double level;
    if (t < a) level = t / a;
    else if (t < a + d) level = 1.0 - (1.0 - s) * (t - a) / d;
    else level = s;
    if (t > hold) {
        double held = hold < a ? hold / a : (hold < a + d ? 1.0 - (1.0 - s) * (hold - a) / d : s);
        level = held * det::exp(-(t - hold) / r);
    }
    return level;
}

// A bank of detuned saws summed into two channels.
struct SawStack {
    double phase[6] = {0.0, 0.31, 0.62, 0.17, 0.83, 0.45};
    double step[6] = {};
    double pan[6] = {};
    int count = 0;
    void tune(double hz, int voices, double cents) {
        count = voices;
        for (int k = 0; k < voices; ++k) {
            double spread = voices > 1 ? double(k) / (voices - 1) * 2.0 - 1.0 : 0.0;
            step[k] = hz * det::pow(2.0, spread * cents / 1200.0) / kRate;
            pan[k] = spread * 0.8;
        }
    }
    // Next frame; `rate` scales the pitch (vibrato).
    void next(double& l, double& r, double rate = 1.0) {
        l = r = 0;
        for (int k = 0; k < count; ++k) {
            double dp = step[k] * rate;
            double v = sawBlep(phase[k], dp);
            phase[k] += dp;
            if (phase[k] >= 1.0) phase[k] -= 1.0;
            l += v * (1.0 - pan[k]) * 0.5;
            r += v * (1.0 + pan[k]) * 0.5;
        }
    }
};

} // namespace

void bassNote(StereoBuffer& out, long at, long length, double note, double gain, BassStyle style) {
    double hz = midiHz(note), hold = double(length) / kRate;
    double release = style == BassStyle::Pluck ? 0.03 : 0.15;
    long n = length + long(release * 6 * kRate);
    double phase = 0;
    Svf filter;
    Decay pluckSweep(0.05);
    const Pan centre(0.0);
    double env = 0;
    for (long i = 0; i < n; ++i) {
        double t = double(i) / kRate;
        phase += hz / kRate;
        if (phase >= 1.0) phase -= 1.0;
        double sweep = pluckSweep.next();
        bool control = i % kControl == 0;
        double v;
        if (style == BassStyle::Sub) {
            if (control) env = adsr(t, hold, 0.01, 0.1, 0.9, release);
            v = sine(phase) * env;
        } else if (style == BassStyle::Pluck) {
            if (control) {
                filter.set(220.0 + 2200.0 * sweep, 0.5);
                env = adsr(t, hold, 0.002, 0.12, 0.6, release);
            }
            double raw = sawBlep(phase, hz / kRate) * 0.7 + sine(phase) * 0.6;
            v = filter.lp(raw) * env;
        } else {
            if (control) {
                filter.set(150.0 + 700.0 * (0.5 + 0.5 * sine(t * 0.6)), 0.35);
                env = adsr(t, hold, 0.02, 0.3, 0.8, release);
            }
            double raw = det::tanh(2.5 * sawBlep(phase, hz / kRate));
            v = (filter.lp(raw) + 0.5 * sine(phase)) * env;
        }
        out.add(at + i, v * gain, centre);
    }
}

void padChord(StereoBuffer& out, long at, long length, const std::vector<double>& notes, double gain,
              double brightness) {
    double hold = double(length) / kRate;
    const double release = 1.2;
    long n = length + long(release * 5 * kRate);
    for (size_t k = 0; k < notes.size(); ++k) {
        SawStack stack;
        stack.tune(midiHz(notes[k]), 3, 14.0);
        OnePole fl1, fl2, fr1, fr2;
        double cutoff = 500.0 + 3500.0 * brightness + 150.0 * double(k);
        fl1.set(cutoff);
        fl2.set(cutoff);
        fr1.set(cutoff);
        fr2.set(cutoff);
        double g = gain / double(notes.size());
        double level = 0;
        for (long i = 0; i < n; ++i) {
            if (i % kControl == 0) {
                double t = double(i) / kRate;
                double swell = 1.0 + 0.15 * sine(0.25 * t + 0.16 * double(k));
                level = adsr(t, hold, 0.6, 0.5, 0.85, release) * g * swell;
            }
            double l, r;
            stack.next(l, r);
            out.addStereo(at + i, fl2.lp(fl1.lp(l)) * level, fr2.lp(fr1.lp(r)) * level);
        }
    }
}

void leadNote(StereoBuffer& out, long at, long length, double note, double gain) {
    double hz = midiHz(note), hold = double(length) / kRate;
    long n = length + long(0.25 * 5 * kRate);
    SawStack stack;
    stack.tune(hz, 2, 9.0);
    double square = 0.25;
    Svf fl, fr;
    Decay sweep(0.25);
    double env = 0;
    for (long i = 0; i < n; ++i) {
        double t = double(i) / kRate;
        double vibrato = t > 0.15 ? 0.004 * sine(5.5 * t) * std::fmin(1.0, (t - 0.15) * 4) : 0.0;
        double cut = 900.0 + 2600.0 * sweep.next();
        if (i % kControl == 0) {
            fl.set(cut, 0.6);
            fr.set(cut, 0.6);
            env = adsr(t, hold, 0.008, 0.2, 0.75, 0.25) * gain;
        }
        double l, r;
        stack.next(l, r, 1.0 + vibrato);
        square += hz * (1.0 + vibrato) / kRate;
        if (square >= 1.0) square -= 1.0;
        double sq = square < 0.5 ? 0.35 : -0.35;
        out.addStereo(at + i, fl.lp(l + sq) * env, fr.lp(r + sq) * env);
    }
}

void pluck(StereoBuffer& out, long at, double note, double gain, double pan, double brightness) {
    double hz = midiHz(note);
    long n = long(0.6 * kRate);
    double phase = 0.5;
    Svf filter;
    Decay sweep(0.07);
    const Pan p(pan);
    double env = 0;
    for (long i = 0; i < n; ++i) {
        phase += hz / kRate;
        if (phase >= 1.0) phase -= 1.0;
        double cut = 300.0 + (1500.0 + 4000.0 * brightness) * sweep.next();
        if (i % kControl == 0) {
            filter.set(cut, 0.7);
            env = adsr(double(i) / kRate, 0.0, 0.002, 0.0, 1.0, 0.14);
        }
        double v = filter.lp(sawBlep(phase, hz / kRate)) * env;
        out.add(at + i, v * gain, p);
    }
}

void bell(StereoBuffer& out, long at, double note, double gain, double pan) {
    double hz = midiHz(note);
    long n = long(1.8 * kRate);
    const Pan p(pan);
    Decay index(0.3), env(0.7);
    double carrier = 0, modulator = 0;
    for (long i = 0; i < n; ++i) {
        double mod = sine(modulator) * 1.8 * index.next();
        double v = sine(carrier + mod / kTwoPi) * env.next() * (i < 132 ? i / 132.0 : 1.0);
        carrier += hz / kRate;
        modulator += hz * 3.5 / kRate;
        if (carrier >= 1.0) carrier -= 1.0;
        if (modulator >= 1.0) modulator -= 1.0;
        out.add(at + i, v * gain, p);
    }
}

void stab(StereoBuffer& out, long at, const std::vector<double>& notes, double gain) {
    long n = long(0.9 * kRate);
    for (size_t k = 0; k < notes.size(); ++k) {
        SawStack stack;
        stack.tune(midiHz(notes[k]), 4, 22.0);
        Svf fl, fr;
        double g = gain / double(notes.size());
        Decay sweep(0.08), fade(0.16);
        for (long i = 0; i < n; ++i) {
            double cut = 700.0 + 6000.0 * sweep.next();
            if (i % kControl == 0) {
                fl.set(cut, 0.5);
                fr.set(cut, 0.5);
            }
            double env = fade.next();
            double l, r;
            stack.next(l, r);
            out.addStereo(at + i, fl.lp(l) * env * g, fr.lp(r) * env * g);
        }
    }
}
