// Deterministic elementary functions: exp, log, pow, sin, cos, tanh and
// atan2 built from IEEE additions, multiplications, divisions and exact
// scalings only. The C library's versions may pick different code (FMA or
// not) on different CPUs and differ in the last bit, which would change
// output bytes; these give the same double everywhere (the build turns off
// floating-point contraction). Accuracy about 1e-14 relative, plenty for
// pixels and samples.
#pragma once

#include <cmath>

namespace det {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;

inline double exp(double x) {
    if (x < -708.0) return 0.0;
    if (x > 709.0) return HUGE_VAL;
    double k = std::floor(x * 1.4426950408889634 + 0.5);
    double r = (x - k * kLn2Hi) - k * kLn2Lo; // |r| <= 0.35
    double p = 1.0, term = 1.0;
    for (int n = 1; n <= 13; ++n) {
        term = term * r / n;
        p += term;
    }
    return std::ldexp(p, int(k));
}

inline double log(double x) {
    if (x <= 0.0) return -HUGE_VAL;
    int e = 0;
    double m = std::frexp(x, &e); // 0.5 <= m < 1
    if (m < 0.70710678118654752) {
        m *= 2.0;
        --e;
    }
    double f = m - 1.0, s = f / (2.0 + f), s2 = s * s;
    double sum = 0.0, power = s;
    for (int n = 1; n <= 19; n += 2) {
        sum += power / n;
        power *= s2;
    }
    return e * kLn2Hi + (e * kLn2Lo + 2.0 * sum);
}

// x^y; a negative x only with a whole y (otherwise NaN, as std::pow).
inline double pow(double x, double y) {
    if (x == 0.0) return y == 0.0 ? 1.0 : 0.0;
    if (x > 0.0) return det::exp(y * det::log(x));
    if (std::floor(y) != y) return NAN;
    double r = det::exp(y * det::log(-x));
    return std::fmod(std::fabs(y), 2.0) == 1.0 ? -r : r;
}

// sin and cos of r with |r| <= π/4.
inline double sinKernel(double r) {
    double r2 = r * r, term = r, sum = r;
    for (int n = 1; n <= 7; ++n) {
        term = -term * r2 / ((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}
inline double cosKernel(double r) {
    double r2 = r * r, term = 1.0, sum = 1.0;
    for (int n = 1; n <= 8; ++n) {
        term = -term * r2 / ((2 * n - 1) * (2 * n));
        sum += term;
    }
    return sum;
}

// Quadrant reduction, then the kernel for sin (offset 0) or cos (offset 1).
inline double sinQuadrant(double x, int offset) {
    const double halfPiHi = 1.57079632673412561417e+00, halfPiLo = 6.07710050650619224932e-11;
    double q = std::floor(x * 0.63661977236758134 + 0.5);
    double r = (x - q * halfPiHi) - q * halfPiLo;
    long quadrant = (long(std::fmod(q, 4.0)) + 4 + offset) % 4;
    switch (quadrant) {
    case 0: return sinKernel(r);
    case 1: return cosKernel(r);
    case 2: return -sinKernel(r);
    default: return -cosKernel(r);
    }
}
inline double sin(double x) {
    return sinQuadrant(x, 0);
}
inline double cos(double x) {
    return sinQuadrant(x, 1);
}

inline double tanh(double x) {
    double e = det::exp(-2.0 * std::fabs(x));
    double t = (1.0 - e) / (1.0 + e);
    return x < 0 ? -t : t;
}

// atan of t >= 0.
inline double atanPositive(double t) {
    bool inverted = t > 1.0;
    if (inverted) t = 1.0 / t;
    const double root3 = 1.7320508075688772, tan15 = 0.2679491924311228;
    bool shifted = t > tan15;
    if (shifted) t = (t * root3 - 1.0) / (t + root3);
    double t2 = t * t, power = t, sum = 0.0;
    for (int n = 0; n < 12; ++n) {
        sum += (n % 2 ? -power : power) / (2 * n + 1);
        power *= t2;
    }
    if (shifted) sum += kPi / 6.0;
    return inverted ? kPi / 2.0 - sum : sum;
}

inline double atan2(double y, double x) {
    if (x == 0.0) return y > 0 ? kPi / 2 : (y < 0 ? -kPi / 2 : 0.0);
    double a = atanPositive(std::fabs(y / x));
    if (x < 0) a = kPi - a;
    return y < 0 ? -a : a;
}

inline double hypot(double x, double y) {
    return std::sqrt(x * x + y * y);
}

} // namespace det
