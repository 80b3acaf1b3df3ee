// Tech panels for the tunnel tyres, the Scene 9 rings and the white
// honeycomb: a square split recursively into bevelled plates, each with a
// decoration (vents, lamps, traces, rivets, a label bar). One style record
// per texture picks the palette; the light style keeps everything pale.
#include <cmath>

#include "Noise.h"
#include "Shade.h"
#include "TextureSet.h"

namespace {

struct PanelStyle {
    Rgb base, base2; // plate shades, dark to light
    Rgb seam;        // gaps between plates
    Rgb lamp, lamp2; // lights and traces
    uint32_t seed;
    bool light; // pale style: no glow, mid-grey details on a light base
};

// Stroke weight of seams and decorations. The light panels are seen small,
// through fog and blur, so their details are drawn about twice as bold.
double weight(const PanelStyle& s) {
    return s.light ? 2.2 : 1.0;
}

void rect(cairo_t* cr, double x, double y, double w, double h, Rgb c, double a = 1.0) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, a);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

void vents(Canvas& c, double x, double y, double w, double h, const PanelStyle& s) {
    double pitch = 7.0 * weight(s);
    int n = int(h / pitch);
    for (int i = 1; i < n; ++i)
        rect(c.cr, x + w * 0.15, y + i * pitch, w * 0.7, 2.5 * weight(s),
             scale(s.seam, s.light ? 1.0 : 0.6));
}

void lamps(Canvas& c, double x, double y, double w, double h, const PanelStyle& s, Random& rnd) {
    double pitch = 14.0 * weight(s);
    int n = int(w / pitch);
    for (int i = 0; i < n; ++i) {
        Rgb col = rnd.uniform() < 0.5 ? s.lamp : s.lamp2;
        double cx = x + 10 * weight(s) + i * pitch, cy = y + h / 2;
        if (s.light) {
            double r = 3.0 * weight(s);
            rect(c.cr, cx - r, cy - r, 2 * r, 2 * r, col);
            continue;
        }
        cairo_arc(c.cr, cx, cy, 2.0, 0, 2 * kPi);
        c.glowStroke(col, 1.5, rnd.range(0.4, 1.0));
    }
}

void traces(Canvas& c, double x, double y, double w, double h, const PanelStyle& s, Random& rnd) {
    for (int i = 0; i < 5; ++i) {
        double px = x + rnd.range(0.1, 0.9) * w, py = y + 4;
        cairo_move_to(c.cr, px, py);
        double midY = y + rnd.range(0.3, 0.7) * h;
        cairo_line_to(c.cr, px, midY);
        double nx = x + rnd.range(0.1, 0.9) * w;
        cairo_line_to(c.cr, nx, midY + std::fabs(nx - px) * 0.3);
        cairo_line_to(c.cr, nx, y + h - 4);
        if (s.light) {
            cairo_set_source_rgb(c.cr, s.lamp.r, s.lamp.g, s.lamp.b);
            cairo_set_line_width(c.cr, 1.5 * weight(s));
            cairo_stroke(c.cr);
        } else {
            c.glowStroke(s.lamp, 0.8, 0.6);
        }
    }
}

void rivets(Canvas& c, double x, double y, double w, double h, const PanelStyle& s) {
    const double inset = 6 * weight(s);
    const double pts[4][2] = {{x + inset, y + inset},
                              {x + w - inset, y + inset},
                              {x + inset, y + h - inset},
                              {x + w - inset, y + h - inset}};
    for (const auto& p : pts) {
        cairo_arc(c.cr, p[0], p[1], 2.2 * weight(s), 0, 2 * kPi);
        Rgb col = s.light ? s.seam : scale(s.base2, 1.25);
        cairo_set_source_rgb(c.cr, col.r, col.g, col.b);
        cairo_fill(c.cr);
    }
}

// One plate: fill, bevel, then a decoration chosen by the generator.
void plate(Canvas& c, double x, double y, double w, double h, const PanelStyle& s, Random& rnd) {
    double gap = weight(s), bevel = 1.5 * weight(s);
    Rgb shade = mix(s.base, s.base2, rnd.uniform());
    // Some light plates are a mid-grey shade between the seams and the base,
    // so that the panelling reads as blocks and not only as lines.
    if (s.light && rnd.uniform() < 0.2) shade = mix(s.seam, s.base, 0.45);
    rect(c.cr, x + gap, y + gap, w - 2 * gap, h - 2 * gap, shade);
    rect(c.cr, x + gap, y + gap, w - 2 * gap, bevel, scale(shade, 1.35));            // lit top edge
    rect(c.cr, x + gap, y + h - gap - bevel, w - 2 * gap, bevel, scale(shade, 0.6)); // shaded bottom
    int kind = int(rnd.next() % 5);
    if (w < 24 || h < 24) kind = 4;
    switch (kind) {
    case 0: vents(c, x, y, w, h, s); break;
    case 1: lamps(c, x, y, w, h, s, rnd); break;
    case 2: traces(c, x, y, w, h, s, rnd); break;
    case 3: rect(c.cr, x + 6, y + h * 0.4, w - 12, h * 0.2, s.lamp2, s.light ? 0.8 : 0.25); break;
    default: break;
    }
    rivets(c, x, y, w, h, s);
}

void split(Canvas& c, double x, double y, double w, double h, int depth, const PanelStyle& s,
           Random& rnd) {
    if (depth == 0 || (depth < 3 && rnd.uniform() < 0.25) || w < 30 || h < 30) {
        plate(c, x, y, w, h, s, rnd);
        return;
    }
    double k = std::round(rnd.range(0.3, 0.7) * 8) / 8;
    if (w >= h) {
        split(c, x, y, w * k, h, depth - 1, s, rnd);
        split(c, x + w * k, y, w * (1 - k), h, depth - 1, s, rnd);
    } else {
        split(c, x, y, w, h * k, depth - 1, s, rnd);
        split(c, x, y + h * k, w, h * (1 - k), depth - 1, s, rnd);
    }
}

Image techPanel(int size, const PanelStyle& s, int depth) {
    Canvas c(size);
    c.fill([&s](double, double) { return s.seam; });
    Random rnd(s.seed);
    split(c, 0, 0, size, size, depth, s, rnd);
    // Surface grime, tileable.
    uint32_t seed = s.seed;
    double amount = s.light ? 0.04 : 0.10;
    c.add([seed, amount](double u, double v) {
        double n = (fractalNoise(u, v, 8, 4, 0.5, seed) - 0.5) * amount;
        return Rgb{n, n, n};
    });
    return c.toImage(3);
}

} // namespace

Image paintBlock(int size, int) {
    return techPanel(size,
                     {{0.16, 0.17, 0.19},
                      {0.30, 0.31, 0.33},
                      {0.03, 0.03, 0.04},
                      {1.0, 0.55, 0.1},
                      {0.2, 0.8, 1.0},
                      101,
                      false},
                     4);
}

Image paintBlock2(int size, int) {
    return techPanel(size,
                     {{0.05, 0.10, 0.22},
                      {0.12, 0.20, 0.38},
                      {0.01, 0.02, 0.06},
                      {0.3, 0.75, 1.0},
                      {0.7, 0.9, 1.0},
                      202,
                      false},
                     5);
}

Image paintBlock3(int size, int) {
    return techPanel(size,
                     {{0.04, 0.16, 0.08},
                      {0.10, 0.28, 0.14},
                      {0.02, 0.05, 0.03},
                      {0.9, 0.85, 0.3},
                      {0.4, 1.0, 0.5},
                      303,
                      false},
                     5);
}

Image paintLightPanel(int size, int) {
    return techPanel(size,
                     {{0.84, 0.86, 0.89},
                      {0.96, 0.96, 0.97},
                      {0.36, 0.41, 0.50},
                      {0.30, 0.40, 0.55},
                      {0.52, 0.58, 0.68},
                      404,
                      true},
                     4);
}

Image paintLightTube(int size, int) {
    return techPanel(size,
                     {{0.88, 0.90, 0.93},
                      {0.98, 0.98, 0.99},
                      {0.38, 0.43, 0.53},
                      {0.70, 0.40, 0.20},
                      {0.46, 0.56, 0.70},
                      505,
                      true},
                     3);
}
