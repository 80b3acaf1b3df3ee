// Cairo surface helpers; see Canvas.h.
#include "Canvas.h"

#include <cstdio>

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "tools/common/OutputFile.h"

namespace {

const char* const fontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-ExtraLight.ttf",
};

FT_Library library = nullptr;
FT_Face faces[3] = {};
cairo_font_face_t* cairoFaces[3] = {};

// The face for `font`: from its file, or, when the file is missing, Cairo's
// own choice for the family (then the glyphs may differ between machines).
cairo_font_face_t* faceFor(Font font) {
    int i = int(font);
    if (cairoFaces[i]) return cairoFaces[i];
    if (!library && FT_Init_FreeType(&library) != 0) library = nullptr;
    if (library && FT_New_Face(library, fontFiles[i], 0, &faces[i]) == 0) {
        cairoFaces[i] = cairo_ft_font_face_create_for_ft_face(faces[i], 0);
    } else {
        std::fprintf(stderr, "assetgen: %s: cannot be opened; using the system's DejaVu Sans\n",
                     fontFiles[i]);
        cairoFaces[i] = cairo_toy_font_face_create("DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                                                   font == Font::SansBold ? CAIRO_FONT_WEIGHT_BOLD
                                                                          : CAIRO_FONT_WEIGHT_NORMAL);
    }
    return cairoFaces[i];
}

} // namespace

void releaseFonts() {
    for (int i = 0; i < 3; ++i) {
        if (cairoFaces[i]) cairo_font_face_destroy(cairoFaces[i]);
        cairoFaces[i] = nullptr;
        if (faces[i]) FT_Done_Face(faces[i]);
        faces[i] = nullptr;
    }
    if (library) FT_Done_FreeType(library);
    library = nullptr;
}

Canvas::Canvas(int w, int h) : size(w), height(h) {
    surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
}

Canvas::~Canvas() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

uint32_t* Canvas::row(int y) {
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    return reinterpret_cast<uint32_t*>(data + size_t(y) * cairo_image_surface_get_stride(surface));
}

void Canvas::markDirty() {
    cairo_surface_mark_dirty(surface);
}

std::string Canvas::writePng(const std::string& path) {
    return writeSurfacePng(surface, path);
}

cairo_status_t writeToOutputFile(void* file, const unsigned char* data, unsigned int length) {
    return static_cast<OutputFile*>(file)->write(data, length) ? CAIRO_STATUS_SUCCESS
                                                               : CAIRO_STATUS_WRITE_ERROR;
}

std::string writeSurfacePng(cairo_surface_t* surface, const std::string& path) {
    cairo_surface_flush(surface);
    OutputFile out(path);
    if (out.stream() &&
        cairo_surface_write_to_png_stream(surface, writeToOutputFile, &out) != CAIRO_STATUS_SUCCESS)
        out.fail();
    return out.commit();
}

void Canvas::fill(const std::function<Rgb(double, double)>& f) {
    apply(f, false);
}

void Canvas::add(const std::function<Rgb(double, double)>& f) {
    apply(f, true);
}

void Canvas::apply(const std::function<Rgb(double, double)>& f, bool onTop) {
    for (int y = 0; y < height; ++y) {
        uint32_t* line = row(y);
        for (int x = 0; x < size; ++x) {
            Rgb c = f((x + 0.5) / size, (y + 0.5) / height);
            if (onTop) {
                uint32_t p = line[x];
                c = {uint8_t(p >> 16) / 255.0 + c.r, uint8_t(p >> 8) / 255.0 + c.g,
                     uint8_t(p) / 255.0 + c.b};
            }
            line[x] = 0xff000000u | uint32_t(toByte(c.r)) << 16 | uint32_t(toByte(c.g)) << 8 |
                      toByte(c.b);
        }
    }
    markDirty();
}

void Canvas::additive() {
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
}

void Canvas::glowStroke(Rgb c, double width, double strength) {
    cairo_operator_t op = cairo_get_operator(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    // Halo: widening strokes of falling strength, then the core.
    const double widths[] = {8.0, 4.5, 2.5, 1.0};
    const double alphas[] = {0.06, 0.10, 0.18, 0.9};
    for (int i = 0; i < 4; ++i) {
        double w = width * widths[i];
        double a = alphas[i] * strength;
        double k = i == 3 ? 1.0 : 0.0; // the core goes towards white
        cairo_set_source_rgba(cr, c.r + (1 - c.r) * 0.6 * k, c.g + (1 - c.g) * 0.6 * k,
                              c.b + (1 - c.b) * 0.6 * k, a > 1 ? 1 : a);
        cairo_set_line_width(cr, w);
        cairo_stroke_preserve(cr);
    }
    cairo_new_path(cr);
    cairo_set_operator(cr, op);
}

void Canvas::useFont(double px, Font font) {
    cairo_set_font_face(cr, faceFor(font));
    cairo_set_font_size(cr, px);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double Canvas::textWidth(const char* s, double px, Font font) {
    useFont(px, font);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s, &e);
    return e.x_advance;
}

void Canvas::text(const char* s, double x, double y, double px, Font font, Rgb c) {
    useFont(px, font);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s, &e);
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_move_to(cr, x - e.x_advance / 2, y + px * 0.36);
    cairo_show_text(cr, s);
    cairo_surface_flush(surface);
}

Image Canvas::toImage(int channels) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    Image out(size, size, channels);
    for (int y = 0; y < size; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < size; ++x) {
            uint32_t p = row[x];
            uint8_t r = uint8_t(p >> 16), g = uint8_t(p >> 8), b = uint8_t(p);
            uint8_t* o = out.at(x, y);
            if (channels == 1) {
                o[0] = uint8_t((r + g + b) / 3);
            } else {
                o[0] = r;
                o[1] = g;
                o[2] = b;
            }
        }
    }
    return out;
}
