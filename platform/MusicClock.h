// Turns a jumpy position estimate (the audio device's sample count, which
// advances in steps of a callback period) into a smooth clock: it advances
// with the wall clock and is pulled towards the estimate by at most `maxSlew`
// of the elapsed time (and 1.5 ms per reading). Ahead of the estimate by more
// than `holdMs` (the device stalls) it stands still, or at the estimate when
// it was behind it, until the estimate reaches it; behind by more than
// `snapMs` it jumps forward. It never goes backwards. Plain logic, no I/O:
// times in seconds, positions in ms.
#pragma once

class MusicClock {
public:
    double maxSlew = 0.25;        // largest correction, as a share of elapsed time
    double maxCorrectionMs = 1.5; // and in absolute terms per reading
    double holdMs = 40.0;         // a lead over the estimate beyond this holds the clock
    double snapMs = 250.0;        // a lag behind the estimate beyond this is jumped

    void reset(double wallSeconds, double positionMs);
    // The clock at `wallSeconds`, given the estimate `targetMs` for that time.
    double read(double wallSeconds, double targetMs);
    // The clock standing still at `wallSeconds` (no estimate yet): returns
    // its reading; the time held does not count as elapsed at the next read.
    double hold(double wallSeconds);

private:
    double lastWall = 0;
    double lastMs = 0;
    bool holding = false; // standing still until the estimate reaches lastMs
};
