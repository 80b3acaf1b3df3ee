// The arrangement. Each section restarts the sixteenth grid at its own start
// (the scene boundaries lie on a 100 ms grid, not on bar lines), plays its
// chord list at two bars (3200 ms) per chord, and switches its instruments
// on or off with gains. Accents are placed on top at their exact frames.
#include "Score.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "Drums.h"
#include "Effects.h"
#include "Voices.h"
#include "scenes/ShowTime.h"

namespace {

const double kStep = 100.0; // ms per sixteenth

enum Chord { Am, F, C, G, Em, Dm, E, ChordCount };

// Pad voicings (MIDI) and bass roots (octave 1-2) per chord.
const std::vector<double> kVoicing[ChordCount] = {{57, 60, 64, 71}, {53, 60, 64, 69}, {55, 60, 64, 67},
                                                  {55, 59, 62, 67}, {52, 55, 59, 62}, {53, 57, 62, 64},
                                                  {56, 59, 64, 68}};
const double kRoot[ChordCount] = {33, 29, 36, 31, 28, 38, 28};

struct Note {
    int step, length; // sixteenths from the chord's start
    int pitch;        // MIDI
};

// The main theme, one phrase per chord of Am F C G.
const std::vector<Note> kThemeMain[4] = {
    {{0, 6, 76}, {6, 2, 74}, {8, 4, 72}, {12, 4, 74}, {16, 6, 76}, {22, 2, 79}, {24, 8, 76}},
    {{0, 6, 77}, {6, 2, 76}, {8, 4, 72}, {12, 4, 69}, {16, 8, 72}, {24, 4, 74}, {28, 4, 72}},
    {{0, 6, 79}, {6, 2, 76}, {8, 4, 79}, {12, 4, 81}, {16, 6, 79}, {22, 2, 76}, {24, 8, 74}},
    {{0, 6, 74}, {6, 2, 71}, {8, 4, 74}, {12, 4, 76}, {16, 8, 74}, {24, 4, 71}, {28, 4, 67}}};
// The song under the greetings, one phrase per chord of F G Em Am.
const std::vector<Note> kThemeSong[4] = {
    {{0, 8, 81}, {8, 4, 79}, {12, 4, 77}, {16, 8, 76}, {24, 8, 72}},
    {{0, 4, 71}, {4, 4, 74}, {8, 8, 79}, {16, 4, 77}, {20, 4, 76}, {24, 8, 74}},
    {{0, 8, 76}, {8, 4, 79}, {12, 4, 83}, {16, 8, 81}, {24, 8, 79}},
    {{0, 12, 81}, {12, 4, 76}, {16, 16, 72}}};

struct Section {
    double start, end;                        // ms
    std::vector<int> chords;                  // two bars each from `start`
    int transpose;                            // semitones
    double kick, clap, hats, hats16, openHat; // drum gains, 0 = silent
    bool halfTime;                            // kick on 1 and the "and" of 3, snare on 3
    double bass;
    BassStyle bassStyle;
    double pad, padBright;
    double arp, bells;
    double lead;
    const std::vector<Note>* theme; // four phrases, or null
    double riser;                   // gain of a riser over the last 2.4 s
};

const std::vector<Section>& sections() {
    using B = BassStyle;
    // One section a row, fields in the order of Section.
    // clang-format off
    static const std::vector<Section> list = {
        // Scene 2: the beat comes in.
        {18000, 30000, {Am, F, C, G}, 0, 0.9, 0.5, 0.35, 0, 0, false, 0.55, B::Pluck, 0.35, 0.35, 0, 0, 0, nullptr, 0},
        // Scene 3: energy, the theme and a sixteenth arpeggio.
        {30000, 48000, {Am, F, C, G, Am, F}, 0, 1.0, 0.55, 0.25, 0.25, 0.3, false, 0.6, B::Pluck, 0.3, 0.5, 0.22, 0, 0.3, kThemeMain, 0.5},
        // Scene 4: airy, bells over bright pads, a light pulse.
        {48000, 60000, {F, G, Em, Am}, 0, 0.35, 0, 0.25, 0, 0, false, 0.45, B::Sub, 0.45, 0.8, 0, 0.28, 0, nullptr, 0},
        // Scene 5: heavy and slow, half time with a distorted bass.
        {60000, 72000, {Am, F, Dm, E}, 0, 1.0, 0.8, 0.2, 0, 0, true, 0.6, B::Heavy, 0.3, 0.1, 0, 0, 0, nullptr, 0},
        // Scene 6: breakdown without drums, first hint of the song of Scene 8;
        // builds towards the return.
        {75000, 99000, {F, G, Em, Am, F, G, Em, Am}, 0, 0, 0, 0, 0, 0, false, 0.35, B::Sub, 0.5, 0.3, 0, 0.18, 0.2, kThemeSong, 0.7},
        // Scene 7: back in hard.
        {99000, 111000, {Am, F, C, G}, 0, 1.0, 0.6, 0.3, 0.25, 0.3, false, 0.65, B::Pluck, 0.3, 0.5, 0.2, 0, 0.32, kThemeMain, 0.4},
        // Scene 8: the song under the greetings.
        {111000, 123000, {F, G, Em, Am}, 0, 0.8, 0.45, 0.3, 0, 0, false, 0.5, B::Pluck, 0.35, 0.5, 0, 0.16, 0.34, kThemeSong, 0.45},
        // Scene 9: the climax, then a whole tone higher from 135 s.
        {123000, 135000, {Am, F, C, G}, 0, 1.0, 0.6, 0.3, 0.3, 0.35, false, 0.65, B::Pluck, 0.35, 0.7, 0.25, 0, 0.34, kThemeMain, 0},
        {135000, 147000, {Am, F, C, G}, 2, 1.0, 0.6, 0.3, 0.3, 0.35, false, 0.65, B::Pluck, 0.4, 0.8, 0.25, 0, 0.34, kThemeMain, 0},
    };
    // clang-format on
    return list;
}

// Mix groups. Two threads fill them: the rhythm thread owns drums, room,
// lead and accents, the harmony thread music and wet. `room` and `wet` are
// for sounds that should swim in reverb (the half-time snare; bells).
struct Buses {
    StereoBuffer drums, room, lead, accents, music, wet;
    explicit Buses(long n) : drums(n), room(n), lead(n), accents(n), music(n), wet(n) {}
};

long frameAt(double ms) {
    return msToFrame(ms);
}

std::vector<double> transposed(const std::vector<double>& notes, double by) {
    std::vector<double> out = notes;
    for (double& n : out) n += by;
    return out;
}

// The chord sounding at `ms` and its transposition; Am outside sections.
void chordAt(double ms, int& chord, int& transpose) {
    chord = Am;
    transpose = 0;
    if (ms < 6000) chord = Am;
    else if (ms < 9000) chord = F;
    else if (ms < 12000) chord = C;
    else if (ms < 15000) chord = Am;
    else if (ms < 18000) chord = G;
    for (const Section& s : sections()) {
        if (ms < s.start || ms >= s.end) continue;
        size_t k = size_t((ms - s.start) / 3200.0);
        chord = s.chords[k < s.chords.size() ? k : s.chords.size() - 1];
        transpose = s.transpose;
    }
    if (ms >= 72000 && ms < 75000) chord = E;
    if (ms >= 147000) {
        chord = Am;
        transpose = 2;
    }
}

void drumsFor(const Section& s, Buses& b) {
    int steps = int((s.end - s.start) / kStep);
    for (int k = 0; k < steps; ++k) {
        long at = frameAt(s.start + k * kStep);
        int inBar = k % 16;
        bool lastBeat = k >= steps - 4;
        if (s.halfTime) {
            if (inBar == 0 || inBar == 10) kick(b.drums, at, s.kick);
            if (inBar == 8) snare(b.room, at, 0.9);
        } else {
            if (inBar % 4 == 0 && s.kick > 0 && (s.clap > 0 || inBar == 0 || s.hats > 0.3))
                kick(b.drums, at, s.kick);
            if ((inBar == 4 || inBar == 12) && s.clap > 0) clap(b.drums, at, s.clap);
        }
        if (k % 2 == 1 && (k / 2) % 2 == 1 && s.hats > 0) hat(b.drums, at, s.hats, false, 0.3);
        if (s.hats16 > 0 && k % 2 == 0)
            hat(b.drums, at, s.hats16 * (inBar % 4 == 0 ? 0.5 : 1.0), false, -0.3);
        if (s.openHat > 0 && inBar % 4 == 2) hat(b.drums, at, s.openHat, true, 0.1);
        if (lastBeat && s.clap > 0) snare(b.drums, at, 0.3 + 0.15 * (k - steps + 4), 0.2);
    }
}

void bassFor(const Section& s, Buses& b) {
    int steps = int((s.end - s.start) / kStep);
    for (int k = 0; k < steps; ++k) {
        double ms = s.start + k * kStep;
        int chord, tr;
        chordAt(ms, chord, tr);
        double root = kRoot[chord] + tr;
        int inBar = k % 16;
        if (s.bassStyle == BassStyle::Pluck) {
            if (k % 2 == 0 && inBar % 4 != 0) // eighths off the kick
                bassNote(b.music, frameAt(ms), frameAt(150), root + 12 * (inBar == 14), s.bass,
                         s.bassStyle);
        } else if (k % 32 == 0) {
            long len = frameAt(std::min(3200.0, s.end - ms) - 50);
            bassNote(b.music, frameAt(ms), len, root + 12, s.bass, s.bassStyle);
        }
    }
}

void padsFor(const Section& s, Buses& b) {
    for (size_t i = 0; i < s.chords.size(); ++i) {
        double from = s.start + 3200.0 * i, to = std::min(s.end, from + 3200.0);
        std::vector<double> v = transposed(kVoicing[s.chords[i]], s.transpose);
        padChord(b.music, frameAt(from), frameAt(to - from), v, s.pad, s.padBright);
    }
}

void arpFor(const Section& s, Buses& b) {
    int steps = int((s.end - s.start) / kStep);
    const int order[8] = {0, 1, 2, 3, 2, 1, 3, 2};
    for (int k = 0; k < steps; ++k) {
        double ms = s.start + k * kStep;
        int chord, tr;
        chordAt(ms, chord, tr);
        const std::vector<double>& v = kVoicing[chord];
        double note = v[size_t(order[k % 8])] + tr + 12.0 * ((k / 8) % 2);
        if (s.arp > 0) pluck(b.music, frameAt(ms), note, s.arp, (k % 2) ? 0.5 : -0.5, 0.5);
        if (s.bells > 0 && k % 2 == 0)
            bell(b.wet, frameAt(ms), note + 12, s.bells, (k % 4) ? 0.6 : -0.6);
    }
}

void leadFor(const Section& s, Buses& b) {
    if (!s.theme || s.lead <= 0) return;
    for (size_t i = 0; i < s.chords.size(); ++i) {
        double from = s.start + 3200.0 * i;
        for (const Note& n : s.theme[i % 4]) {
            double ms = from + n.step * kStep, len = n.length * kStep - 30;
            if (ms >= s.end) break;
            len = std::min(len, s.end - ms - 30);
            leadNote(b.lead, frameAt(ms), frameAt(len), n.pitch + s.transpose, s.lead);
        }
    }
}

// The opening: pads and sparse bells, chords changing on the accents; a
// pulse of bass from 12 s.
void introHarmony(Buses& b) {
    const double starts[6] = {0, 6000, 9000, 12000, 15000, 18000};
    const int chords[5] = {Am, F, C, Am, G};
    for (int i = 0; i < 5; ++i) {
        long at = frameAt(starts[i]), len = frameAt(starts[i + 1] - starts[i]);
        double gain = 0.35 + 0.04 * i;
        padChord(b.music, at, len, kVoicing[chords[i]], gain, 0.15 + 0.05 * i);
    }
    for (int k = 0; k < 45; ++k) { // a bell every 400 ms, thinning out
        double ms = 400.0 * k;
        if (k % 3 == 2) continue;
        int chord, tr;
        chordAt(ms, chord, tr);
        double note = kVoicing[chord][size_t(k % 4)] + 24;
        bell(b.wet, frameAt(ms), note, 0.05 + 0.002 * k, (k % 2) ? 0.5 : -0.5);
    }
    for (int k = 0; k < 30; ++k) { // the pulse
        double ms = 12000 + 200.0 * k;
        int chord, tr;
        chordAt(ms, chord, tr);
        bassNote(b.music, frameAt(ms), frameAt(120), kRoot[chord] + 12, 0.25 + 0.01 * k,
                 BassStyle::Pluck);
    }
}

// Soft kicks under the pulse from 12 s; the beat proper starts at 18 s.
void introKicks(Buses& b) {
    for (int k = 0; k < 15; ++k) kick(b.drums, frameAt(12000 + 400.0 * k), 0.35 + 0.02 * k);
}

// Drum break on the rapid accents of 72..75 s (over the drone of
// breakDrone), the accents themselves come from accent().
void drumBreak(Buses& b) {
    const double fills[] = {72150, 72300, 72600, 72750, 73050, 73150,
                            73500, 73650, 74000, 74100, 74200, 74300};
    double hz = 90;
    for (double ms : fills) {
        tom(b.drums, frameAt(ms), 0.45, hz, hz < 120 ? -0.4 : 0.4);
        hz += 6;
    }
    snare(b.drums, frameAt(74700), 0.5);
    snare(b.drums, frameAt(74850), 0.6);
}

void risers(Buses& b) {
    riser(b.accents, frameAt(15600), frameAt(17900), 0.25);
    for (const Section& s : sections())
        if (s.riser > 0) riser(b.accents, frameAt(s.end - 2400), frameAt(s.end - 100), s.riser * 0.3);
}

// One accent: crash, stab of the sounding chord an octave up, kick and a
// low boom; quieter in the intro.
void accent(Buses& b, int ms, double level) {
    long at = frameAt(ms);
    int chord, tr;
    chordAt(ms, chord, tr);
    crash(b.accents, at, 0.55 * level, uint32_t(ms));
    stab(b.accents, at, transposed(kVoicing[chord], tr + 12), 0.5 * level);
    kick(b.accents, at, 0.9 * level);
    boom(b.accents, at, 0.5 * level);
}

// A short dip of everything but the accents just before each accent, so
// the hit lands in a gap; deeper and longer where a section starts.
void gapsBeforeAccents(Buses& b) {
    StereoBuffer* groups[5] = {&b.drums, &b.room, &b.music, &b.lead, &b.wet};
    for (int ms : syncs) {
        bool sectionStart = ms % 1000 == 0 && ms >= 30000;
        double length = sectionStart ? 120.0 : 50.0, depth = sectionStart ? 0.15 : 0.45;
        long from = frameAt(ms - length), to = frameAt(ms), ramp = frameAt(8);
        for (long i = from; i < to; ++i) {
            double x = std::min(1.0, double(i - from) / ramp);
            float g = float(1.0 - (1.0 - depth) * x);
            for (StereoBuffer* group : groups) {
                group->l[size_t(i)] *= g;
                group->r[size_t(i)] *= g;
            }
        }
    }
}

// The last chord rings out; the track is faded to exact silence by 154 s.
void fadeOut(StereoBuffer& mix) {
    long from = frameAt(151500), to = frameAt(154000);
    for (long i = from; i < mix.frames(); ++i) {
        float g = i >= to ? 0.f : float(1.0 - double(i - from) / double(to - from));
        mix.l[size_t(i)] *= g;
        mix.r[size_t(i)] *= g;
    }
}

// The final chord, B minor with an added ninth, from 147 s.
const std::vector<double> kLastChord = {35, 47, 54, 59, 62, 66, 73};

void finaleHarmony(Buses& b) {
    long at = frameAt(147000), len = frameAt(3500);
    padChord(b.music, at, len, kLastChord, 0.8, 0.6);
    bassNote(b.music, at, len, 35, 0.5, BassStyle::Sub);
}

void finaleHits(Buses& b) {
    long at = frameAt(147000);
    stab(b.accents, at, transposed(kLastChord, 12), 0.4);
    crash(b.accents, at, 0.4, 147000);
    boom(b.accents, at, 0.6);
    leadNote(b.lead, at, frameAt(2400), 78, 0.3);
}

// Everything on the harmony thread's buses.
void harmony(Buses& b) {
    introHarmony(b);
    for (const Section& s : sections()) {
        if (s.bass > 0) bassFor(s, b);
        padsFor(s, b);
        if (s.arp > 0 || s.bells > 0) arpFor(s, b);
    }
    bassNote(b.music, frameAt(72000), frameAt(2900), kRoot[E] + 12, 0.35, BassStyle::Sub); // break drone
    finaleHarmony(b);
}

// Everything on the rhythm thread's buses.
void rhythm(Buses& b) {
    introKicks(b);
    for (const Section& s : sections()) {
        drumsFor(s, b);
        leadFor(s, b);
    }
    drumBreak(b);
    risers(b);
    for (int ms : syncs) accent(b, ms, ms < 18000 ? 0.6 : 1.0);
    finaleHits(b);
}

} // namespace

StereoBuffer renderScore() {
    const long n = frameAt(kTrackMs);
    Buses b(n);
    // The two halves write disjoint buses, so the result does not depend on
    // how the threads interleave.
    std::thread second([&b] { harmony(b); });
    rhythm(b);
    second.join();
    gapsBeforeAccents(b);

    // Each group's level in the mix and in the reverb send.
    const struct {
        const StereoBuffer* bus;
        double dry, send;
    } levels[] = {{&b.drums, 0.8, 0.08},   {&b.music, 0.7, 0.3}, {&b.lead, 0.6, 0.3},
                  {&b.accents, 0.9, 0.25}, {&b.wet, 0.6, 0.9},   {&b.room, 0.6, 0.9}};
    StereoBuffer mix(n), send(n);
    for (const auto& level : levels) {
        mix.mix(*level.bus, level.dry);
        send.mix(*level.bus, level.send);
    }
    echo(b.lead, mix, frameAt(300), 0.35, 0.2); // dotted-eighth echo
    reverb(send, mix, 0.8, 0.35);
    fadeOut(mix);
    return mix;
}
