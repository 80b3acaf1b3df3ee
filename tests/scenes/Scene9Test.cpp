// Scene 9's blob colours and fog, which the depth-of-field composite hides in
// the finished frame: one blob on the line of sight, its pixel read straight
// after the focus-mask pass and after a picture pass.
#include "scenes/Scene9.h"

#include <gtest/gtest.h>

#include "app/Timeline.h"
#include "render/Engine.h"
#include "tests/support/Pixels.h"
#include "tests/support/SceneFrames.h"

namespace {

using testsupport::Rgb;

// Moves blob 0 to `where` and the others far behind it, and polygonises.
void oneBlobAt(const Point3D& where) {
    for (Point3D& b : Scene9::blobPos) b = Point3D(-100, -100, -100);
    Scene9::blobPos[0] = where;
    Scene9::polygonise();
}

// Draws one pass at full size and checks the centre pixel.
void expectCentreAfterPass(bool mask, Rgb want, int tolerance) {
    Scene9::scene9(mask);
    const Rgb p = testsupport::readPixel(512, 384);
    EXPECT_NEAR(p.r, want.r, tolerance) << (mask ? "mask" : "picture") << " at " << demoMS << " ms";
    EXPECT_NEAR(p.g, want.g, tolerance) << (mask ? "mask" : "picture") << " at " << demoMS << " ms";
    EXPECT_NEAR(p.b, want.b, tolerance) << (mask ? "mask" : "picture") << " at " << demoMS << " ms";
}

class Scene9Passes : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::sharedShow().ok());
        testsupport::sharedShow().drawAt(130000, 0.0f); // ends with fog off, as every frame does
        engine->perspective(1024, 768);
    }
};

TEST_F(Scene9Passes, MaskIsWhiteAndThePictureOrangeUntil135000msThenBlue) {
    oneBlobAt(Point3D(0, 17, 100)); // 185 units from the eye: nearer than any fog
    demoMS = 134999.0f;
    expectCentreAfterPass(true, {255, 255, 255}, 2);
    expectCentreAfterPass(false, {255, 153, 25}, 2);
    demoMS = 135000.0f;
    expectCentreAfterPass(true, {255, 255, 255}, 2);
    expectCentreAfterPass(false, {25, 153, 255}, 2);
}

TEST_F(Scene9Passes, MaskFogsFrom250To300AndThePictureInheritsTheFogFrom200To400) {
    oneBlobAt(Point3D(0, 0, 0));                    // front surface about 286 units from the eye
    expectCentreAfterPass(true, {73, 73, 73}, 8);   // (300 - 286) / 50 of white
    expectCentreAfterPass(false, {146, 87, 15}, 4); // (400 - 286) / 200 of orange
}

} // namespace
