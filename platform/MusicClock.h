// Turns a jumpy position estimate (the audio device's sample count, which
// advances in steps of a callback period) into a smooth clock: it advances
// with the wall clock, is pulled towards the estimate by at most `maxSlew`
// of the elapsed time (and 1.5 ms per reading), jumps forward only after a large lag, and never goes
// backwards. Plain logic, no I/O: times in seconds, positions in ms.
#pragma once

class MusicClock {
public:
    double maxSlew = 0.25;        // largest correction, as a share of elapsed time
    double maxCorrectionMs = 1.5; // and in absolute terms per reading
    double snapMs = 250.0;        // a lag behind the estimate beyond this is jumped

    void reset(double wallSeconds, double positionMs);
    // The clock at `wallSeconds`, given the estimate `targetMs` for that time.
    double read(double wallSeconds, double targetMs);

private:
    double lastWall = 0;
    double lastMs = 0;
};
