// Light sprites: the particle dot and its tinted twin, the streak head, the
// lens flare, the sphere-map highlight and the rainbow ribbon with its edge
// mask. All are black (or transparent) at their borders, because the scenes
// draw them as additive or alpha-blended quads.
#include <cmath>

#include "Noise.h"
#include "Shade.h"
#include "TextureSet.h"

namespace {

// Radial profile of the particle dot: a bright core and a soft skirt that
// reaches exactly 0 at radius 1 (the quad's inscribed circle).
double dotProfile(double u, double v) {
    double r = det::hypot(u - 0.5, v - 0.5) * 2.0;
    if (r >= 1.0) return 0.0;
    double skirt = det::pow(1.0 - r * r, 3.0);
    double core = det::exp(-r * r * 14.0);
    return clamp01(0.55 * skirt + 0.6 * core);
}

} // namespace

Image paintSmallPart(int size, int) {
    return greyImage(size, dotProfile);
}

// Deep cool blue-violet, darker towards the rim and constant outside it, so
// that linear filtering at the mask's edge blends towards the tint rather
// than black. The dots are alpha-blended over a pale sky and then brightened
// by the glow, so even the core stays well below white to keep its colour.
Image paintSmallPart2(int size, int) {
    Canvas c(size);
    c.fill([](double u, double v) {
        double r = clamp01(det::hypot(u - 0.5, v - 0.5) * 2.0);
        Rgb core{0.36, 0.24, 0.86}, mid{0.22, 0.12, 0.66}, rim{0.14, 0.06, 0.46};
        return r < 0.35 ? mix(core, mid, r / 0.35) : mix(mid, rim, smoothstep(0.35, 1.0, r));
    });
    return c.toImage(3);
}

// Streak head: s runs across the streak, t along it from the head (t = 0,
// the top row) to the tail. White-hot centre line, orange glow, fading out
// along t and to black at both sides.
Image paintTailPart(int size, int) {
    Canvas c(size);
    c.fill([](double u, double v) {
        double x = (u - 0.5) * 2.0;
        double across = det::exp(-x * x * 60.0), glow = det::exp(-x * x * 9.0) * (1 - x * x);
        double along = det::pow(1.0 - v, 1.6) * smoothstep(0.0, 0.04, v + 0.01);
        double head = det::exp(-det::pow((v - 0.06) / 0.05, 2.0)) * det::exp(-x * x * 30.0);
        Rgb hot{1.0, 0.95, 0.85}, warm{1.0, 0.5, 0.12};
        Rgb col = plus(scale(hot, across * along + head * 0.8), scale(warm, glow * along * 0.8));
        return col;
    });
    return c.toImage(3);
}

// Lens flare: a white core with a warm halo, twelve long rays and many fine
// ones, a faint tinted ring and two ghosts; black well inside the borders.
Image paintFlare(int size, int) {
    Canvas c(size);
    c.fill([](double u, double v) {
        double dx = u - 0.5, dy = v - 0.5;
        double r = det::hypot(dx, dy) * 2.0; // 1 at the border's middle
        double a = det::atan2(dy, dx);
        double fade = 1.0 - smoothstep(0.75, 0.98, r);
        double core = det::exp(-r * r * 90.0) + 0.35 * det::exp(-r * r * 12.0);
        double rays = det::pow(std::fabs(det::cos(a * 6.0)), 60.0) * det::exp(-r * 3.2);
        double fine = det::pow(0.5 + 0.5 * det::cos(a * 37.0 + 0.7 * det::sin(a * 5.0)), 24.0) *
                      det::exp(-r * 5.0) * 0.5;
        double ring = det::exp(-det::pow((r - 0.62) / 0.025, 2.0));
        Rgb ringCol = palette(r * 4.0, {0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {1, 1, 1}, {0.0, 0.33, 0.67});
        double g1 = det::exp(-(det::pow(dx + 0.16, 2) + det::pow(dy + 0.12, 2)) * 900.0);
        double g2 = det::exp(-(det::pow(dx - 0.22, 2) + det::pow(dy - 0.17, 2)) * 2500.0);
        Rgb col = scale(Rgb{1.0, 0.93, 0.8}, core * 1.6 + rays + fine);
        col = plus(col, scale(Rgb{1.0, 0.6, 0.25}, 0.25 * det::exp(-r * 4.0)));
        col = plus(col, scale(ringCol, ring * 0.22));
        col = plus(col, scale(Rgb{0.3, 0.6, 1.0}, g1 * 0.35 + g2 * 0.5));
        return scale(col, fade);
    });
    return c.toImage(3);
}

// Sphere-map highlight addressed by the normal's x and y mapped to 0..1:
// a hot key light up and to the left, a softer fill light, a thin rim where
// the normal turns sideways; black outside the unit disc.
Image paintSpecular(int size, int) {
    Canvas c(size);
    c.fill([](double u, double v) {
        double nx = u * 2 - 1, ny = v * 2 - 1;
        double r2 = nx * nx + ny * ny;
        if (r2 > 1.0) return Rgb{0, 0, 0};
        double key = det::exp(-(det::pow(nx + 0.35, 2) + det::pow(ny + 0.4, 2)) * 28.0);
        double fill = det::exp(-(det::pow(nx - 0.45, 2) + det::pow(ny - 0.35, 2)) * 10.0);
        double rim = smoothstep(0.80, 0.98, std::sqrt(r2)) * (1 - smoothstep(0.98, 1.0, std::sqrt(r2)));
        Rgb col = scale(Rgb{1.0, 1.0, 1.0}, key * 1.2);
        col = plus(col, scale(Rgb{0.35, 0.5, 0.8}, fill * 0.45));
        col = plus(col, scale(Rgb{0.3, 0.4, 0.55}, rim * 0.35));
        return col;
    });
    return c.toImage(3);
}

// Rainbow across s (red at 0 to violet at 1), the same on every row apart
// from a faint shimmer whose period divides the height (seamless along t).
Image paintRainbow(int size, int) {
    Canvas c(size);
    c.fill([](double u, double v) {
        Rgb band = mix(hue(clamp01((u - 0.12) / 0.76) * 0.8), Rgb{1, 1, 1}, 0.15);
        double shimmer = 0.9 + 0.1 * det::sin(2 * kPi * (2 * v + u));
        double centre = 0.8 + 0.2 * det::exp(-det::pow((u - 0.5) / 0.12, 2.0));
        return scale(band, shimmer * centre);
    });
    return c.toImage(3);
}

// Opaque in the middle of the ribbon, fading to 0 at both edges of s.
Image paintRainbowMask(int size, int) {
    return greyImage(size, [](double u, double) {
        double d = std::fabs(u - 0.5);
        return 1.0 - smoothstep(0.18, 0.48, d);
    });
}

// The ribbon's shadow: a dark violet band with a lighter core.
Image paintRainbowShadow(int size, int) {
    Canvas c(size);
    c.fill([](double u, double v) {
        double d = std::fabs(u - 0.5);
        double band = 1.0 - smoothstep(0.05, 0.5, d);
        double grain = 0.9 + 0.1 * valueNoise(u * 16, v * 16, 16, 16, 7);
        return scale(Rgb{0.18, 0.10, 0.28}, (0.4 + 0.6 * band) * grain);
    });
    return c.toImage(3);
}
