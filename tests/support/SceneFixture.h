// A fixture for scene frame tests on the real show (the generated pack with
// an invisible overlay): a flash or fade quad measured against the same frame
// redrawn without it, and the small and full drawings of one frame compared
// (with SceneCompare's helpers). Frames are RGB, bottom row first.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/ShowRunner.h"

namespace testsupport {

// Largest difference, in levels, between `shown` and `plain` covered by a
// quad of colour (r, g, b) in 0..1 at alpha `a` (SRC_ALPHA, ONE_MINUS_SRC_ALPHA).
int largestQuadError(const std::vector<unsigned char>& shown, const std::vector<unsigned char>& plain,
                     float r, float g, float b, float a);

// Mean absolute difference per channel of two 128 x 128 pictures averaged
// down to 32 x 32: texture detail that aliases differently at the two sizes
// does not count, the layout of the picture does.
double coarseDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);

class SceneFixture : public testing::Test {
protected:
    SceneFixture();
    void SetUp() override { ASSERT_TRUE(show.ok()); }

    // The show's frame at `ms` (drawn with step 1: the scene's start state
    // advanced once) equals, within 2 levels, the same frame redrawn by
    // `plainPass` (the scene's drawings and glow without its flash and fade
    // quads) under a quad of colour (r, g, b) at alpha `a`; the plain frame
    // is not blank.
    void expectQuad(unsigned ms, void (*plainPass)(), float r, float g, float b, float a);
    // At the moment of the frame at `ms`, the small and the full drawing by
    // `draw` agree, and the small drawing after `moveOn` differs at least
    // twice as much; the full drawing's contrast exceeds `minContrast`.
    void expectStableDrawings(unsigned ms, void (*draw)(), void (*moveOn)(), int minContrast);
    // Smallest and largest channel value of the show's frame at `ms`.
    int darkestAt(unsigned ms);
    int brightestAt(unsigned ms);

    ShowRunner show;
};

} // namespace testsupport
