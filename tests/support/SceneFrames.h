// Frame checks for scene tests on the running show: a draw routine rendered
// at 128 x 128 and at full size (downscaled to 128 x 128) to compare the two
// drawings of one frame, and the flash and fade quads measured against the
// same frame redrawn without them. Frames are RGB, bottom row first.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/ShowRunner.h"

namespace testsupport {

using Frame = std::vector<unsigned char>;

// `draw` after Engine::perspective(128, 128): the lower-left 128 x 128 pixels.
Frame smallDrawing(void (*draw)());
// `draw` after Engine::perspective(1024, 768), averaged over 8 x 6 blocks
// down to 128 x 128.
Frame fullDrawingDownscaled(void (*draw)());
// The whole 1024 x 768 target as it stands.
Frame currentFrame();

// Mean absolute difference per channel, in levels (0..255), of two
// 128 x 128 pictures averaged down to 32 x 32, so that texture detail that
// aliases differently at the two sizes does not count, the layout does.
double pictureDifference(const Frame& a, const Frame& b);
// Standard deviation of all channel values: near 0 for a blank picture.
double contrast(const Frame& f);
// Largest difference, in levels, between `shown` and `plain` covered by a
// quad of colour (r, g, b) in 0..1 at alpha `a` (SRC_ALPHA, ONE_MINUS_SRC_ALPHA).
int largestQuadError(const Frame& shown, const Frame& plain, float r, float g, float b, float a);
// Smallest and largest channel value of the frame.
int darkest(const Frame& f);
int brightest(const Frame& f);

// Fixture for scene frame tests: the real show on the generated pack with an
// invisible overlay, so a frame holds only what the scene draws.
class SceneFramesTest : public testing::Test {
protected:
    SceneFramesTest();
    void SetUp() override { ASSERT_TRUE(show.ok()); }
    // The show's frame at `ms` (drawn with step 1: the scene's start state
    // advanced once) equals, within 2 levels, the same frame redrawn by
    // `plainPass` (the scene's drawing and glow without its flash and fade
    // quads) under a quad of colour (r, g, b) at alpha `a`; the plain frame is
    // not blank.
    void expectQuad(unsigned ms, void (*plainPass)(), float r, float g, float b, float a);
    // At the moment of the frame at `ms`, the small and the full drawing by
    // `draw` agree, and the small drawing after `moveOn` differs at least
    // twice as much; the small drawing has a contrast above `minContrast`.
    void expectStableDrawings(unsigned ms, void (*draw)(), void (*moveOn)(), double minContrast);

    ShowRunner show;
};

} // namespace testsupport
