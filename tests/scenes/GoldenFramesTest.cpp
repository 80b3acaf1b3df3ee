// Golden frames: moments of every scene, its fades, flashes and switches
// included, drawn headless in one pass through the show at 1 frame per second
// of music time (the tools' fixed step, run up from 0 ms as every seek is) and
// compared with the reference pictures in tests/golden/: 256 x 192,
// box-filtered from 1024 x 768. With DEMO_GOLDEN_WRITE=1 in the environment
// the test writes the references instead (`make golden`).
#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/FixedStep.h"
#include "app/Timeline.h"
#include "tests/support/SceneFrames.h"
#include "tools/common/PngFile.h"

namespace {

using namespace testsupport;

constexpr int fps = 1;                   // a frame every second, frame step 20
constexpr int width = 256, height = 192; // 4 x 4 boxes of the full frame
// A pixel is off when one of its channels differs by more than `tolerance`
// levels; a frame may have `allowedOff` such pixels (0.03 %). llvmpipe draws
// the same bytes on one machine; the slack absorbs another Mesa build's
// rounding. Measured here: a glow spread 5 % wider puts 1,800 pixels of
// Scene 9 off, a clear colour 5 levels greener 2,000 of Scene 4, a fog colour
// 5 levels greener 39 of Scene 5 (only the far ribbons show it), an eye moved
// by half a unit thousands in every scene.
constexpr int tolerance = 2;
constexpr int allowedOff = 16;

// Music times in ms, ascending and on the 1 fps grid; the flashes show 100
// to 300 ms after a sync.
const unsigned moments[] = {
    3000,   7000,   10000,  15000,         // 1: tiles fading in, the four camera paths, the funnel
    18000,  21000,  27000,                 // 2: white, flashes
    30000,  32000,  35000,  36000,  42000, // 3: black, flashes on the four camera paths
    51000,  57000,                         // 4: a flash on each word
    66000,  69000,  73000,                 // 5: flashes, the sync blur
    76000,  82000,                         // 6: half faded in from white, depth of field
    100000, 102000, 105000, 108000,        // 7: half faded in from black, the four camera cuts
    113000, 118000,                        // 8: greetings cross-fading
    123000, 126000, 135000, 138000,        // 9: black, a flash, the blue switch
    147000, 148000, 150000,                // 10: white, the card, the last frame
};

std::string referencePath(unsigned ms) {
    char name[64];
    std::snprintf(name, sizeof name, "/tests/golden/scene%02d-%06u.png", sceneAt(ms) + 1, ms);
    return DEMO_SOURCE_DIR + std::string(name);
}

// Pixels of `got` with a channel more than `tolerance` levels from `want`.
int pixelsOff(const Image& got, const Image& want, int& largest) {
    int off = 0;
    largest = 0;
    for (std::size_t p = 0; p + 2 < got.size(); p += 3) {
        int worst = 0;
        for (int c = 0; c < 3; c++)
            worst = std::max(worst, std::abs(int(got[p + c]) - int(want[p + c])));
        off += worst > tolerance;
        largest = std::max(largest, worst);
    }
    return off;
}

// Compares `picture` with its reference, or writes it as the reference.
void check(unsigned ms, const Image& picture, bool write) {
    const std::string path = referencePath(ms);
    stbi_set_flip_vertically_on_load(1); // GL rows come bottom first
    if (write) {
        EXPECT_EQ(writePng(path, picture.data(), width, height, true), "");
        return;
    }
    int w = 0, h = 0, n = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &w, &h, &n, 3);
    ASSERT_TRUE(pixels && w == width && h == height)
        << path << ": missing or not 256 x 192 (make golden)";
    const Image reference(pixels, pixels + picture.size());
    stbi_image_free(pixels);
    int largest = 0;
    const int off = pixelsOff(picture, reference, largest);
    std::printf("%6u ms: %5d pixels off by more than %d levels, largest difference %3d\n", ms, off,
                tolerance, largest);
    EXPECT_LE(off, allowedOff) << path;
}

TEST(GoldenFrames, MomentsOfEverySceneMatchTheirReferencePictures) {
    ShowRunner& show = sharedShow();
    ASSERT_TRUE(show.ok());
    const bool write = std::getenv("DEMO_GOLDEN_WRITE") != nullptr;
    long next = 0; // one run-up from the start, taken moment by moment
    for (unsigned ms : moments) {
        next = runUpTo(ms, fps, next);
        ASSERT_EQ(gridTimeMs(next, fps), ms) << "not on the grid";
        show.drawAt(ms, gridStep(fps));
        next++;
        check(ms, boxFilter(show.frame(), 1024, 768, 4, 4), write);
    }
}

} // namespace
