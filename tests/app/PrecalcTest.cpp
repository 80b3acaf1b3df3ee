// Start-up as the show runs it, CApplication::init and precalc on the
// generated pack: every image in its slot after the glow's two work textures,
// the fixed GL state, and the music started last, so that the first frame
// shows music time 0 however long loading took.
#include <gtest/gtest.h>

#include <unistd.h>

#include <vector>

#include "app/CApplication.h"
#include "app/Timeline.h"
#include "platform/GL.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "render/Texture.h"
#include "render/TextureSlots.h"
#include "tests/support/ShowRunner.h"

namespace {

TEST(Precalc, LoadsEveryImageThenStartsTheMusicJustBeforeTheFirstFrame) {
    ASSERT_EQ(chdir(testsupport::generatedAssets().c_str()), 0);
    CApplication app;
    ASSERT_TRUE(app.init());
    app.precalc();
    ASSERT_NE(engine, nullptr);
    // The fixed state. Line smoothing asks for the best quality but stays off:
    // left on, llvmpipe stores a state block per draw after every matrix change.
    GLint hint = 0, shade = 0;
    glGetIntegerv(GL_LINE_SMOOTH_HINT, &hint);
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(std::vector<int>({glIsEnabled(GL_DEPTH_TEST), glIsEnabled(GL_LIGHTING),
                                glIsEnabled(GL_BLEND), glIsEnabled(GL_LINE_SMOOTH), hint, shade}),
              std::vector<int>({1, 0, 0, 0, GL_NICEST, GL_SMOOTH}));
    // The glow's two work textures, without a name, then entry n of the table
    // at index n + 2; the slots beyond the table stay 0.
    EXPECT_EQ(std::vector<int>({engine->glow->blurTexture, engine->glow->dofTexture}),
              std::vector<int>({0, 1}));
    for (int work : {0, 1}) EXPECT_STREQ(engine->texture->names[work], "") << work;
    for (int n = 0; n < slotCount; n++) {
        EXPECT_EQ(engine->slots[slotFiles[n].slot], n + 2) << slotFiles[n].file;
        EXPECT_STREQ(engine->texture->names[n + 2], slotFiles[n].file);
    }
    EXPECT_EQ(engine->texture->count, unsigned(slotCount + 2));
    for (int s = slotCount; s < 512; s++) EXPECT_EQ(engine->slots[s], 0) << "slot " << s;
    done = false;
    while (!app.step()) ASSERT_FALSE(done); // the window's events, then the first frame
    EXPECT_LT(demoMS, 30.0f);
    EXPECT_EQ(currentScene, 0);
    EXPECT_EQ(skip, 50.0f); // measured against 0, so capped
    app.deinit();
}

} // namespace
