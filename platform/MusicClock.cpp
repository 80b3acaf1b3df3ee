// Smoothing of the music position. See MusicClock.h.
#include "platform/MusicClock.h"

#include <algorithm>

void MusicClock::reset(double wallSeconds, double positionMs) {
    lastWall = wallSeconds;
    lastMs = positionMs;
}

double MusicClock::read(double wallSeconds, double targetMs) {
    double elapsedMs = std::max(0.0, (wallSeconds - lastWall) * 1000.0);
    lastWall = std::max(lastWall, wallSeconds);
    double predicted = lastMs + elapsedMs;
    double error = targetMs - predicted;
    if (error > snapMs) {
        predicted = targetMs;
    } else {
        double limit = std::min(maxSlew * elapsedMs, maxCorrectionMs);
        predicted += std::clamp(error, -limit, limit);
    }
    lastMs = std::max(lastMs, predicted);
    return lastMs;
}
