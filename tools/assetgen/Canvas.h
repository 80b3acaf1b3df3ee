// A square Cairo drawing surface with helpers for the texture painters:
// per-pixel fills, additive glowing strokes, text in the DejaVu fonts loaded
// from their files (not through fontconfig, so every machine draws the same
// glyphs), and conversion to an Image. Limits: opaque RGB output only; the
// alpha of the surface is ignored when converting.
#pragma once

#include <functional>
#include <string>

#include <cairo.h>

#include "Image.h"

// Writes `surface` as a PNG file, checked (tools/common/OutputFile). Returns
// "", or the problem naming the file and the reason.
std::string writeSurfacePng(cairo_surface_t* surface, const std::string& path);
// Cairo's write function for its stream outputs, the closure an OutputFile.
cairo_status_t writeToOutputFile(void* file, const unsigned char* data, unsigned int length);

struct Rgb {
    double r, g, b; // 0..1, values above 1 clip
};

enum class Font { Sans, SansBold, SansLight };

class Canvas {
public:
    explicit Canvas(int size) : Canvas(size, size) {}
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Sets every pixel from f(u, v), u and v the pixel centre in 0..1.
    void fill(const std::function<Rgb(double u, double v)>& f);
    // Adds f(u, v) onto every pixel (clipping at 1).
    void add(const std::function<Rgb(double u, double v)>& f);
    // Starts an additive stroke style: following strokes add light.
    void additive();
    // Strokes the current path as a glowing line: a wide faint halo and a
    // thin bright core in colour c, `width` the core width in pixels.
    void glowStroke(Rgb c, double width, double strength);
    // Text centred at (x, y) in pixels, `px` the font size.
    void text(const char* s, double x, double y, double px, Font font, Rgb c);
    // Width in pixels of s at size px.
    double textWidth(const char* s, double px, Font font);

    // Direct pixel access (0xffRRGGBB); call markDirty() after writing.
    uint32_t* row(int y);
    void markDirty();
    // Writes the picture as a PNG. Returns "", or the problem naming the
    // file and the reason, with no file left under the name.
    std::string writePng(const std::string& path);

    Image toImage(int channels);

    cairo_t* cr;
    int size; // the width; square canvases are size × size
    int height;

private:
    cairo_surface_t* surface;
    void useFont(double px, Font font);
    void apply(const std::function<Rgb(double u, double v)>& f, bool onTop);
};

// Releases the fonts loaded by Canvas::text (call once at exit). The fonts
// are shared: only one thread may draw text.
void releaseFonts();
