// Scene 10: the closing card opaque and centred on white whatever state the
// frame before left, also on the frame that ends the show. The card image is
// replaced by one grey so that every card pixel has one known value.
#include <gtest/gtest.h>

#include <vector>

#include "app/CApplication.h"
#include "platform/GL.h"
#include "render/TextureSlots.h"
#include "scenes/SceneCommon.h"
#include "tests/support/Pixels.h"
#include "tests/support/SceneFrames.h"

namespace {

constexpr int cardGrey = 64;

void paintCardGrey() {
    const std::vector<unsigned char> texels(16 * 16 * 3, cardGrey);
    bindSlotTexture(slotEndText);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 16, 16, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glDisable(GL_TEXTURE_2D);
}

TEST(Scene10Card, OpaqueAndCentredOnWhiteUpToTheFrameThatEndsTheShow) {
    testsupport::ShowRunner& show = testsupport::sharedShow();
    ASSERT_TRUE(show.ok());
    paintCardGrey();
    // The card covers x 256..767 and y 128..639 (symmetric: y up or down).
    const struct {
        int x, y, level;
    } pixels[] = {{512, 384, cardGrey}, {256, 128, cardGrey}, {767, 639, cardGrey}, {255, 384, 255},
                  {768, 384, 255},      {512, 127, 255},      {512, 640, 255}};
    done = false;
    for (unsigned ms : {147500u, 150001u}) {
        // State a scene might leave behind: additive blending, a faint
        // colour, fog and depth test on, black in the frame.
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glColor4f(1, 1, 1, 0.2f);
        glEnable(GL_FOG);
        glEnable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        show.drawAt(ms, 0.0f);
        for (const auto& p : pixels) {
            const testsupport::Rgb got = show.pixel(p.x, p.y);
            EXPECT_NEAR(got.r, p.level, 2) << "(" << p.x << ", " << p.y << ") at " << ms << " ms";
            EXPECT_NEAR(got.g, p.level, 2) << "(" << p.x << ", " << p.y << ") at " << ms << " ms";
            EXPECT_NEAR(got.b, p.level, 2) << "(" << p.x << ", " << p.y << ") at " << ms << " ms";
        }
    }
    EXPECT_TRUE(done); // 150,001 ms is past the end: the show stops after this frame
    done = false;
}

} // namespace
