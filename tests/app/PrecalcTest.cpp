// Asset preparation with the generated pack: which file went to which slot,
// the store's indices, the untouched slots, the fixed GL state, and the clock
// on the first frame.
#include <gtest/gtest.h>

#include "app/CApplication.h"
#include "app/Timeline.h"
#include "platform/GL.h"
#include "platform/Music.h"
#include "render/Engine.h"
#include "render/Texture.h"
#include "render/TextureSlots.h"
#include "tests/support/ShowRunner.h"

namespace {

TEST(Precalc, EverySlotHoldsItsFileInLoadingOrder) {
    testsupport::ShowRunner show;
    ASSERT_TRUE(show.ok());
    ASSERT_NE(engine, nullptr);
    // Entry n of the table gets texture index n + 2, after the glow's two
    // work textures, which have no name.
    for (int n = 0; n < slotCount; n++) {
        const SlotFile& f = slotFiles[n];
        EXPECT_EQ(engine->slots[f.slot], n + 2) << f.file;
        EXPECT_STREQ(engine->texture->names[n + 2], f.file);
    }
    // Loading order: slots 0..17 get indices 2..19, slots 26..29 get 20..23,
    // the greetings (slots 18..25) 24..31.
    for (int s = 0; s <= 17; s++) EXPECT_EQ(engine->slots[s], s + 2);
    for (int s = 26; s <= 29; s++) EXPECT_EQ(engine->slots[s], s - 6);
    for (int k = 0; k < greetingSlotCount; k++) EXPECT_EQ(engine->slots[slotFirstGreeting + k], 24 + k);
    EXPECT_EQ(engine->texture->count, unsigned(slotCount + 2));
    EXPECT_EQ(engine->texture->names[0][0], 0);
    EXPECT_EQ(engine->texture->names[1][0], 0);
    for (int s = slotCount; s < 512; s++) EXPECT_EQ(engine->slots[s], 0) << "slot " << s;
}

// The fixed state the scenes start from. Line smoothing asks for the best
// quality but stays off: left on, llvmpipe stores a state block per draw
// after every matrix change, and only Mesh's normal lines switch it on.
TEST(Precalc, FixedStateKeepsLineSmoothingOffWithTheNicestHint) {
    testsupport::ShowRunner show;
    ASSERT_TRUE(show.ok());
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    GLint hint = 0, shade = 0;
    glGetIntegerv(GL_LINE_SMOOTH_HINT, &hint);
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(hint, GL_NICEST);
    EXPECT_EQ(shade, GL_SMOOTH);
}

TEST(Precalc, TheClockReadsZeroWhenTheFirstFrameIsDrawn) {
    testsupport::ShowRunner show; // loads everything first
    ASSERT_TRUE(show.ok());
    InitFMOD(); // the last step of preparation
    EXPECT_LT(musicPositionMs(), 30u);
    platform::stopMusic();
}

} // namespace
