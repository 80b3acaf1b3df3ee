// Pitched instruments of the soundtrack, each adding one note or chord into
// a stereo buffer: bass, pad, lead, pluck, bell and the accent stab. Notes
// are MIDI numbers (69 = A4 = 440 Hz); `at` and `length` are in frames; a
// note's release rings on past its length.
#pragma once

#include <vector>

#include "Audio.h"

enum class BassStyle {
    Pluck, // short filtered saw, for driving eighths
    Sub,   // round sine, long notes
    Heavy, // distorted saw with a slow filter, for the heavy section
};

void bassNote(StereoBuffer& out, long at, long length, double note, double gain, BassStyle style);
// Detuned saw pad; brightness 0..1 opens the filter.
void padChord(StereoBuffer& out, long at, long length, const std::vector<double>& notes, double gain,
              double brightness);
void leadNote(StereoBuffer& out, long at, long length, double note, double gain);
void pluck(StereoBuffer& out, long at, double note, double gain, double pan, double brightness);
void bell(StereoBuffer& out, long at, double note, double gain, double pan);
// Bright chord hit with an instant attack and a short decay.
void stab(StereoBuffer& out, long at, const std::vector<double>& notes, double gain);
