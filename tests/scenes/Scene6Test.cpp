// Scene 6: the fade in from white, the field's wrap, the focus-mask pass and
// the agreement of the small and full-size drawings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/Timeline.h"
#include "platform/GL.h"
#include "platform/RenderSize.h"
#include "render/Engine.h"
#include "scenes/Scene6.h"
#include "scenes/Scenes.h"
#include "tests/support/AssetFolder.h"
#include "tests/support/SceneFrames.h"
#include "tests/support/ShowRunner.h"

using namespace testsupport;

TEST(Scene6Test, WrapKeepsTheFractionAndStaysInsideTheField) {
    EXPECT_FLOAT_EQ(Scene6::wrapCell(120.5f), 0.5f);
    EXPECT_FLOAT_EQ(Scene6::wrapCell(119.75f), 119.75f);
    EXPECT_FLOAT_EQ(Scene6::wrapCell(250.25f), 10.25f);
    EXPECT_FLOAT_EQ(Scene6::wrapCell(0.0f), 0.0f);
    // Every cell of the field over the scene's whole span: 0 <= x, z < 120.
    for (int ms = 75000; ms < 99000; ms += 37) {
        const float t = float(ms);
        const float ox = 100.0f * sinf(t / 3000.0f) + 100.0f;
        const float oz = 150.0f * cosf(t / 2300.0f) + 150.0f;
        for (int i = 0; i < 10; i++) {
            for (int j = 0; j < 10; j++) {
                const float x = Scene6::wrapCell(12.0f * j + 6.0f * (i % 2) + ox);
                const float z = Scene6::wrapCell(12.0f * i + oz);
                ASSERT_GE(x, 0.0f);
                ASSERT_LT(x, Scene6::fieldSize);
                ASSERT_GE(z, 0.0f);
                ASSERT_LT(z, Scene6::fieldSize);
            }
        }
    }
}

TEST(Scene6Test, FadesInFromWhiteOverTwoSeconds) {
    ShowRunner show(assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    setShowTextureEnvironment();

    // 75,000 ms: the white quad at alpha 1 covers everything.
    EXPECT_GE(darkest(drawUpdate(scene6update, 75000)), 254);

    // 76,000 ms: half way between the picture and white.
    const std::vector<unsigned char> faded = drawUpdate(scene6update, 76000);
    const std::vector<unsigned char> plain = drawUpdate(Scene6::drawPicture, 76000);
    ASSERT_LT(darkest(plain), 240); // the picture is not white itself
    EXPECT_LE(largestQuadError(faded, plain, 1, 1, 1, 0.5f), 2);

    // From 77,000 ms on the fade changes no pixel.
    EXPECT_EQ(drawUpdate(scene6update, 77000), drawUpdate(Scene6::drawPicture, 77000));
}

TEST(Scene6Test, MaskPassIsUntexturedBlackFadingToWhite) {
    ShowRunner show(assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    setShowTextureEnvironment();
    advanceTimeline(80000);
    engine->perspective(128, 128);
    Scene6::scene6(true);
    glFinish();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    const std::vector<unsigned char> rgb = readFrame();
    int darkest = 255, lightest = 0;
    for (int y = 0; y < 128; y++) {
        for (int x = 0; x < 128; x++) {
            const unsigned char* p = &rgb[(std::size_t(y) * platform::renderWidth() + x) * 3];
            ASSERT_EQ(p[0], p[1]); // grey levels only: no texture
            ASSERT_EQ(p[1], p[2]);
            darkest = std::min<int>(darkest, p[0]);
            lightest = std::max<int>(lightest, p[0]);
        }
    }
    EXPECT_LE(darkest, 60);   // near shapes are dark
    EXPECT_EQ(lightest, 255); // the background and far shapes are white
}

TEST(Scene6Test, SmallAndFullDrawingsShowTheSameScene) {
    ShowRunner show(assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    setShowTextureEnvironment();
    auto normalPass = [] { Scene6::scene6(false); };
    const SmallAndFull now = drawSmallAndFullAt(normalPass, 85000);
    const SmallAndFull later = drawSmallAndFullAt(normalPass, 86500);
    // The panels' bold seams and vents are sampled without mip-maps: a
    // 128 x 128 drawing hits or misses them where the full frame averages
    // them, so the two are compared at the layout's scale (32 x 32).
    expectSameScene(now, later, 10.0, 0, coarseDifference);
}
