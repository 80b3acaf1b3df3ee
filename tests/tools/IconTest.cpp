// The application icon the build draws into build/icons: square PNGs of the
// installed sizes with a transparent outside, an opaque tile and a bright
// centre, an SVG of pure vectors, and the same bytes on every run.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/Process.h"
#include "tests/support/TestMp3.h"

namespace {

using testsupport::readFile;

const std::string kIcons = DEMO_BINARY_DIR "/icons";

TEST(Icon, PngsAreTransparentOutsideAnOpaqueTileWithABrightCentre) {
    for (int side : {256, 48}) {
        cairo_surface_t* png = cairo_image_surface_create_from_png(
            (kIcons + "/icon-" + std::to_string(side) + ".png").c_str());
        ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
        ASSERT_EQ(cairo_image_surface_get_format(png), CAIRO_FORMAT_ARGB32);
        ASSERT_EQ(cairo_image_surface_get_width(png), side);
        ASSERT_EQ(cairo_image_surface_get_height(png), side);
        // Premultiplied 0xAARRGGBB.
        auto at = [&](int x, int y) {
            const unsigned char* row =
                cairo_image_surface_get_data(png) + y * cairo_image_surface_get_stride(png);
            return reinterpret_cast<const uint32_t*>(row)[x];
        };
        const int last = side - 1, mid = side / 2, edge = side / 10;
        for (int corner : {0, last})
            EXPECT_EQ(at(corner, 0) >> 24 | at(0, corner) >> 24 | at(corner, last) >> 24, 0u) << side;
        for (auto [x, y] : {std::pair(mid, edge), std::pair(edge, mid), std::pair(mid, last - edge)})
            EXPECT_EQ(at(x, y) >> 24, 255u) << side << " px, tile at " << x << "," << y;
        const uint32_t centre = at(mid, mid);
        EXPECT_GT(((centre >> 16) & 255) + ((centre >> 8) & 255) + (centre & 255), 600u) << side;
        cairo_surface_destroy(png);
    }
}

TEST(Icon, SvgIsVectorsOnASquareOf256Units) {
    std::string svg = readFile(kIcons + "/icon.svg");
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
    for (const char* name : {"icon-256.png", "icon-48.png", "icon.svg"})
        EXPECT_TRUE(readFile(kIcons + "/" + name) == readFile(dir + "/" + name)) << name << " differs";
    std::filesystem::remove_all(dir);
}

} // namespace
