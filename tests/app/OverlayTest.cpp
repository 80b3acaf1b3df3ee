// The frame overlay's arithmetic on a real context: a pixel under mask 0 is
// unchanged, under mask 255 it becomes 0.7 x scene + 0.3 x image.
#include <gtest/gtest.h>

#include <unistd.h>

#include "app/Overlay.h"
#include "platform/GL.h"
#include "tests/support/AssetFolder.h"
#include "tests/support/ShowRunner.h"

namespace {

TEST(Overlay, BlendsThirtyPercentOfTheImageWhereTheMaskIsWhite) {
    std::string dir = testsupport::copyOfGeneratedAssets();
    std::string layer = dir + "/Textures/layer.jpg", mask = dir + "/Textures/layer_mask.jpg";
    unlink(layer.c_str());
    unlink(mask.c_str());
    ASSERT_TRUE(testsupport::writeGreyJpeg(layer, 256, 256, 200));
    ASSERT_TRUE(testsupport::writeGreyJpeg(mask, 256, 256, 0, 255)); // left clear, right solid
    testsupport::ShowRunner show(dir);
    ASSERT_TRUE(show.ok());

    glClearColor(100 / 255.0f, 100 / 255.0f, 100 / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawOverlay();
    EXPECT_NEAR(show.pixel(100, 400).r, 100, 1); // mask 0
    EXPECT_NEAR(show.pixel(900, 400).r, 130, 1); // 0.7 x 100 + 0.3 x 200
    EXPECT_NEAR(show.pixel(900, 20).g, 130, 1);
    EXPECT_TRUE(glIsEnabled(GL_BLEND)); // left on for the next frame
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}

} // namespace
