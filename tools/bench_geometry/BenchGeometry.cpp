// Prints the CPU cost of the geometry work done every frame: deforming a
// 48-segment sphere (save, move, recompute normals, restore) and evaluating
// points and side vectors on a Bezier curve. No GL; figures only.
#include <chrono>
#include <cmath>
#include <cstdio>

#include "geometry/Curve.h"
#include "geometry/Mesh.h"
#include "tools/common/CommandLine.h"
#include "tools/common/OutputFile.h"

namespace {

const Usage usage = {"bench_geometry", "usage: bench_geometry\n",
                     "Prints the CPU time of a per-frame sphere deformation with its normals and\n"
                     "of curve evaluation.\n"};

template <class Work>
double microsecondsPerRun(int runs, Work work) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; i++) work(i);
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / runs;
}

} // namespace

int main(int argc, char** argv) {
    if (asksForHelp(argc, argv)) return printHelp(usage);
    if (argc > 1) return usageError(usage, unknownArgument(argv[1]));
    Mesh sphere;
    sphere.makeSphere(1.0f, 48);
    sphere.createNormals();
    const double deform = microsecondsPerRun(500, [&](int frame) {
        sphere.pushVertices();
        for (unsigned v = 0; v < sphere.vertexCount; v++)
            sphere.vertices[v] *= 1.0f + 0.1f * sinf(float(v + frame) * 0.01f);
        sphere.createNormals();
        sphere.popVertices();
    });
    std::printf("bench_geometry: sphere(1, 48) deform + createNormals: %.1f us per frame "
                "(%u vertices, %u triangles)\n",
                deform, sphere.vertexCount, sphere.faceCount);

    const Curve path(Vector3D(0, 0, 0), Vector3D(10, 5, -3), Vector3D(20, -5, 8), Vector3D(30, 0, 2));
    volatile float sink = 0.0f;
    const double curve = microsecondsPerRun(100000, [&](int i) {
        const float t = float(i % 1000) / 1000.0f;
        sink = sink + path.vReturnPoint(t).x + path.curveSideVec(t).z;
    });
    std::printf("bench_geometry: vReturnPoint + curveSideVec: %.3f us per call pair\n", curve);
    return checkedExit("bench_geometry", 0);
}
