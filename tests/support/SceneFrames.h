// Frame helpers for the scene tests, on the context of a ShowRunner: one scene
// update drawn without the frame overlay, the texture environment that the
// first scene leaves for the rest of the show, the small (128 x 128) and
// full-size drawings of one frame compared after scaling the full frame down,
// measures of a picture, and the camera eye read back from the modelview
// matrix. Frames are RGB, bottom row first; the full frame is 1024 x 768.
#pragma once

#include <functional>
#include <vector>

namespace testsupport {

// ---- Drawing ----

// Unit 0 in GL_COMBINE_ARB with RGB replaced by the texture, unit 1 adding,
// unit 0 active: the state every scene after the first one inherits.
void setShowTextureEnvironment();

// Sets the clock to `ms` and the frame step to `step`, runs `update` (a scene
// update: drawing and post-processing, no overlay), finishes and returns the
// frame.
std::vector<unsigned char> drawUpdate(void (*update)(), unsigned ms, float step = 1.0f);

// Draws `draw` after Engine::perspective(128, 128) and reads the small
// picture, then after Engine::perspective(1024, 768) and scales the full
// picture down: the two 128 x 128 images of one frame, at the clock as it is.
struct SmallAndFull {
    std::vector<unsigned char> small, full;
};
SmallAndFull drawSmallAndFull(const std::function<void()>& draw);
// The same with the clock first set to `ms`.
SmallAndFull drawSmallAndFullAt(const std::function<void()>& draw, unsigned ms);

// ---- Reading ----

// Lower-left w x h pixels of the render target.
std::vector<unsigned char> readRegion(int w, int h);
// A 1024 x 768 frame box-averaged down to 128 x 128 (8 x 6 pixel boxes).
std::vector<unsigned char> downscaleToSmall(const std::vector<unsigned char>& frame);

// ---- Measures ----

// Mean absolute difference per channel of two images of the same size
// (255 when the sizes differ or the images are empty).
double meanDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);
// meanDifference of two 128 x 128 pictures averaged down to 32 x 32: texture
// detail that aliases differently at the two sizes does not count, the
// layout of the picture does.
double coarseDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);
// Smallest and largest channel value (0 for an empty image), and their
// difference: 0 for a uniform picture.
int darkest(const std::vector<unsigned char>& image);
int brightest(const std::vector<unsigned char>& image);
int contrast(const std::vector<unsigned char>& image);
// Largest difference, in levels, between `shown` and `plain` covered by a
// quad of colour (r, g, b) in 0..1 at alpha `a` (SRC_ALPHA, ONE_MINUS_SRC_ALPHA).
int largestQuadError(const std::vector<unsigned char>& shown, const std::vector<unsigned char>& plain,
                     float r, float g, float b, float a);

// The small and full drawings of one moment (`now`) show the same scene:
// the full drawing's contrast exceeds `minContrast`, `difference` between
// now.small and now.full is below `maxSame`, and a small and a full drawing
// of two moments (now.small with later.full, later.small with now.full)
// differ more than twice as much. Prints the figures.
void expectSameScene(const SmallAndFull& now, const SmallAndFull& later, double maxSame, int minContrast,
                     double (*difference)(const std::vector<unsigned char>&,
                                          const std::vector<unsigned char>&) = meanDifference);

// ---- Camera ----

// Eye position of the current modelview matrix (a rigid camera transform):
// -R^T t for rotation R and translation t.
void eyeFromModelview(float eye[3]);

} // namespace testsupport
