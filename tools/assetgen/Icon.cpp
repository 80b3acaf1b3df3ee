// The application icon; see Icon.h. The drawing works in a unit square
// scaled to the output size: every length below is a fraction of the side.
#include "Icon.h"

#include <cmath>

#include <cairo.h>
#if CAIRO_HAS_SVG_SURFACE
#include <cairo-svg.h>
#endif

#include "Canvas.h"
#include "tools/common/OutputFile.h"

namespace {

const double kPi = 3.14159265358979323846;
const int kRings = 6;          // hexagons from the rim to the vanishing point
const double kRingScale = 0.7; // each hexagon's radius over the one outside it
const double kTwistDeg = 9.0;  // rotation of each hexagon against the one outside it

void roundedTile(cairo_t* cr) {
    const double inset = 0.04, r = 0.18, a = inset, b = 1.0 - inset;
    cairo_new_path(cr);
    cairo_arc(cr, b - r, a + r, r, -kPi / 2, 0);
    cairo_arc(cr, b - r, b - r, r, 0, kPi / 2);
    cairo_arc(cr, a + r, b - r, r, kPi / 2, kPi);
    cairo_arc(cr, a + r, a + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void hexagon(cairo_t* cr, double radius, double turnDeg) {
    cairo_new_path(cr);
    for (int k = 0; k < 6; ++k) {
        double angle = (turnDeg + 60.0 * k + 30.0) * kPi / 180.0;
        cairo_line_to(cr, 0.5 + radius * std::cos(angle), 0.5 + radius * std::sin(angle));
    }
    cairo_close_path(cr);
}

// A dark violet tile, lighter at the centre, with a faint rim.
void drawTile(cairo_t* cr) {
    roundedTile(cr);
    cairo_pattern_t* fill = cairo_pattern_create_radial(0.5, 0.5, 0.0, 0.5, 0.5, 0.62);
    cairo_pattern_add_color_stop_rgb(fill, 0.0, 0.16, 0.08, 0.30);
    cairo_pattern_add_color_stop_rgb(fill, 1.0, 0.02, 0.01, 0.06);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    cairo_set_source_rgba(cr, 0.55, 0.75, 1.0, 0.35);
    cairo_set_line_width(cr, 0.012);
    cairo_stroke(cr);
}

// Hexagons shrinking towards the centre, cyan at the rim to magenta deep
// inside, each a wide faint halo under a thin bright line.
void drawTunnel(cairo_t* cr) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    double radius = 0.42;
    for (int i = 0; i < kRings; ++i) {
        double t = double(i) / (kRings - 1); // 0 at the rim, 1 innermost
        double red = 0.25 + 0.75 * t, green = 0.9 - 0.6 * t, blue = 1.0 - 0.2 * t;
        double width = 0.045 * radius / 0.42 + 0.008;
        hexagon(cr, radius, kTwistDeg * i);
        cairo_set_source_rgba(cr, red, green, blue, 0.22);
        cairo_set_line_width(cr, width * 3.0);
        cairo_stroke_preserve(cr);
        cairo_set_source_rgba(cr, 0.5 + 0.5 * red, 0.5 + 0.5 * green, 0.5 + 0.5 * blue, 0.95);
        cairo_set_line_width(cr, width);
        cairo_stroke(cr);
        radius *= kRingScale;
    }
}

// A white flare at the vanishing point.
void drawFlare(cairo_t* cr) {
    cairo_pattern_t* flare = cairo_pattern_create_radial(0.5, 0.5, 0.0, 0.5, 0.5, 0.16);
    cairo_pattern_add_color_stop_rgba(flare, 0.0, 1.0, 1.0, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgba(flare, 0.3, 1.0, 0.85, 1.0, 0.6);
    cairo_pattern_add_color_stop_rgba(flare, 1.0, 1.0, 0.6, 1.0, 0.0);
    cairo_set_source(cr, flare);
    cairo_arc(cr, 0.5, 0.5, 0.16, 0.0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(flare);
}

// Draws the icon onto a surface `side` units wide and high.
void drawIcon(cairo_surface_t* surface, double side) {
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, side, side);
    drawTile(cr);
    roundedTile(cr);
    cairo_clip(cr);
    drawTunnel(cr);
    drawFlare(cr);
    cairo_destroy(cr);
}

std::string writePng(const std::string& path, int side) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side, side);
    drawIcon(surface, side);
    const std::string problem = writeSurfacePng(surface, path);
    cairo_surface_destroy(surface);
    return problem;
}

std::string writeSvg(const std::string& path) {
#if CAIRO_HAS_SVG_SURFACE
    const double side = 256.0;
    OutputFile out(path);
    if (!out.stream()) return out.error();
    cairo_surface_t* surface = cairo_svg_surface_create_for_stream(writeToOutputFile, &out, side, side);
    drawIcon(surface, side);
    cairo_surface_finish(surface);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) out.fail();
    cairo_surface_destroy(surface);
    return out.commit();
#else
    (void)path;
    return "";
#endif
}

} // namespace

std::string writeIcons(const std::string& dir) {
    const std::string problems[] = {writePng(dir + "/icon-256.png", 256),
                                    writePng(dir + "/icon-48.png", 48), writeSvg(dir + "/icon.svg")};
    for (const std::string& problem : problems)
        if (!problem.empty()) return problem;
    return "";
}
