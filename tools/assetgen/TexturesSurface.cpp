// Surfaces: the glowing net, the nebula added over it, the two chrome
// reflection maps, the full-screen film layer, and the loaded-but-unused
// fillers (light leak, clouds, ripples, triangles). Everything that the
// scenes repeat or wrap tiles without seams: noise periods and sine
// frequencies are whole numbers per tile.
#include <cmath>

#include "Noise.h"
#include "Shade.h"
#include "TextureSet.h"

namespace {

// Glow of a line at distance d pixels: a sharp core and a soft halo.
double lineGlow(double d, double core, double halo) {
    return det::exp(-(d * d) / (core * core)) + 0.35 * det::exp(-d / halo);
}

} // namespace

// Thin glowing grid on black: bright lines every quarter, faint ones every
// sixteenth, hot nodes at the bright crossings; the brightness drifts with
// tileable noise so the net looks alive.
Image paintNet(int size, int) {
    Canvas c(size);
    const double px = size;
    c.fill([px](double u, double v) {
        double du = gridDistance(u, 0.25) * px, dv = gridDistance(v, 0.25) * px;
        double mu = gridDistance(u, 0.0625) * px, mv = gridDistance(v, 0.0625) * px;
        double major = std::fmax(lineGlow(du, 0.9, 3.0), lineGlow(dv, 0.9, 3.0));
        double minor = 0.3 * std::fmax(lineGlow(mu, 0.6, 1.5), lineGlow(mv, 0.6, 1.5));
        double node = det::exp(-(du * du + dv * dv) / 9.0);
        double drift = 0.55 + 0.45 * fractalNoise(u, v, 4, 3, 0.5, 11);
        double hue = valueNoise(u * 2, v * 2, 2, 2, 5);
        Rgb tint = mix(Rgb{0.25, 0.75, 1.0}, Rgb{0.55, 0.45, 1.0}, hue);
        Rgb col = scale(tint, (major + minor) * drift);
        return plus(col, scale(Rgb{0.9, 0.95, 1.0}, node * 0.9));
    });
    return c.toImage(3);
}

// Soft colourful nebula: domain-warped noise for the gas, a slow second
// field choosing its colour (violet, magenta, cyan, amber), dark lanes
// between the clouds so the net shows through. The warp is periodic, so the
// tile still wraps.
Image paintNice(int size, int) {
    Canvas c(size);
    c.fill([](double u, double v) {
        double wu = fractalNoise(u, v, 3, 4, 0.5, 33), wv = fractalNoise(u, v, 3, 4, 0.5, 34);
        double gas = fractalNoise(u + 0.3 * wu, v + 0.3 * wv, 4, 6, 0.55, 21);
        double density = det::pow(smoothstep(0.32, 0.78, gas), 1.4);
        double h = fractalNoise(u, v, 2, 3, 0.5, 35) * 3.0;
        const Rgb colours[4] = {{0.35, 0.10, 0.65},
                                {0.90, 0.20, 0.60},
                                {0.10, 0.65, 0.95},
                                {1.00, 0.55, 0.15}};
        int i = int(h) % 3;
        Rgb col = mix(colours[i], colours[i + 1], smoothstep(0.0, 1.0, h - std::floor(h)));
        Rgb glow = scale(col, 0.04 + 0.85 * density);
        return plus(glow, scale(Rgb{1, 0.95, 0.9}, 0.25 * det::pow(density, 4.0)));
    });
    return c.toImage(3);
}

// Chrome for the blob: s runs around the sphere, t from pole to pole. A
// bright sky over a dark horizon over warm ground, wobbling with the
// longitude, plus fine brushed streaks; seamless in s.
Image paintChromeBlob(int size, int) {
    Canvas c(size);
    c.fill([](double u, double v) {
        double t = v + 0.04 * det::sin(2 * kPi * 3 * u) + 0.025 * det::sin(2 * kPi * 5 * u + 1.0);
        Rgb sky = mix(Rgb{0.25, 0.35, 0.6}, Rgb{0.95, 0.97, 1.0}, smoothstep(0.05, 0.47, t));
        Rgb ground = mix(Rgb{0.55, 0.38, 0.22}, Rgb{0.08, 0.05, 0.03}, smoothstep(0.52, 0.95, t));
        Rgb col = t < 0.5 ? sky : ground;
        col = scale(col, 1.0 - 0.85 * det::exp(-det::pow((t - 0.5) / 0.012, 2.0)));
        for (double band : {0.2, 0.33, 0.68, 0.8}) {
            double b = det::exp(-det::pow((t - band) / 0.006, 2.0));
            col = plus(col, scale(Rgb{0.9, 0.9, 0.95}, 0.5 * b));
        }
        double brushed = valueNoise(u * 128, v * 6, 128, 6, 3);
        return scale(col, 0.88 + 0.12 * brushed);
    });
    return c.toImage(3);
}

// Chrome for the shell seen from inside: deep blue metal with glowing teal
// bands that wave around it and a mottled sheen; seamless in s.
Image paintChromeShell(int size, int) {
    Canvas c(size);
    c.fill([](double u, double v) {
        double t = v + 0.03 * det::sin(2 * kPi * 4 * u) + 0.02 * det::cos(2 * kPi * 7 * u);
        double bands = det::pow(0.5 + 0.5 * det::cos(2 * kPi * 9 * t), 16.0);
        double sheen = fractalNoise(u, v, 8, 4, 0.5, 44);
        Rgb base = mix(Rgb{0.02, 0.04, 0.10}, Rgb{0.12, 0.20, 0.35}, sheen);
        Rgb col = plus(base, scale(Rgb{0.25, 0.75, 0.85}, bands * 0.7));
        double gleam = det::exp(-det::pow((t - 0.5) / 0.08, 2.0));
        return plus(col, scale(Rgb{0.3, 0.35, 0.5}, gleam * 0.4));
    });
    return c.toImage(3);
}

// Film layer colour: dark grain with a faint colour speckle.
Image paintLayer(int size, int) {
    Canvas c(size);
    int n = size;
    c.fill([n](double u, double v) {
        int x = int(u * n), y = int(v * n);
        double g = (hash3(x, y, 91) & 0xffff) / 65535.0;
        double tint = (hash3(x, y, 92) & 0xffff) / 65535.0;
        double base = 0.10 + 0.10 * g;
        return Rgb{base + 0.02 * tint, base, base + 0.02 * (1 - tint)};
    });
    return c.toImage(3);
}

// Film layer opacity: low in the middle, rising to the corners (vignette),
// with scanlines every 4 texel rows (3 screen rows at 768) and grain.
Image paintLayerMask(int size, int) {
    int n = size;
    return greyImage(size, [n](double u, double v) {
        double x = (u - 0.5) * 2.0, y = (v - 0.5) * 2.0;
        double r = std::sqrt(x * x + y * y) / std::sqrt(2.0);
        double vignette = 0.6 * smoothstep(0.35, 1.0, r);
        int row = int(v * n);
        double scan = 0.08 * (0.5 + 0.5 * det::cos(2 * kPi * row / 4.0));
        double grain = 0.06 * ((hash3(int(u * n), row, 93) & 0xffff) / 65535.0);
        return 0.06 + vignette + scan + grain;
    });
}

// A warm light leak from the top-left corner fading into magenta.
Image paintLightLeak(int size, int) {
    Canvas c(size);
    c.fill([](double u, double v) {
        double r = det::hypot(u, v) / std::sqrt(2.0);
        return mix(Rgb{1.0, 0.75, 0.35}, Rgb{0.6, 0.15, 0.45}, smoothstep(0.0, 0.9, r));
    });
    return c.toImage(3);
}

// Its opacity: soft blotches plus dust specks and a few vertical scratches.
Image paintLightLeakMask(int size, int) {
    Image mask = greyImage(size, [](double u, double v) {
        double blotch = smoothstep(0.45, 0.8, fractalNoise(u, v, 3, 4, 0.5, 61));
        double leak = 1.0 - smoothstep(0.0, 0.8, det::hypot(u, v) / std::sqrt(2.0));
        return 0.5 * blotch * leak + 0.25 * leak;
    });
    Random rnd(62);
    for (int i = 0; i < 400; ++i) {
        int x = int(rnd.uniform() * size), y = int(rnd.uniform() * size);
        mask.at(x, y)[0] = 255;
    }
    for (int i = 0; i < 6; ++i) {
        int x = int(rnd.uniform() * size), y0 = int(rnd.uniform() * size / 2);
        int len = int(size * rnd.range(0.2, 0.5));
        for (int y = y0; y < y0 + len && y < size; ++y) mask.at(x, y)[0] = 200;
    }
    return mask;
}

// Seamless cumulus: white clouds on a sky gradient.
Image paintCloud(int size, int) {
    Canvas c(size);
    c.fill([](double u, double v) {
        double n = fractalNoise(u, v, 4, 6, 0.55, 71);
        double cover = smoothstep(0.42, 0.72, n);
        Rgb sky = mix(Rgb{0.35, 0.55, 0.85}, Rgb{0.6, 0.78, 0.95}, 0.5 + 0.5 * det::sin(2 * kPi * v));
        return mix(sky, Rgb{0.98, 0.98, 1.0}, cover);
    });
    return c.toImage(3);
}

// Interference ripples from three sources on a torus (so the tile wraps).
Image paintRipples(int size, int) {
    Canvas c(size);
    c.fill([](double u, double v) {
        const double src[3][2] = {{0.2, 0.3}, {0.7, 0.6}, {0.45, 0.85}};
        double sum = 0;
        for (const auto& s : src) {
            double dx = std::fabs(u - s[0]), dy = std::fabs(v - s[1]);
            dx = std::fmin(dx, 1 - dx);
            dy = std::fmin(dy, 1 - dy);
            sum += det::cos(det::hypot(dx, dy) * 70.0);
        }
        double t = sum / 6.0 + 0.5;
        return palette(t, {0.45, 0.4, 0.5}, {0.45, 0.4, 0.4}, {1.0, 1.0, 1.0}, {0.6, 0.45, 0.2});
    });
    return c.toImage(3);
}

// Orange triangles of random shades on a dark field, with glowing edges.
Image paintTriangles(int size, int) {
    Canvas c(size);
    c.fill([](double, double v) { return scale(Rgb{0.1, 0.05, 0.08}, 0.6 + 0.4 * v); });
    Random rnd(81);
    const int cells = 8;
    double step = double(size) / cells;
    for (int j = 0; j < cells; ++j)
        for (int i = 0; i < cells; ++i) {
            double x = i * step, y = j * step;
            bool flip = (i + j) % 2 == 1;
            cairo_move_to(c.cr, x + 4, y + 4);
            cairo_line_to(c.cr, x + step - 4, flip ? y + 4 : y + step - 4);
            cairo_line_to(c.cr, flip ? x + 4 : x + step - 4, y + step - 4);
            cairo_close_path(c.cr);
            double k = rnd.range(0.3, 1.0);
            cairo_set_source_rgb(c.cr, k, 0.5 * k, 0.05);
            cairo_fill_preserve(c.cr);
            c.glowStroke(Rgb{1.0, 0.6, 0.2}, 1.0, 0.6);
        }
    return c.toImage(3);
}
