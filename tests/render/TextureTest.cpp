// The texture store on a real headless context, as the show loads its
// images: the name cache, what is uploaded (format, alpha, row order,
// filters), the messages for missing and damaged files, and the limits.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/GL.h"
#include "render/Texture.h"
#include "tests/support/GlContext.h"
#include "tools/common/LibJpeg.h"

namespace {

// A GL context and a scratch working directory holding "Textures/".
class TextureStore : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        char pattern[] = "/tmp/texture-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        std::filesystem::current_path(folder);
        std::filesystem::create_directory("Textures");
        for (const char* name : {"a.jpg", "A.jpg", "UP.JPG", "pic.png"}) write(name, 16, 255);
        write("m.jpg", 16, 90, 90, 1);
        // A progressive frame header: its message names the file.
        write("prog.jpg", {0xFF, 0xD8, 0xFF, 0xC2, 0x00, 0x0B, 8, 0, 8, 0, 8, 1, 1, 0x11, 0});
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    static void write(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream("Textures/" + name, std::ios::binary)
            .write((const char*)bytes.data(), long(bytes.size()));
    }
    // A picture with a top line of `top` and the rest `rest`: RGB, or grey
    // (a mask) with one component.
    static void write(const std::string& name, int size, int top, int rest = 0, int components = 3) {
        libjpeg::RgbImage image{size, size, components,
                                std::vector<uint8_t>(size * size * components, rest)};
        std::fill_n(image.pixels.begin(), size * components, uint8_t(top));
        libjpeg::JpegEncodeOptions options;
        options.quality = 100;
        options.hSamp = options.vSamp = 1;
        write(name, libjpeg::encodeJpeg(image, options));
    }
    // A parameter of the bound texture, or of its mipmap `level`.
    static int get(GLenum name, int level = -1) {
        GLint value = -1;
        if (level < 0) glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        else glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
        return value;
    }
    // True when `call` writes `text` to stderr.
    static bool says(const std::function<void()>& call, const char* text) {
        testing::internal::CaptureStderr();
        call();
        return testing::internal::GetCapturedStderr().find(text) != std::string::npos;
    }
    testsupport::GlContext gl;
    std::string folder;
};

TEST_F(TextureStore, TheNameCacheReturnsTheFirstLoadOfAnImageName) {
    Texture t;
    EXPECT_EQ(t.empty(8, GL_LINEAR), 0u); // the glow's work textures come first
    EXPECT_EQ(t.empty(8, GL_LINEAR), 1u);
    EXPECT_EQ(t.load("a.jpg", GL_LINEAR), 2u);
    says([&] { EXPECT_EQ(t.load("b.jpg", GL_LINEAR), 3u); }, ""); // missing: cached all the same
    EXPECT_EQ(t.load("a.jpg", "m.jpg", GL_LINEAR), 2u);
    EXPECT_EQ(t.load("b.jpg", GL_LINEAR), 3u);
    EXPECT_EQ(t.load("A.jpg", GL_LINEAR), 4u); // names are case-sensitive
    EXPECT_EQ(t.count, 5u);
}

TEST_F(TextureStore, ImagesAreUploadedTopLineFirstAsRgbOrWithTheMasksGreyAsAlpha) {
    for (const auto& [name, mask, format] :
         {std::tuple{"a.jpg", "", GL_RGB}, std::tuple{"UP.JPG", "", GL_RGB},
          std::tuple{"a.jpg", "m.jpg", GL_RGBA8}}) {
        Texture t;
        t.bind(*mask ? t.load(name, mask, GL_LINEAR) : t.load(name, GL_LINEAR));
        const int stored = get(GL_TEXTURE_INTERNAL_FORMAT, 0);
        EXPECT_EQ(stored == 3 ? GL_RGB : stored, format) << name << " " << mask; // 3: "3 components"
        std::vector<uint8_t> rgba(16 * 16 * 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        EXPECT_GT(rgba[0], 200) << name;                   // the file's top line
        EXPECT_LT(rgba[15 * 16 * 4], 60) << name;          // its bottom line
        EXPECT_NEAR(rgba[3], *mask ? 90 : 255, 1) << name; // libjpeg's grey 90 may come back as 89
    }
    // Nothing is uploaded for another ending, a missing image or a missing mask.
    for (const auto& [name, mask] :
         {std::pair{"pic.png", ""}, std::pair{"none.jpg", "m.jpg"}, std::pair{"UP.JPG", "none.jpg"}}) {
        Texture t;
        says([&] { t.bind(*mask ? t.load(name, mask, GL_LINEAR) : t.load(name, GL_LINEAR)); }, "");
        EXPECT_EQ(get(GL_TEXTURE_WIDTH, 0), 0) << name << " " << mask;
    }
}

TEST_F(TextureStore, FiltersFollowTheArgumentOrBuildTheWholeMipmapChain) {
    for (const auto& [filter, min, mag] :
         {std::tuple{unsigned(GL_LINEAR), GL_LINEAR, GL_LINEAR},
          std::tuple{Texture::mipmapRequest, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR}}) {
        Texture t;
        for (unsigned index : {t.load("a.jpg", filter), t.empty(32, filter)}) {
            t.bind(index);
            EXPECT_EQ(get(GL_TEXTURE_MIN_FILTER), min) << filter;
            EXPECT_EQ(get(GL_TEXTURE_MAG_FILTER), mag) << filter;
        }
        t.bind(0); // 16 x 16: level 4 is 1 x 1 when the chain was built
        EXPECT_EQ(get(GL_TEXTURE_WIDTH, 4), filter == Texture::mipmapRequest ? 1 : 0);
    }
}

TEST_F(TextureStore, MissingAndDamagedFilesAndCallsBeyondTheLimitsAreNamedOnStderr) {
    Texture t;
    EXPECT_TRUE(says([&] { EXPECT_EQ(t.load("missing.jpg", GL_LINEAR), 0u); },
                     "File Textures/missing.jpg not found!"));
    EXPECT_EQ(t.load("a.jpg", GL_LINEAR), 1u);
    EXPECT_TRUE(says([&] { EXPECT_EQ(t.loadJpg("Textures/prog.jpg", GL_LINEAR), 1); },
                     "Textures/prog.jpg: progressive JPEG is not supported"));
    says([&] { EXPECT_EQ(t.loadJpg("Textures/none.jpg", GL_LINEAR), 0); }, "");
    const std::string longName(247, 'x');
    EXPECT_TRUE(
        says([&] { EXPECT_EQ(t.load(longName.c_str(), GL_LINEAR), Texture::refused); }, "at most 246"));
    EXPECT_EQ(t.count, 2u);
    while (t.count < Texture::maxTextures) t.empty(1, GL_LINEAR);
    EXPECT_TRUE(says(
        [&] {
            EXPECT_EQ(t.empty(1, GL_LINEAR), Texture::refused);
            EXPECT_EQ(t.load("more.jpg", GL_LINEAR), Texture::refused);
        },
        "Texture store full"));
    t.bind(Texture::refused);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
}

} // namespace

TEST_F(TextureStore, PictureLargerThanTheDriverTakesIsHalvedUntilItFitsWithOneLine) {
    write("big.jpg", 100, 255);
    setenv("DEMO_TEST_REFUSE", "GL_MAX_TEXTURE_SIZE=32", 1);
    Texture t;
    unsigned index = 0;
    EXPECT_TRUE(says([&] { index = t.load("big.jpg", GL_LINEAR); },
                     "Textures/big.jpg: 100 x 100 is larger than this driver's textures (at most "
                     "32 a side); uploaded at 25 x 25"));
    unsetenv("DEMO_TEST_REFUSE");
    t.bind(index);
    ASSERT_EQ(get(GL_TEXTURE_WIDTH, 0), 25);
    ASSERT_EQ(get(GL_TEXTURE_HEIGHT, 0), 25);
    // Each texel is the mean of 4 x 4 pixels: the white top line weighs a quarter.
    std::vector<uint8_t> rgb(25 * 25 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    EXPECT_NEAR(rgb[3 * 12], 64, 16);
    EXPECT_LT(rgb[3 * (25 * 5 + 12)], 8);
}
