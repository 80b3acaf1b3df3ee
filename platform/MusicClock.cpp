// Smoothing of the music position. See MusicClock.h.
#include "platform/MusicClock.h"

#include <algorithm>

void MusicClock::reset(double wallSeconds, double positionMs) {
    lastWall = wallSeconds;
    lastMs = positionMs;
    holding = false;
}

double MusicClock::read(double wallSeconds, double targetMs) {
    double elapsedMs = std::max(0.0, (wallSeconds - lastWall) * 1000.0);
    lastWall = std::max(lastWall, wallSeconds);
    double predicted = lastMs + elapsedMs;
    double error = targetMs - predicted;
    // A lead this large is a device that stopped taking samples: slewing
    // would run the picture slow for seconds; standing still costs one wait.
    // Read rarely, the clock may stand behind the estimate: it moves to it.
    holding = error < -holdMs || (holding && targetMs < lastMs);
    if (holding) {
        lastMs = std::max(lastMs, targetMs);
        return lastMs;
    }
    if (error > snapMs) {
        predicted = targetMs;
    } else {
        double limit = std::min(maxSlew * elapsedMs, maxCorrectionMs);
        predicted += std::clamp(error, -limit, limit);
    }
    lastMs = std::max(lastMs, predicted);
    return lastMs;
}

double MusicClock::hold(double wallSeconds) {
    lastWall = std::max(lastWall, wallSeconds);
    return lastMs;
}
