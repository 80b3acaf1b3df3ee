// The texture store on a real headless GL context: the name cache, indices,
// filters, internal formats, alpha from masks, row order, messages for
// missing and damaged files, and the limits.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/GL.h"
#include "render/Texture.h"
#include "tests/support/GlContext.h"
#include "tests/support/JpegBuilder.h"
#include "tests/support/LibJpeg.h"

namespace {

// A GL context and a scratch working directory holding "Textures/".
class TextureStore : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        char pattern[] = "/tmp/texture-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(folder.c_str()), 0);
        ASSERT_EQ(system("mkdir Textures"), 0);
    }
    void TearDown() override {
        if (chdir(previous) == 0) system(("rm -rf " + folder).c_str());
    }

    void write(const std::string& name, const std::vector<uint8_t>& bytes) {
        FILE* f = fopen(("Textures/" + name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }

    // An RGB picture whose top line is white and the rest black.
    void writeTopLine(const std::string& name, int width, int height) {
        testsupport::RgbImage image;
        image.width = width;
        image.height = height;
        image.pixels.assign(size_t(width) * height * 3, 0);
        for (int x = 0; x < width * 3; x++) image.pixels[x] = 255;
        testsupport::JpegEncodeOptions options;
        options.quality = 100;
        options.hSamp = options.vSamp = 1;
        write(name, testsupport::encodeJpeg(image, options));
    }

    void writeGrey(const std::string& name, int width, int height, int level) {
        testsupport::RgbImage image;
        image.width = width;
        image.height = height;
        image.components = 1;
        image.pixels.assign(size_t(width) * height, uint8_t(level));
        testsupport::JpegEncodeOptions options;
        options.quality = 100;
        write(name, testsupport::encodeJpeg(image, options));
    }

    int level(GLenum parameter) {
        GLint value = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
        return value;
    }

    int parameter(GLenum name) {
        GLint value = -1;
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    }

    testsupport::GlContext gl;
    std::string folder;
    char previous[4096];
};

TEST_F(TextureStore, SameColourNameReturnsTheFirstIndexWithOrWithoutMask) {
    writeTopLine("a.jpg", 8, 8);
    writeGrey("m.jpg", 8, 8, 100);
    Texture t;
    t.empty(8, GL_LINEAR); // the show's two work textures come first
    t.empty(8, GL_LINEAR);
    unsigned first = t.load("a.jpg", GL_LINEAR);
    unsigned second = t.load("b.jpg", GL_LINEAR); // missing: cached all the same
    EXPECT_EQ(t.load("a.jpg", GL_LINEAR), first);
    EXPECT_EQ(t.load("a.jpg", "m.jpg", GL_LINEAR), first);
    EXPECT_EQ(t.load("b.jpg", GL_LINEAR), second);
    EXPECT_EQ(t.count, 4u);
}

TEST_F(TextureStore, NamesDifferingOnlyInCaseAreDifferentEntries) {
    writeTopLine("a.jpg", 8, 8);
    writeTopLine("A.jpg", 8, 8);
    Texture t;
    t.empty(8, GL_LINEAR);
    t.empty(8, GL_LINEAR);
    EXPECT_NE(t.load("a.jpg", GL_LINEAR), t.load("A.jpg", GL_LINEAR));
}

TEST_F(TextureStore, UpperCaseJpgIsDecodedOtherEndingsGetNoImage) {
    writeTopLine("UP.JPG", 16, 8);
    writeTopLine("pic.png", 16, 8);
    Texture t;
    t.bind(t.load("UP.JPG", GL_LINEAR));
    EXPECT_EQ(level(GL_TEXTURE_WIDTH), 16);
    unsigned png = t.load("pic.png", GL_LINEAR);
    EXPECT_EQ(png, 1u);
    t.bind(png);
    EXPECT_EQ(level(GL_TEXTURE_WIDTH), 0);
}

TEST_F(TextureStore, AfterTheTwoWorkTexturesTheFirstFileGetsIndexTwo) {
    writeTopLine("a.jpg", 8, 8);
    Texture t;
    EXPECT_EQ(t.empty(128, GL_LINEAR), 0u);
    EXPECT_EQ(t.empty(128, GL_LINEAR), 1u);
    EXPECT_EQ(t.load("a.jpg", GL_LINEAR), 2u);
    EXPECT_STREQ(t.names[2], "a.jpg");
    EXPECT_STREQ(t.names[0], "");
    EXPECT_STREQ(t.names[1], "");
}

TEST_F(TextureStore, AnEmptyTextureIsNeverReturnedByTheNameCache) {
    writeTopLine("a.jpg", 8, 8);
    Texture t;
    t.load("a.jpg", GL_LINEAR); // index 0, its name kept in entry 1
    unsigned work = t.empty(8, GL_LINEAR);
    EXPECT_NE(t.load("a.jpg", GL_LINEAR), work);
}

TEST_F(TextureStore, FiltersFollowTheFilterArgumentOrTheMipmapRequest) {
    writeTopLine("a.jpg", 16, 16);
    writeTopLine("b.jpg", 16, 16);
    Texture t;
    t.bind(t.load("a.jpg", GL_LINEAR));
    EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    t.bind(t.load("b.jpg", Texture::mipmapRequest));
    EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 4, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 1); // the whole chain down to 1 x 1
    t.bind(t.empty(32, Texture::mipmapRequest));
    EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
}

TEST_F(TextureStore, ColourOnlyIsStoredAsRgbAndMaskedAsRgba8WithMaskAlpha) {
    writeTopLine("c.jpg", 8, 8);
    writeGrey("m.jpg", 8, 8, 90);
    Texture t;
    t.bind(t.load("c.jpg", GL_LINEAR));
    int format = level(GL_TEXTURE_INTERNAL_FORMAT);
    EXPECT_TRUE(format == 3 || format == GL_RGB) << format; // "3 components", as passed
    EXPECT_EQ(level(GL_TEXTURE_ALPHA_SIZE), 0);
    t.bind(t.load("d.jpg", "m.jpg", GL_LINEAR)); // d.jpg missing: nothing uploaded
    EXPECT_EQ(level(GL_TEXTURE_WIDTH), 0);
    writeTopLine("d.jpg", 8, 8);
    t.bind(t.load("e.jpg", "m.jpg", GL_LINEAR));
    EXPECT_EQ(level(GL_TEXTURE_WIDTH), 0);
    Texture fresh;
    fresh.bind(fresh.load("d.jpg", "m.jpg", GL_LINEAR));
    EXPECT_EQ(level(GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
    std::vector<uint8_t> rgba(8 * 8 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    EXPECT_NEAR(rgba[3], 90, 1); // libjpeg's grey 90 may come back one lower
}

TEST_F(TextureStore, TheFilesTopLineIsTheFirstRowOfTheTexture) {
    writeTopLine("top.jpg", 16, 16);
    Texture t;
    t.bind(t.load("top.jpg", GL_LINEAR));
    std::vector<uint8_t> rgb(16 * 16 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    EXPECT_GT(rgb[0], 200);
    EXPECT_LT(rgb[15 * 16 * 3], 60);
}

TEST_F(TextureStore, MissingFileShowsItsMessageAndLoadingGoesOn) {
    writeTopLine("next.jpg", 8, 8);
    Texture t;
    testing::internal::CaptureStderr();
    unsigned missing = t.load("missing.jpg", GL_LINEAR);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("File Textures/missing.jpg not found!"), std::string::npos) << said;
    EXPECT_EQ(missing, 0u);
    EXPECT_EQ(t.load("next.jpg", GL_LINEAR), 1u);
}

TEST_F(TextureStore, DamagedFileIsNamedOnStderrAndStillUploaded) {
    std::vector<uint8_t> progressive = {0xFF, 0xD8, 0xFF, 0xC2, 0x00, 0x0B, 8, 0,
                                        8,    0,    8,    1,    1,    0x11, 0};
    write("prog.jpg", progressive);
    Texture t;
    testing::internal::CaptureStderr();
    EXPECT_EQ(t.loadJpg("Textures/prog.jpg", GL_LINEAR), 1);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Textures/prog.jpg: progressive JPEG is not supported"), std::string::npos)
        << said;
    EXPECT_EQ(t.loadJpg("Textures/none.jpg", GL_LINEAR), 0);
}

TEST_F(TextureStore, CallsBeyondTheLimitsAreRefusedWithAMessage) {
    Texture t;
    std::string longName(247, 'x');
    testing::internal::CaptureStderr();
    EXPECT_EQ(t.load(longName.c_str(), GL_LINEAR), Texture::refused);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("at most 246"), std::string::npos);
    EXPECT_EQ(t.count, 0u);
    for (unsigned i = 0; i < Texture::maxTextures; i++) t.empty(1, GL_LINEAR);
    testing::internal::CaptureStderr();
    EXPECT_EQ(t.empty(1, GL_LINEAR), Texture::refused);
    EXPECT_EQ(t.load("more.jpg", GL_LINEAR), Texture::refused);
    said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Texture store full"), std::string::npos);
    t.bind(Texture::refused);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
}

TEST_F(TextureStore, UnusedOperationsClampUnbindAndMakeTheRamp) {
    writeTopLine("a.jpg", 8, 8);
    Texture t;
    t.bind(t.loadClamped("a.jpg", GL_LINEAR));
    EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(parameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    t.unbind();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    t.load1D();
    EXPECT_EQ(t.index1D, 1);
    t.bind1D();
    float ramp[32 * 3];
    glGetTexImage(GL_TEXTURE_1D, 0, GL_RGB, GL_FLOAT, ramp);
    EXPECT_NEAR(ramp[3 * 3], 0.2f, 0.01f); // stored with 8 bits a channel
    EXPECT_NEAR(ramp[3 * 4 + 1], 0.5f, 0.01f);
    EXPECT_NEAR(ramp[3 * 13], 0.5f, 0.01f);
    EXPECT_NEAR(ramp[3 * 14 + 2], 1.0f, 0.01f);
    glDisable(GL_TEXTURE_1D);
}

} // namespace

TEST_F(TextureStore, PictureLargerThanTheDriverTakesIsHalvedUntilItFitsWithOneLine) {
    writeTopLine("big.jpg", 100, 60);
    setenv("DEMO_TEST_REFUSE", "GL_MAX_TEXTURE_SIZE=32", 1);
    Texture t;
    testing::internal::CaptureStderr();
    unsigned index = t.load("big.jpg", GL_LINEAR);
    std::string said = testing::internal::GetCapturedStderr();
    unsetenv("DEMO_TEST_REFUSE");
    EXPECT_NE(said.find("Textures/big.jpg: 100 x 60 is larger than this driver's textures (at "
                        "most 32 a side); uploaded at 25 x 15"),
              std::string::npos)
        << said;
    t.bind(index);
    ASSERT_EQ(level(GL_TEXTURE_WIDTH), 25);
    ASSERT_EQ(level(GL_TEXTURE_HEIGHT), 15);
    // Each texel is the mean of 4 x 4 pixels: the white top line weighs a quarter.
    std::vector<uint8_t> rgb(25 * 15 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    EXPECT_NEAR(rgb[3 * 12], 64, 16);
    EXPECT_LT(rgb[3 * (25 * 5 + 12)], 8);
}
