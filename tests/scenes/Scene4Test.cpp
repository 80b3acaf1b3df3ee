// Scene 4: the word pictures, particle ageing and rebirth, the camera, the
// white fade-in, and the small and full-size drawings of one frame.
#include "scenes/Scene4.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/CApplication.h"
#include "app/Timeline.h"
#include "scenes/Scenes.h"
#include "tests/support/AssetFolder.h"
#include "tests/support/SceneFrames.h"
#include "tests/support/ShowRunner.h"

using namespace Scene4;

namespace {

void initOnce() {
    static bool done = false;
    if (!done) scene4init();
    done = true;
}

// The word cell a settled particle position lies on.
int cellOf(const Vector3D& p) {
    const int column = int(std::floor(p.x)) + 32;
    const int row = 4 - int(std::floor(p.y));
    return row * wordColumns + column;
}

bool onLetter(const int* word, const Vector3D& p) {
    const int cell = cellOf(p);
    return cell >= 0 && cell < wordCells && word[cell] == 0;
}

// Every particle reborn at `ms`.
void rebirthAllAt(float ms) {
    for (int i = 0; i < particleCount; i++) partLife[i] = 0.0f;
    demoMS = ms;
    skip = 0.0f;
    updateParticles();
}

} // namespace

TEST(Scene4Words, LettersAreFiveCellsHighInTheirColumns) {
    initOnce();
    struct Word {
        const int* cells;
        int count, firstColumn;
    } words[] = {{firstWord, firstWordCells, 6}, {secondWord, secondWordCells, 8}};
    for (const Word& w : words) {
        int count = 0, minColumn = 64, maxColumn = -1, minRow = 8, maxRow = -1;
        for (int i = 0; i < wordCells; i++) {
            if (w.cells[i] != 0) continue;
            count++;
            minColumn = std::min(minColumn, i % 64);
            maxColumn = std::max(maxColumn, i % 64);
            minRow = std::min(minRow, i / 64);
            maxRow = std::max(maxRow, i / 64);
        }
        EXPECT_EQ(count, w.count);
        EXPECT_EQ(minColumn, w.firstColumn);
        EXPECT_EQ(maxColumn, 56);
        EXPECT_EQ(minRow, 2);
        EXPECT_EQ(maxRow, 6);
    }
}

TEST(Scene4Words, CellScanTakesTheNthLetterCellInIndexOrder) {
    initOnce();
    int previous = -1;
    for (int n = 0; n < firstWordCells; n++) {
        const int cell = wordCell(firstWord, n);
        ASSERT_EQ(firstWord[cell], 0);
        ASSERT_GT(cell, previous) << "cell " << n;
        for (int between = previous + 1; between < cell; between++) ASSERT_EQ(firstWord[between], 1);
        previous = cell;
    }
    for (int after = previous + 1; after < wordCells; after++) EXPECT_EQ(firstWord[after], 1);
}

TEST(Scene4Particles, EveryParticleIsBornOnTheFirstUpdateOnALetterCell) {
    scene4init(); // fresh: every life 0 (the arrays of an earlier init are left, as in the show)
    demoMS = 50000.0f;
    skip = 1.0f;
    updateParticles();
    for (int i = 0; i < particleCount; i++) {
        ASSERT_TRUE(onLetter(firstWord, partPos[i])) << "particle " << i;
        ASSERT_GE(partLife[i], 0.0f);
        ASSERT_LT(partLife[i], 256.0f);
        const float jz = partPos[i].z;
        ASSERT_TRUE(jz >= 0.0f && jz <= 0.99f) << jz;
        const Vector3D d = partDir[i];
        ASSERT_NEAR(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z), 150.0f, 0.01f);
    }
}

TEST(Scene4Particles, AgeByTwoAndAHalfPerStepAndAreRebornAtSixtyFour) {
    initOnce();
    demoMS = 50000.0f;
    for (int i = 0; i < particleCount; i++) partLife[i] = 200.0f;
    partLife[1] = 69.0f; // 69 - 2 x 2.5 = 64: reborn
    partLife[2] = 69.5f; // 64.5: lives on
    const Vector3D away(100, 100, 100);
    partPos[1] = partPos[2] = away;
    skip = 2.0f;
    updateParticles();
    EXPECT_FLOAT_EQ(partLife[0], 195.0f);
    EXPECT_TRUE(onLetter(firstWord, partPos[1]));
    EXPECT_FLOAT_EQ(partLife[2], 64.5f);
    EXPECT_EQ(partPos[2].x, away.x);
}

TEST(Scene4Particles, RebirthsTakeTheSecondWordFrom54000ms) {
    initOnce();
    rebirthAllAt(53999.0f);
    int offSecond = 0;
    for (int i = 0; i < particleCount; i++) {
        ASSERT_TRUE(onLetter(firstWord, partPos[i])) << "particle " << i;
        offSecond += !onLetter(secondWord, partPos[i]);
    }
    EXPECT_GT(offSecond, 100); // the words differ enough to tell them apart
    rebirthAllAt(wordSwitchMs);
    for (int i = 0; i < particleCount; i++)
        ASSERT_TRUE(onLetter(secondWord, partPos[i])) << "particle " << i;
}

TEST(Scene4Particles, ScatterIsOneHundredFiftyLongAndZeroForZeroDraws) {
    const Vector3D d = scatterDirection(3, -4, 0);
    EXPECT_NEAR(d.x, 90.0f, 1e-3f);
    EXPECT_NEAR(d.y, -120.0f, 1e-3f);
    EXPECT_EQ(d.z, 0.0f);
    const Vector3D zero = scatterDirection(0, 0, 0);
    EXPECT_EQ(zero.x, 0.0f); // not NaN
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);
}

TEST(Scene4Frames, WhiteAtTheStartAndCameraCloserOnASync) {
    testsupport::ShowRunner show(testsupport::assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    EXPECT_GE(testsupport::darkest(testsupport::drawUpdate(scene4update, 48000)), 253);

    // The sync at 48,000 ms: 250 ms later the flash value is 0.5.
    const struct {
        float ms, distance;
    } cases[] = {{48001.0f, 55.0f - 0.998f * 15.0f}, {48250.0f, 47.5f}, {49000.0f, 55.0f}};
    for (const auto& c : cases) {
        demoMS = c.ms;
        scene4();
        float eye[3];
        testsupport::eyeFromModelview(eye);
        EXPECT_NEAR(std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]), c.distance, 0.01f)
            << c.ms;
        EXPECT_NEAR(eye[1], 0.0f, 1e-3f);
    }
}

TEST(Scene4Frames, SmallAndFullDrawingsShowTheSameScene) {
    testsupport::ShowRunner show(testsupport::assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    // Particles of every age, the word half revealed.
    demoMS = 50000.0f;
    skip = 0.0f;
    for (int i = 0; i < particleCount; i++) partLife[i] = 0.0f;
    updateParticles();
    for (int i = 0; i < particleCount; i++) partLife[i] = 65.0f + float(i % 191);
    demoMS = 51000.0f;
    const testsupport::SmallAndFull now = testsupport::drawSmallAndFull(scene4);
    demoMS = 53500.0f; // the camera has swung and more particles show
    const testsupport::SmallAndFull later = testsupport::drawSmallAndFull(scene4);
    testsupport::expectSameScene(now, later, 3.0, 20);
}
