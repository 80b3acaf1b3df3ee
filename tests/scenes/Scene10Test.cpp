// Scene 10: the closing card emerging from white, opaque and centred, and
// still drawn on the frame that ends the show. The card image is replaced by
// one uniform grey so that every card pixel has one known colour.
#include "scenes/Scene10.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "app/CApplication.h"
#include "app/Timeline.h"
#include "platform/GL.h"
#include "render/Engine.h"
#include "render/Texture.h"
#include "render/TextureSlots.h"
#include "scenes/SceneCommon.h"
#include "scenes/Scenes.h"
#include "tests/support/AssetFolder.h"
#include "tests/support/Pixels.h"
#include "tests/support/SceneFrames.h"
#include "tests/support/ShowRunner.h"

namespace {

constexpr int cardGrey = 64;

// The overlay-free pack with "endtext.jpg" one grey level.
std::string greyCardAssets() {
    const std::string dir = testsupport::assetsWithoutOverlay();
    const std::string card = dir + "/Textures/endtext.jpg";
    unlink(card.c_str());
    testsupport::writeGreyJpeg(card, 64, 64, cardGrey);
    return dir;
}

// The card's colour as the texture store holds it (the mean of its texels).
testsupport::Rgb cardColour() {
    bindSlotTexture(slotEndText);
    int w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    std::vector<unsigned char> texels(std::size_t(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    long sum[3] = {0, 0, 0};
    for (std::size_t i = 0; i < texels.size(); i++) sum[i % 3] += texels[i];
    const long n = std::max(1L, long(w) * h);
    return {int(sum[0] / n), int(sum[1] / n), int(sum[2] / n)};
}

void expectColour(testsupport::Rgb got, testsupport::Rgb want, const char* where) {
    EXPECT_NEAR(got.r, want.r, 2) << where;
    EXPECT_NEAR(got.g, want.g, 2) << where;
    EXPECT_NEAR(got.b, want.b, 2) << where;
}

const testsupport::Rgb white = {255, 255, 255};

// Screen pixel in the card's y-down coordinates.
testsupport::Rgb at(int x, int yDown) {
    return testsupport::readPixel(x, 767 - yDown);
}

} // namespace

TEST(Scene10Card, WhiteAt147000msAndHalfThroughAt147250ms) {
    testsupport::ShowRunner show(greyCardAssets());
    ASSERT_TRUE(show.ok());
    const testsupport::Rgb card = cardColour();
    ASSERT_LT(card.r, 240); // the card can be told from white
    EXPECT_GE(testsupport::darkest(testsupport::drawUpdate(scene10update, 147000)), 253);
    testsupport::drawUpdate(scene10update, 147250);
    expectColour(at(512, 384), {(255 + card.r) / 2, (255 + card.g) / 2, (255 + card.b) / 2}, "centre");
    expectColour(at(100, 384), white, "left of the card");
}

TEST(Scene10Card, FullyVisibleFrom147500msOpaqueAndCentred) {
    testsupport::ShowRunner show(greyCardAssets());
    ASSERT_TRUE(show.ok());
    const testsupport::Rgb card = cardColour();
    for (unsigned ms : {147500u, 149000u}) {
        // State a scene might leave behind: additive blending, a faint colour,
        // fog and depth test on.
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glColor4f(1, 1, 1, 0.2f);
        glEnable(GL_FOG);
        glEnable(GL_DEPTH_TEST);
        testsupport::drawUpdate(scene10update, ms);
        expectColour(at(512, 384), card, "centre");
        // The card covers x 256..767 and y 128..639 (y down), nothing more.
        expectColour(at(256, 128), card, "top left");
        expectColour(at(767, 639), card, "bottom right");
        expectColour(at(255, 384), white, "left edge");
        expectColour(at(768, 384), white, "right edge");
        expectColour(at(512, 127), white, "top edge");
        expectColour(at(512, 640), white, "bottom edge");
    }
}

TEST(Scene10Card, DrawnOnTheFrameThatEndsTheShow) {
    testsupport::ShowRunner show(greyCardAssets());
    ASSERT_TRUE(show.ok());
    const testsupport::Rgb card = cardColour();
    testsupport::drawUpdate(drawCurrentScene, 149990);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    done = false;
    testsupport::drawUpdate(drawCurrentScene, 150001);
    EXPECT_TRUE(done);
    // The frame overlay lies on both alike at up to 30 %: the card still
    // stands 70 to 100 % of its difference from white below the corner.
    const testsupport::Rgb centre = at(512, 384), corner = at(100, 100);
    EXPECT_GE(corner.r, 150);
    EXPECT_GE(corner.r - centre.r, 0.7 * (255 - card.r) - 3.0);
    EXPECT_LE(corner.r - centre.r, 255 - card.r + 3);
}
