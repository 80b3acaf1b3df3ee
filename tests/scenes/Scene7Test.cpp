// Scene 7: the camera cut per sync, the blob's and shell's radii, the blob
// restored after every drawing, the fade from black and the agreement of the
// small and full-size drawings.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "app/Timeline.h"
#include "geometry/Mesh.h"
#include "scenes/Scene7.h"
#include "scenes/Scenes.h"
#include "tests/support/AssetFolder.h"
#include "tests/support/SceneFrames.h"
#include "tests/support/ShowRunner.h"

using namespace testsupport;

TEST(Scene7Test, CameraAngleIsWholeRadiansPerSyncModFour) {
    const int expected[4] = {0, 1, 3, 4};
    for (int n = 0; n < 10; n++) {
        for (int k = 0; k < 4; k++) EXPECT_EQ(Scene7::cameraAngle(4 * n + k), expected[k]);
    }
    // The scene's own syncs: 99,000 (index 29), 101,900 (30), 104,800 (31),
    // 107,800 (32). The angle changes only as a sync passes.
    struct Moment {
        float ms;
        int angle;
    };
    const Moment moments[] = {{99000, 0},  {99001, 1},  {101900, 1}, {101901, 3},
                              {104801, 4}, {107801, 0}, {110999, 0}};
    for (const Moment& m : moments) {
        demoMS = m.ms;
        EXPECT_EQ(Scene7::cameraAngle(getSync()), m.angle) << "at " << m.ms << " ms";
    }
}

TEST(Scene7Test, BlobStaysWithin4And16UnitsAndShellWithin60And180) {
    scene7init();
    const Mesh& shell = *Scene7::sphere2;
    for (unsigned i = 0; i < shell.vertexCount; i++) {
        const float r = shell.vertices[i].length();
        ASSERT_GE(r, 60.0f - 1e-3f);
        ASSERT_LE(r, 180.0f + 1e-3f);
    }
    Mesh& blob = *Scene7::sphere;
    for (float t = 99000; t < 111000; t += 1234) {
        blob.pushVertices();
        Scene7::deformBlob(t);
        for (unsigned i = 0; i < blob.vertexCount; i++) {
            const float r = blob.vertices[i].length();
            ASSERT_GE(r, 4.0f - 1e-3f) << "vertex " << i << " at " << t;
            ASSERT_LE(r, 16.0f + 1e-3f) << "vertex " << i << " at " << t;
        }
        blob.popVertices();
    }
}

TEST(Scene7Test, EveryDrawingDeformsTheUnitSphereAfresh) {
    ShowRunner show(assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    Mesh reference;
    reference.makeSphere(1, 48);
    const Mesh& blob = *Scene7::sphere;
    ASSERT_EQ(blob.vertexCount, reference.vertexCount);
    const std::size_t bytes = sizeof(Vector3D) * blob.vertexCount;
    for (unsigned ms : {99000u, 103000u, 103050u}) {
        drawUpdate(scene7update, ms);
        EXPECT_EQ(std::memcmp(blob.vertices, reference.vertices, bytes), 0) << "at " << ms;
    }
}

TEST(Scene7Test, FadesInFromBlack) {
    ShowRunner show(assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    EXPECT_LE(brightest(drawUpdate(scene7update, 99000)), 1);
    EXPECT_GT(brightest(drawUpdate(scene7update, 101000)), 100);
}

TEST(Scene7Test, SmallAndFullDrawingsShowTheSameScene) {
    ShowRunner show(assetsWithoutOverlay());
    ASSERT_TRUE(show.ok());
    const SmallAndFull now = drawSmallAndFullAt(Scene7::scene7, 103000);
    const SmallAndFull later = drawSmallAndFullAt(Scene7::scene7, 103800);
    expectSameScene(now, later, 10.0, 0);
}
