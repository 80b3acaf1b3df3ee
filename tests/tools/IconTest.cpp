// The application icon the build draws into build/icons: square PNGs of the
// installed sizes with a transparent outside, an opaque tile and a bright
// centre, the same picture at both sizes, an SVG of pure vectors, and the
// same bytes on every run.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/TestMp3.h"

namespace {

const std::string kIcons = DEMO_BINARY_DIR "/icons";

// An ARGB32 PNG read with Cairo; pixels premultiplied, 0xAARRGGBB.
struct Png {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
    int alpha(int x, int y) const { return int(at(x, y) >> 24); }
    int luma(int x, int y) const {
        uint32_t p = at(x, y);
        return int(((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255)) / 3;
    }
};

Png readPng(const std::string& path) {
    Png png;
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS &&
        cairo_image_surface_get_format(s) == CAIRO_FORMAT_ARGB32) {
        png.width = cairo_image_surface_get_width(s);
        png.height = cairo_image_surface_get_height(s);
        const unsigned char* data = cairo_image_surface_get_data(s);
        int stride = cairo_image_surface_get_stride(s);
        for (int y = 0; y < png.height; ++y) {
            const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
            png.pixels.insert(png.pixels.end(), row, row + png.width);
        }
    }
    cairo_surface_destroy(s);
    return png;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Icon, PngsAreTransparentOutsideAnOpaqueTileWithABrightCentre) {
    for (int side : {256, 48}) {
        Png png = readPng(kIcons + "/icon-" + std::to_string(side) + ".png");
        ASSERT_EQ(png.width, side) << "an ARGB PNG of " << side << " pixels";
        ASSERT_EQ(png.height, side);
        const int last = side - 1, mid = side / 2;
        const std::pair<int, int> corners[] = {{0, 0}, {last, 0}, {0, last}, {last, last}};
        for (auto [x, y] : corners)
            EXPECT_EQ(png.alpha(x, y), 0) << side << " px, corner " << x << "," << y;
        const std::pair<int, int> tile[] = {{mid, side / 10}, {side / 10, mid}, {mid, last - side / 10}};
        for (auto [x, y] : tile)
            EXPECT_EQ(png.alpha(x, y), 255) << side << " px, tile at " << x << "," << y;
        EXPECT_GT(png.luma(mid, mid), 200) << side << " px: the flare at the centre";
    }
}

TEST(Icon, BothSizesShowTheSamePicture) {
    Png large = readPng(kIcons + "/icon-256.png"), small = readPng(kIcons + "/icon-48.png");
    ASSERT_EQ(large.width, 256);
    ASSERT_EQ(small.width, 48);
    // The large icon's mean over the footprint of each small pixel.
    double totalError = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 48; ++x) {
            int x0 = x * 256 / 48, x1 = (x + 1) * 256 / 48, y0 = y * 256 / 48, y1 = (y + 1) * 256 / 48;
            double sum = 0;
            for (int v = y0; v < y1; ++v)
                for (int u = x0; u < x1; ++u) sum += large.luma(u, v);
            totalError += std::fabs(sum / ((x1 - x0) * (y1 - y0)) - small.luma(x, y));
        }
    }
    EXPECT_LT(totalError / (48 * 48), 12.0) << "mean difference in grey levels";
}

TEST(Icon, SvgIsVectorsOnASquareOf256Units) {
    std::string svg = readText(kIcons + "/icon.svg");
    if (svg.empty()) GTEST_SKIP() << "this Cairo has no SVG surface";
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("viewBox=\"0 0 256 256\""), std::string::npos);
    EXPECT_NE(svg.find("radialGradient"), std::string::npos);
    EXPECT_EQ(svg.find("<image"), std::string::npos) << "Cairo fell back to a bitmap";
}

TEST(Icon, GeneratorWritesTheSameBytesOnEveryRun) {
    std::string dir = testsupport::makeTempDir();
    std::string command = DEMO_BINARY_DIR "/assetgen --icons " + dir;
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const char* name : {"icon-256.png", "icon-48.png", "icon.svg"}) {
        std::string built = readText(kIcons + "/" + name), again = readText(dir + "/" + name);
        EXPECT_TRUE(built == again) << name << " differs between runs";
    }
    std::filesystem::remove_all(dir);
}

} // namespace
