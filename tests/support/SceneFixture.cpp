// Scene frame test fixture.
#include "tests/support/SceneFixture.h"

#include <vector>

#include "tests/support/AssetFolder.h"
#include "tests/support/Pixels.h"

namespace testsupport {

SceneFixture::SceneFixture() : show(assetsWithoutOverlay()) {}

void SceneFixture::expectQuad(unsigned ms, void (*plainPass)(), float r, float g, float b, float a) {
    show.drawAt(ms, 1.0f);
    const std::vector<unsigned char> shown = readFrame();
    plainPass();
    const std::vector<unsigned char> plain = readFrame();
    EXPECT_GT(contrast(plain), 20) << "a blank frame at " << ms << " ms";
    EXPECT_LE(largestQuadError(shown, plain, r, g, b, a), 2) << "at " << ms << " ms";
}

void SceneFixture::expectFadeToWhiteEndingAt(unsigned endMs, void (*plainPass)()) {
    EXPECT_GE(darkestAt(endMs - 1), 253);
    expectQuad(endMs - 500, plainPass, 1, 1, 1, 0.5f);
}

void SceneFixture::expectStableDrawings(unsigned ms, void (*draw)(), void (*moveOn)(), int minContrast) {
    show.drawAt(ms, 1.0f);
    const SmallAndFull now = drawSmallAndFull(draw);
    moveOn();
    const SmallAndFull later = drawSmallAndFull(draw);
    expectSameScene(now, later, 6.0, minContrast, coarseDifference);
}

int SceneFixture::darkestAt(unsigned ms) {
    show.drawAt(ms, 1.0f);
    return darkest(readFrame());
}

int SceneFixture::brightestAt(unsigned ms) {
    show.drawAt(ms, 1.0f);
    return brightest(readFrame());
}

} // namespace testsupport
