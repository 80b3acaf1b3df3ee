// Small shading helpers shared by the texture painters: clamping, blends,
// smooth steps, a cosine colour palette and a grey image from a function.
#pragma once

#include <cmath>
#include <functional>

#include "DetMath.h"

#include "Canvas.h"

constexpr double kPi = 3.14159265358979323846;

inline double clamp01(double v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}
inline double mix(double a, double b, double t) {
    return a + (b - a) * t;
}
inline Rgb mix(Rgb a, Rgb b, double t) {
    return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t)};
}
inline Rgb scale(Rgb c, double k) {
    return {c.r * k, c.g * k, c.b * k};
}
inline Rgb plus(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline double smoothstep(double e0, double e1, double x) {
    double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
// Distance from v (0..1) to the nearest multiple of `step`, wrapping at 1.
inline double gridDistance(double v, double step) {
    double m = std::fmod(v, step);
    return std::fmin(m, step - m);
}
// Cosine palette: a + b cos(2π(c t + d)) per channel.
inline Rgb palette(double t, Rgb a, Rgb b, Rgb c, Rgb d) {
    return {a.r + b.r * det::cos(2 * kPi * (c.r * t + d.r)),
            a.g + b.g * det::cos(2 * kPi * (c.g * t + d.g)),
            a.b + b.b * det::cos(2 * kPi * (c.b * t + d.b))};
}
// Hue (0..1 around the colour wheel, 0 = red) at full saturation and value.
inline Rgb hue(double h) {
    double k = std::fmod(h, 1.0) * 6.0;
    return {clamp01(std::fabs(k - 3.0) - 1.0), clamp01(2.0 - std::fabs(k - 2.0)),
            clamp01(2.0 - std::fabs(k - 4.0))};
}
// A greyscale image whose pixel (u, v) is f(u, v) in 0..1.
Image greyImage(int size, const std::function<double(double u, double v)>& f);
// Box blur of a greyscale image, three passes (close to a Gaussian of
// standard deviation about radius), edges clamped.
void blurGrey(Image& image, int radius);
