// Scene 8: the greetings' cross-fade, the streaks' advance and respawn, the
// fades at both ends and the agreement of the small and full-size drawings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "geometry/Vector3D.h"
#include "scenes/Scene8.h"
#include "scenes/Scenes.h"
#include "tests/support/AssetFolder.h"
#include "tests/support/SceneFrames.h"
#include "tests/support/ShowRunner.h"

using namespace testsupport;

namespace {

// Alpha as drawn: GL clamps the colour to 0..1.
float shown(int j, float ms) {
    return std::fmin(1.0f, std::fmax(0.0f, Scene8::greetingAlpha(j, ms - 111000.0f)));
}

void expectStreakInRange(const Vector3D& s, float nearest, float farthest) {
    EXPECT_GE(s.x, 0.0f);
    EXPECT_LE(s.x, 359.0f);
    EXPECT_GE(s.y, 1.0f);
    EXPECT_LE(s.y, 30.0f);
    EXPECT_GE(s.z, nearest);
    EXPECT_LE(s.z, farthest);
    EXPECT_EQ(s.x, std::floor(s.x)); // whole values from rand() remainders
    EXPECT_EQ(s.y, std::floor(s.y));
    EXPECT_EQ(s.z, std::floor(s.z));
}

} // namespace

TEST(Scene8Test, GreetingsCrossFadeOneAfterAnother) {
    EXPECT_FLOAT_EQ(shown(0, 111500), 0.5f);
    // 112,000 ms: greeting 1 fully in, the others not yet.
    EXPECT_FLOAT_EQ(shown(0, 112000), 1.0f);
    for (int j = 1; j < 8; j++) EXPECT_EQ(shown(j, 112000), 0.0f) << "greeting " << j + 1;
    // 113,000 ms: greeting 1 half out while greeting 2 is half in.
    EXPECT_FLOAT_EQ(shown(0, 113000), 0.5f);
    EXPECT_FLOAT_EQ(shown(1, 113000), 0.5f);
    for (int j = 2; j < 8; j++) EXPECT_EQ(shown(j, 113000), 0.0f) << "greeting " << j + 1;
    // 113,500 ms: greeting 1 gone, greeting 2 full.
    EXPECT_EQ(shown(0, 113500), 0.0f);
    EXPECT_FLOAT_EQ(shown(1, 113500), 1.0f);
    // Greeting 8 starts at 121,500 ms and is still full when the scene ends.
    EXPECT_EQ(shown(7, 121500), 0.0f);
    EXPECT_FLOAT_EQ(shown(7, 122500), 1.0f);
    EXPECT_FLOAT_EQ(shown(7, 123000), 1.0f);
}

TEST(Scene8Test, StreaksStartInTheTunnelAndRespawnBeyondTheFog) {
    scene8init();
    for (int i = 0; i < Scene8::starCount; i++) expectStreakInRange(Scene8::star[i], 0, 299);
    // A step that takes every streak below depth 0 respawns all of them.
    for (int i = 0; i < Scene8::starCount; i++) Scene8::star[i].z = 0.5f;
    Scene8::advanceStreaks(1.0f);
    for (int i = 0; i < Scene8::starCount; i++) expectStreakInRange(Scene8::star[i], 300, 399);
}

TEST(Scene8Test, StreaksAdvanceOncePerFrameByTheirOwnSpeed) {
    ShowRunner show(assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    Vector3D before[Scene8::starCount];
    for (int i = 0; i < Scene8::starCount; i++) before[i] = Scene8::star[i];
    const float step = 2.0f; // 100 ms
    drawUpdate(scene8update, 111000, step);
    for (int i = 0; i < Scene8::starCount; i++) {
        const float moved = before[i].z - float(i + 10) * step * 0.1f;
        if (moved < 0) {
            expectStreakInRange(Scene8::star[i], 300, 399);
        } else {
            EXPECT_EQ(Scene8::star[i].z, moved) << "streak " << i;
            EXPECT_EQ(Scene8::star[i].x, before[i].x);
        }
    }
}

TEST(Scene8Test, FadesInFromWhiteAndOutToBlack) {
    ShowRunner show(assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    setShowTextureEnvironment();
    EXPECT_GE(darkest(drawUpdate(scene8update, 111000)), 254);
    EXPECT_LT(darkest(drawUpdate(scene8update, 111500)), 100);
    EXPECT_LE(brightest(drawUpdate(scene8update, 122999)), 2);
}

TEST(Scene8Test, SmallAndFullDrawingsShowTheSameScene) {
    ShowRunner show(assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    setShowTextureEnvironment();
    const SmallAndFull now = drawSmallAndFullAt(Scene8::scene8, 114200);
    const SmallAndFull later = drawSmallAndFullAt(Scene8::scene8, 115600);
    expectSameScene(now, later, 10.0, 0);
}
