// Frames of every scene on the real show: each fade and flash is one quad of
// one colour over the scene's picture, the small (128 x 128) and the full
// drawing of a moment show the same picture, and a picture that a scene
// rebuilds per drawing depends on its moment alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "platform/GL.h"
#include "render/Engine.h"
#include "render/Invisible.h"
#include "scenes/Scene1.h"
#include "scenes/Scene10.h"
#include "scenes/Scene2.h"
#include "scenes/Scene3.h"
#include "scenes/Scene4.h"
#include "scenes/Scene5.h"
#include "scenes/Scene6.h"
#include "scenes/Scene7.h"
#include "scenes/Scene8.h"
#include "scenes/Scene9.h"
#include "tests/support/SceneFrames.h"

namespace {

using namespace testsupport;

const float white[3] = {1, 1, 1}, black[3] = {0, 0, 0};

struct QuadMoment {
    unsigned ms;
    void (*picture)();
    const float* rgb;
    float alpha;
};

// A flash is the scene's factor times (500 - ms since the sync) / 500.
const QuadMoment quads[] = {
    {6001, Scene1::drawPicture, white, 0.499f},  // half the flash of 6,000
    {17500, Scene1::drawPicture, white, 0.5f},   // to white until 18,000
    {18500, Scene2::drawPicture, white, 0.5f},   // from white over a second
    {20900, Scene2::drawPicture, white, 0.16f},  // 0.2 x the flash of 20,800
    {29500, Scene2::drawPicture, black, 0.5f},   // to black until 30,000
    {30500, Scene3::drawPicture, black, 0.5f},   // from black over a second
    {36000, Scene3::drawPicture, white, 0.16f},  // 0.2 x the flash of 35,900
    {47500, Scene3::drawPicture, white, 0.5f},   // to white until 48,000
    {48500, Scene4::drawPicture, white, 0.5f},   // from white over a second
    {51000, Scene4::drawPicture, white, 0.12f},  // 0.3 x the flash of 50,700
    {60500, Scene5::drawPicture, white, 0.5f},   // from white over a second
    {66000, Scene5::drawPicture, white, 0.18f},  // 0.3 x the flash of 65,800
    {76000, Scene6::drawPicture, white, 0.5f},   // from white over two seconds
    {100000, Scene7::drawPicture, black, 0.5f},  // from black over two seconds
    {102000, Scene7::drawPicture, black, 0.4f},  // 0.5 x the flash of 101,900
    {111250, Scene8::drawPicture, white, 0.5f},  // from white over half a second
    {122750, Scene8::drawPicture, black, 0.5f},  // to black until 123,000
    {123500, Scene9::drawPicture, black, 0.5f},  // from black over a second
    {125900, Scene9::drawPicture, black, 0.8f},  // the flash of 125,800
    {147250, Scene10::drawPicture, white, 0.5f}, // from white over half a second
};

TEST(SceneFrames, FadesAndFlashesLayOneQuadOverThePicture) {
    ShowRunner& show = sharedShow();
    ASSERT_TRUE(show.ok());
    for (const QuadMoment& q : quads) {
        show.drawAt(q.ms, 0.0f); // step 0: the picture drawn next shows the same state
        const Image shown = show.frame();
        q.picture();
        const Image plain = show.frame();
        EXPECT_GT(contrast(plain), 20) << "a blank picture at " << q.ms << " ms";
        EXPECT_LE(largestQuadError(shown, plain, q.rgb, q.alpha), 2) << "at " << q.ms << " ms";
    }
}

struct TwoMoments {
    unsigned ms, laterMs;
    void (*draw)();
};

const TwoMoments drawings[] = {
    {8000, 9500, Scene1::scene1},
    {21000, 22500, Scene2::scene2},
    {36300, 36700, Scene3::scene3},
    {51000, 53500, Scene4::scene4},
    {66000, 67300, Scene5::scene5},
    {85000, 86500, [] { Scene6::scene6(false); }},
    {103000, 103800, Scene7::scene7},
    {114200, 115600, Scene8::scene8},
    {130000, 130600, [] { Scene9::scene9(false); }},
};

struct SmallAndFull {
    Image small, full;
};

// `draw` at the moment `ms` in the 128 x 128 corner and at full size, both
// averaged down to 32 x 32: texture detail that aliases differently at the
// two sizes does not count, the layout of the picture does.
SmallAndFull drawSmallAndFull(unsigned ms, void (*draw)()) {
    sharedShow().drawAt(ms, 0.0f); // the scene's state at `ms`
    engine->perspective(128, 128);
    draw();
    Image small(128 * 128 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 128, 128, GL_RGB, GL_UNSIGNED_BYTE, small.data());
    engine->perspective(1024, 768);
    draw();
    return {boxFilter(small, 128, 128, 4, 4), boxFilter(sharedShow().frame(), 1024, 768, 32, 24)};
}

TEST(SceneFrames, SmallAndFullDrawingsOfAMomentShowTheSamePicture) {
    ASSERT_TRUE(sharedShow().ok());
    for (const TwoMoments& d : drawings) {
        const SmallAndFull now = drawSmallAndFull(d.ms, d.draw);
        const SmallAndFull later = drawSmallAndFull(d.laterMs, d.draw);
        const double same = meanDifference(now.small, now.full);
        const double other =
            std::min(meanDifference(now.small, later.full), meanDifference(later.small, now.full));
        std::printf("%6u ms: small against full %.2f levels, against %u ms %.2f\n", d.ms, same,
                    d.laterMs, other);
        EXPECT_LT(same, 6.0) << "at " << d.ms << " ms";
        EXPECT_LT(2.0 * same, other) << "at " << d.ms << " ms";
    }
}

// Scene 7 deforms its blob and Scene 9 rebuilds its surface in every drawing:
// the frame of a moment drawn again after another moment is the same.
TEST(SceneFrames, FrameDrawnAgainAfterAnotherMomentIsTheSame) {
    ShowRunner& show = sharedShow();
    ASSERT_TRUE(show.ok());
    const unsigned moments[][2] = {{103000, 105000}, {140000, 131000}};
    for (const auto& m : moments) {
        show.drawAt(m[0], 0.0f);
        const Image first = show.frame();
        ASSERT_GT(contrast(first), 20) << "a blank picture at " << m[0] << " ms";
        show.drawAt(m[1], 0.0f);
        show.drawAt(m[0], 0.0f);
        EXPECT_TRUE(show.frame() == first) << "at " << m[0] << " ms";
    }
}

} // namespace

// What the drawing leaves out changes no pixel: each of these frames, in
// which fades, greetings or streaks are left out, equals the frame drawn
// with every primitive.
TEST(SceneFrames, LeavingOutWhatChangesNoPixelLeavesTheFrameAsItWas) {
    ShowRunner& show = sharedShow();
    ASSERT_TRUE(show.ok());
    for (unsigned ms : {20000u, 111700u, 116500u, 122000u}) {
        leftOut.enabled = false;
        show.drawAt(ms, 0.0f);
        const Image everything = show.frame();
        ASSERT_GT(contrast(everything), 20) << "a blank picture at " << ms << " ms";
        leftOut = LeftOut();
        show.drawAt(ms, 0.0f);
        EXPECT_GT(leftOut.left, 0) << "at " << ms << " ms nothing was left out";
        EXPECT_TRUE(show.frame() == everything) << "at " << ms << " ms";
    }
}
