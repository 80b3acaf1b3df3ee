// Frame checks for scene tests on the running show: a draw routine rendered
// at 128 x 128 and at full size (downscaled to 128 x 128) to compare the two
// drawings of one frame, and the flash and fade quads measured against the
// same frame redrawn without them. Frames are RGB, bottom row first.
#pragma once

#include <vector>

namespace testsupport {

class ShowRunner;
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

// The show's frame at `ms` (drawn with step 1, so a scene's state is its
// start state advanced once) set against the same frame redrawn by
// `plainPass`, the scene's drawing and glow without its flash and fade quads.
struct QuadCheck {
    int error;       // largestQuadError of the shown frame for the quad
    double contrast; // of the plain frame; near 0 the check would be empty
};
QuadCheck checkQuad(ShowRunner& show, unsigned ms, void (*plainPass)(), float r, float g, float b, float a);

// The two drawings of the current moment by `draw`, small and full size,
// and the small one again after `moveOn` has changed the moment.
struct DrawingsCheck {
    double same;     // pictureDifference of the two drawings of one moment
    double other;    // the same for the small drawing of the later moment
    double contrast; // of the small drawing
};
DrawingsCheck compareDrawings(void (*draw)(), void (*moveOn)());

} // namespace testsupport
