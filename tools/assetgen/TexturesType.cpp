// Type: the eight greetings (invented names; the mask carries the letters
// plus a soft halo, the colour image a gradient fill over a dark halo) and
// the closing card (dark type on white). Text is drawn with the DejaVu fonts
// from their files, so the glyphs are the same on every machine.
#include <algorithm>
#include <cmath>

#include "Shade.h"
#include "TextureSet.h"

namespace {

struct Greeting {
    const char* caption;
    const char* line1;
    const char* line2;
    Rgb top, bottom; // fill gradient
};

// Invented names: none belongs to a real person or group.
const Greeting greetings[8] = {
    {"greetings to", "QUIET", "LANTERN", {1.0, 0.95, 0.8}, {1.0, 0.55, 0.15}},
    {"hello", "PAPER", "ORBIT", {0.85, 0.95, 1.0}, {0.25, 0.6, 1.0}},
    {"respect to", "VELVET", "MODEM", {1.0, 0.85, 0.95}, {0.85, 0.25, 0.65}},
    {"cheers", "TIN", "HARBOUR", {0.9, 1.0, 0.9}, {0.25, 0.85, 0.45}},
    {"waves to", "COBALT", "FINCH", {0.85, 0.9, 1.0}, {0.35, 0.35, 1.0}},
    {"hugs to", "MARBLE", "LOOP", {1.0, 1.0, 0.85}, {0.95, 0.8, 0.2}},
    {"salute", "HOLLOW", "TIDE", {0.85, 1.0, 1.0}, {0.15, 0.8, 0.85}},
    {"and", "SAFFRON", "GRID", {1.0, 0.9, 0.8}, {1.0, 0.35, 0.2}},
};

// Font size that makes s at most `width` pixels wide, capped at `px`.
double fit(Canvas& c, const char* s, double px, double width) {
    double w = c.textWidth(s, px, Font::SansBold);
    return w > width ? px * width / w : px;
}

// Letter coverage of greeting `number` (1..8): white type on black.
Image letters(int size, int number) {
    const Greeting& g = greetings[(number - 1) % 8];
    Canvas c(size);
    double s = size;
    c.text(g.caption, s / 2, s * 0.22, s * 0.075, Font::Sans, {1, 1, 1});
    double px = std::min(fit(c, g.line1, s * 0.2, s * 0.86), fit(c, g.line2, s * 0.2, s * 0.86));
    c.text(g.line1, s / 2, s * 0.44, px, Font::SansBold, {1, 1, 1});
    c.text(g.line2, s / 2, s * 0.66, px, Font::SansBold, {1, 1, 1});
    // An underline bar ties the name together.
    cairo_set_source_rgb(c.cr, 1, 1, 1);
    cairo_rectangle(c.cr, s * 0.3, s * 0.8, s * 0.4, s * 0.012);
    cairo_fill(c.cr);
    return c.toImage(1);
}

Image halo(const Image& type, int size) {
    Image h = type;
    blurGrey(h, std::max(2, size / 80));
    return h;
}

} // namespace

Image paintGreeting(int size, int number) {
    const Greeting& g = greetings[(number - 1) % 8];
    Image type = letters(size, number);
    Image out(size, size, 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double a = type.at(x, y)[0] / 255.0;
            Rgb fill = mix(g.top, g.bottom, smoothstep(0.3, 0.75, (y + 0.5) / size));
            Rgb c = mix(scale(g.bottom, 0.12), fill, a);
            uint8_t* p = out.at(x, y);
            p[0] = toByte(c.r);
            p[1] = toByte(c.g);
            p[2] = toByte(c.b);
        }
    return out;
}

// The letters at full opacity over a half-strength halo, so the names stay
// readable over the bright streaks behind them.
Image paintGreetingMask(int size, int number) {
    Image type = letters(size, number);
    Image h = halo(type, size);
    for (size_t i = 0; i < type.pixels.size(); ++i)
        type.pixels[i] = std::max(type.pixels[i], uint8_t(std::min(255, h.pixels[i] * 3 / 4)));
    return type;
}

// The closing card: title, a rule, credits and the thanks, dark on white.
Image paintEndText(int size, int) {
    Canvas c(size);
    double s = size;
    c.fill([](double, double v) { return mix(Rgb{1, 1, 1}, Rgb{0.93, 0.94, 0.96}, v); });
    const Rgb ink{0.08, 0.09, 0.12}, soft{0.35, 0.37, 0.42};
    c.text("DEMO", s / 2, s * 0.2, s * 0.2, Font::SansBold, ink);
    c.text("a real-time show in ten scenes", s / 2, s * 0.33, s * 0.042, Font::Sans, soft);
    cairo_set_source_rgb(c.cr, ink.r, ink.g, ink.b);
    cairo_rectangle(c.cr, s * 0.35, s * 0.405, s * 0.3, s * 0.006);
    cairo_fill(c.cr);
    const char* credits[] = {"code, geometry and effects", "pictures drawn by the generator",
                             "music synthesised note by note"};
    for (int i = 0; i < 3; ++i)
        c.text(credits[i], s / 2, s * (0.49 + 0.07 * i), s * 0.042, Font::Sans, soft);
    c.text("thanks for watching", s / 2, s * 0.82, s * 0.07, Font::SansBold, ink);
    return c.toImage(3);
}
