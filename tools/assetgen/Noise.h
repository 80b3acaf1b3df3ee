// Deterministic procedural noise for the texture painters: an integer hash,
// a small seeded generator, and tileable value noise with fractal sums.
// Everything is integer hashing plus double arithmetic, so the same inputs
// give the same values on every machine.
#pragma once

#include <cstdint>

// 32-bit integer hash (a mix of multiply-xorshift rounds).
uint32_t hash32(uint32_t x);
uint32_t hash3(int x, int y, uint32_t seed);

// Seeded generator: next() in 0..2^32-1, uniform() in [0, 1).
struct Random {
    uint32_t state;
    explicit Random(uint32_t seed) : state(seed * 2654435761u + 1u) {}
    uint32_t next();
    double uniform() { return next() * (1.0 / 4294967296.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
};

// Value noise in 0..1 at (x, y), lattice spacing 1, repeating every
// periodX × periodY lattice cells (so a texture whose size is a multiple of
// the period in cells tiles without seams).
double valueNoise(double x, double y, int periodX, int periodY, uint32_t seed);

// Sum of `octaves` noise layers, each of twice the frequency and `gain`
// times the amplitude of the one before; the result is scaled to 0..1.
// u, v in 0..1 across the tile; `cells` lattice cells across at the base.
double fractalNoise(double u, double v, int cells, int octaves, double gain, uint32_t seed);
