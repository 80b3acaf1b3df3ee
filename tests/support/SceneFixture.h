// A fixture for scene frame tests on the real show (the generated pack with
// an invisible overlay): a flash or fade quad measured against the same frame
// redrawn without it, the fade to white that hands over to the next scene,
// and the small and full drawings of one frame compared (with the helpers of
// SceneFrames.h). Frames are RGB, bottom row first.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/SceneFrames.h"
#include "tests/support/ShowRunner.h"

namespace testsupport {

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
    // The one-second fade to white that ends at `endMs`: 1 ms before, the
    // frame is white within 2 levels; half a second before, it is the plain
    // frame under white at alpha 0.5 (see expectQuad).
    void expectFadeToWhiteEndingAt(unsigned endMs, void (*plainPass)());
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
