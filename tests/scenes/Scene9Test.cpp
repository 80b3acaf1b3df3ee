// Scene 9 run for real on a headless context: the blob motion and the
// per-frame rebuild of their surface, the fade-in and the sync darkening,
// the colour and ring texture switch at 135,000 ms, the white focus mask,
// the seamless ring wrap, and the small and full drawings agreeing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "app/Timeline.h"
#include "platform/GL.h"
#include "platform/RenderSize.h"
#include "render/Engine.h"
#include "render/Texture.h"
#include "render/TextureSlots.h"
#include "scenes/Scene9.h"
#include "scenes/SceneCommon.h"
#include "scenes/Scenes.h"
#include "tests/support/SceneFixture.h"

namespace {

using testsupport::Rgb;

const int W = platform::renderWidth(), H = platform::renderHeight();

// ---- Blobs and their surface (no GL) ----

int distanceSquared(const Point3D& a, const Point3D& b) {
    return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z);
}

TEST(Scene9Blobs, CentresAreSinesTruncatedTowardZero) {
    Scene9::moveBlobs(123000.0f);
    // 60 sin(...) = -19.42, -56.50, 11.09: floor would give -20 and -57.
    EXPECT_EQ(Scene9::blobPos[2].x, -19);
    EXPECT_EQ(Scene9::blobPos[2].y, -56);
    EXPECT_EQ(Scene9::blobPos[2].z, 11);
    EXPECT_EQ(Scene9::blobPos[1].y, -1); // -1.65
    for (float t = 123000.0f; t < 147000.0f; t += 37.0f) {
        Scene9::moveBlobs(t);
        for (const Point3D& b : Scene9::blobPos) {
            EXPECT_LE(std::abs(b.x), 60);
            EXPECT_LE(std::abs(b.y), 60);
            EXPECT_LE(std::abs(b.z), 60);
        }
    }
}

TEST(Scene9Blobs, EachFrameRebuildsTheSurfaceFromScratch) {
    // The surface of 140,000 ms drawn fresh...
    Scene9::moveBlobs(140000.0f);
    Scene9::polygonise();
    std::vector<Point3D> fresh(Scene9::mesh.begin(),
                               Scene9::mesh.begin() + Scene9::surfMesh.vertexCount);
    // ...and after a frame at another time: stale visited flags or cached
    // potentials would change it.
    Scene9::moveBlobs(131000.0f);
    Scene9::polygonise();
    Scene9::moveBlobs(140000.0f);
    Scene9::polygonise();
    ASSERT_GT(fresh.size(), 300u);
    EXPECT_EQ(fresh.size() % 3, 0u);
    EXPECT_FALSE(Scene9::surfMesh.dropped);
    ASSERT_EQ(size_t(Scene9::surfMesh.vertexCount), fresh.size());
    for (size_t i = 0; i < fresh.size(); i++) {
        ASSERT_EQ(distanceSquared(fresh[i], Scene9::mesh[i]), 0) << "vertex " << i;
    }
}

TEST(Scene9Blobs, EverySeedFindsItsBlobsSurface) {
    // Eight blobs on one spot have a surface of radius 51 (8 / (d² + 1) at
    // the threshold 1/325); a cell's diagonal is under 16.
    const int reach = 51 + 16;
    for (float t = 123000.0f; t < 147000.0f; t += 1500.0f) {
        Scene9::moveBlobs(t);
        Scene9::polygonise();
        for (const Point3D& b : Scene9::blobPos) {
            EXPECT_FALSE(Scene9::surf.outside(b)) << "t " << t;
            int nearest = 1 << 30;
            for (int i = 0; i < Scene9::surfMesh.vertexCount; i++) {
                const int d = distanceSquared(b, Scene9::mesh[i]);
                if (d < nearest) nearest = d;
            }
            EXPECT_LE(nearest, reach * reach) << "t " << t;
        }
    }
}

TEST(Scene9Rings, SlideTwoSpacingsIn900msThenWrap) {
    EXPECT_FLOAT_EQ(Scene9::ringShift(126000.0f), 0.0f);
    EXPECT_FLOAT_EQ(Scene9::ringShift(126450.9f), 90.0f); // truncated to 450 ms
    EXPECT_NEAR(Scene9::ringShift(126899.0f), 179.8f, 1e-4f);
    EXPECT_FLOAT_EQ(Scene9::ringShift(126900.0f), 0.0f);
}

// ---- Frames on a real context ----

// What the update draws before its fade and flash quads.
void pictureOnly() {
    Scene9::drawPicture();
}

// The composited rings alone: no blob surface.
void ringsOnly() {
    Scene9::surfMesh.reset();
    drawDepthOfField(Scene9::scene9, 0.002f);
}

// One drawing as the show makes it: a mask pass (which switches the fog on)
// then a picture pass, in the viewport the caller set.
void maskThenPicture() {
    Scene9::moveBlobs(demoMS);
    Scene9::polygonise();
    Scene9::scene9(true);
    Scene9::scene9(false);
}

// The show headless with an invisible overlay, in the texture environment
// that the first scene leaves for the rest of the show.
class Scene9Frames : public testsupport::SceneFixture {
protected:
    void SetUp() override {
        SceneFixture::SetUp();
        testsupport::setShowTextureEnvironment();
    }

    // Replaces the image of the texture in `slot` by one colour.
    void paintSlot(int slot, unsigned char r, unsigned char g, unsigned char b) {
        std::vector<unsigned char> texels(16 * 16 * 3);
        for (size_t i = 0; i < texels.size(); i += 3) {
            texels[i] = r;
            texels[i + 1] = g;
            texels[i + 2] = b;
        }
        bindSlotTexture(slot);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 16, 16, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        glDisable(GL_TEXTURE_2D);
    }

    std::vector<unsigned char> frameAt(unsigned ms) {
        show.drawAt(ms, 1.0f);
        return show.frame();
    }
};

TEST_F(Scene9Frames, FadesInFromBlackAndDarkensOnTheSyncs) {
    EXPECT_LE(brightestAt(123000), 1);
    expectQuad(123500, pictureOnly, 0, 0, 0, 0.5f); // the flash of the sync at 123,000 is just over
    expectQuad(124000, pictureOnly, 0, 0, 0, 0.0f);
    expectQuad(125900, pictureOnly, 0, 0, 0, 0.8f); // 100 ms after the sync at 125,800
}

// Pixel counts by hue, over the whole frame.
struct Hues {
    int warm = 0;    // orange blobs: red well above blue
    int cool = 0;    // blue blobs: blue well above red
    int green = 0;   // the test's net image
    int magenta = 0; // the test's block2 image
};

Hues countHues(const std::vector<unsigned char>& rgb) {
    Hues h;
    for (size_t i = 0; i < rgb.size(); i += 3) {
        const int r = rgb[i], g = rgb[i + 1], b = rgb[i + 2];
        if (r > b + 30 && g > b) h.warm++;
        if (b > r + 30 && g > r) h.cool++;
        if (g >= 40 && 4 * r <= g && 4 * b <= g) h.green++;
        if (r >= 40 && b >= 40 && 4 * g <= std::min(r, b)) h.magenta++;
    }
    return h;
}

TEST_F(Scene9Frames, BlobsTurnBlueAt135000AndTheRingsChangeTextureJustAfter) {
    paintSlot(slotNet, 0, 255, 0);
    paintSlot(slotBlock2, 255, 0, 255);
    const int many = 20000, none = 50;

    Hues before = countHues(frameAt(134999));
    EXPECT_GT(before.warm, many);
    EXPECT_LT(before.cool, none);
    EXPECT_GT(before.green, many);
    EXPECT_LT(before.magenta, none);

    Hues at = countHues(frameAt(135000));
    EXPECT_LT(at.warm, none);
    EXPECT_GT(at.cool, many);
    EXPECT_GT(at.green, many);
    EXPECT_LT(at.magenta, none);

    // The sync's flash darkens this frame to 0.2.
    Hues after = countHues(frameAt(135400));
    EXPECT_LT(after.warm, none);
    EXPECT_GT(after.cool, many);
    EXPECT_LT(after.green, none);
    EXPECT_GT(after.magenta, many);
}

// Moves blob 0 to `where` and the others far behind it, and polygonises.
void oneBlobAt(const Point3D& where) {
    for (Point3D& b : Scene9::blobPos) b = Point3D(-100, -100, -100);
    Scene9::blobPos[0] = where;
    Scene9::polygonise();
}

void expectColour(const Rgb& p, int r, int g, int b, int tolerance) {
    EXPECT_NEAR(p.r, r, tolerance);
    EXPECT_NEAR(p.g, g, tolerance);
    EXPECT_NEAR(p.b, b, tolerance);
}

TEST_F(Scene9Frames, FocusMaskDrawsTheBlobsWhiteBeforeAndAfterTheSwitch) {
    show.drawAt(130000, 1.0f);
    oneBlobAt(Point3D(0, 17, 100)); // on the line of sight, 185 units away: no fog
    engine->perspective(platform::renderWidth(), platform::renderHeight());
    demoMS = 130000.0f;
    Scene9::scene9(true);
    expectColour(show.pixel(W / 2, H / 2), 255, 255, 255, 2);
    Scene9::scene9(false);
    expectColour(show.pixel(W / 2, H / 2), 255, 153, 25, 2);
    demoMS = 140000.0f;
    Scene9::scene9(true);
    expectColour(show.pixel(W / 2, H / 2), 255, 255, 255, 2);
    Scene9::scene9(false);
    expectColour(show.pixel(W / 2, H / 2), 25, 153, 255, 2);
}

TEST_F(Scene9Frames, MaskFogsFrom250To300AndThePicturesInheritTheFogFrom200To400) {
    show.drawAt(130000, 1.0f);   // ends with fog off, as every frame does
    oneBlobAt(Point3D(0, 0, 0)); // front surface about 286 units from the eye
    engine->perspective(platform::renderWidth(), platform::renderHeight());
    Scene9::scene9(true);
    expectColour(show.pixel(W / 2, H / 2), 73, 73, 73, 8); // (300 - 286) / 50 of white
    Scene9::scene9(false);
    expectColour(show.pixel(W / 2, H / 2), 146, 87, 15, 4); // (400 - 286) / 200 of orange
}

TEST_F(Scene9Frames, RingsWrapEvery900msWithoutAJump) {
    using testsupport::drawUpdate;
    paintSlot(slotNet, 200, 200, 200); // flat, so that every ring pixel counts
    std::vector<unsigned char> before = drawUpdate(ringsOnly, 126899);  // 179.8 units on
    std::vector<unsigned char> after = drawUpdate(ringsOnly, 126900);   // back to 0
    std::vector<unsigned char> earlier = drawUpdate(ringsOnly, 126854); // 9 units before
    // The near, bright rings land where their neighbours stood; only two far
    // rings enter, dimmed by the fog.
    double wrapChange = 0, slideChange = 0;
    int bright = 0;
    for (size_t i = 0; i < before.size(); i++) {
        if (before[i] < 96) continue;
        bright++;
        wrapChange += std::abs(int(before[i]) - int(after[i]));
        slideChange += std::abs(int(before[i]) - int(earlier[i]));
    }
    ASSERT_GT(bright, 100000);
    EXPECT_LT(wrapChange, 0.1 * slideChange);
}

void laterMoment() {
    demoMS += 600.0f; // the blobs move on
}

TEST_F(Scene9Frames, SmallAndFullDrawingsShowTheSameScene) {
    expectStableDrawings(130000, maskThenPicture, laterMoment, 60);
}

} // namespace
