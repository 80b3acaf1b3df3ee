// The application icon: a glowing hexagonal tunnel on a dark rounded tile,
// drawn with Cairo paths and gradients only, so that one drawing gives every
// PNG size and the SVG. Deterministic: the same bytes on every run.
#pragma once

#include <string>

// Writes DIR/icon-256.png and DIR/icon-48.png (ARGB, transparent outside the
// tile) and, when Cairo has its SVG surface, DIR/icon.svg (256 × 256 units).
// DIR must exist. Returns "", or the problem of the first file that could
// not be written (the others are written all the same).
std::string writeIcons(const std::string& dir);
