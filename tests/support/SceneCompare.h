// Helpers for scene tests: one scene frame without the overlay, the small (128 x 128) and full-size drawings of
// one frame compared after scaling the full frame down, and the camera eye
// read back from the modelview matrix.
#pragma once

#include <functional>
#include <vector>

namespace testsupport {

// Lower-left w x h pixels of the render target, bottom row first, RGB.
std::vector<unsigned char> readRegion(int w, int h);
// A 1024 x 768 RGB frame box-averaged down to 128 x 128 (8 x 6 pixel boxes).
std::vector<unsigned char> downscaleToSmall(const std::vector<unsigned char>& frame);
// Mean absolute difference per channel of two images of the same size.
double meanDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);
// Largest minus smallest channel value: 0 for a uniform picture.
int contrast(const std::vector<unsigned char>& image);

// Draws `draw` after Engine::perspective(128, 128) and reads the small
// picture, then after Engine::perspective(1024, 768) and scales the full
// picture down: the two 128 x 128 images of one frame.
struct SmallAndFull {
    std::vector<unsigned char> small, full;
};
SmallAndFull drawSmallAndFull(const std::function<void()>& draw);

// One frame of a scene without the frame overlay: the timeline at `ms`,
// frame step `step`, then `update` (the scene's update), finished.
void drawSceneOnly(unsigned ms, float step, void (*update)());

// Eye position of the current modelview matrix (a rigid camera transform):
// -R^T t for rotation R and translation t.
void eyeFromModelview(float eye[3]);

} // namespace testsupport
