// Times the polygonisation of Scene 9's eight blobs over the scene's span
// of music (one frame every 10 ms): the surface
// following CalcMesh against a plain marching-cubes scan of all 29³ cells of
// the same field. Prints the median and 95th percentile per frame and the
// ratio. Each frame's figure is the least of 5 runs of this thread's CPU
// time, so that a busy shared machine disturbs the figures less.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "geometry/CalcMesh.h"
#include "geometry/MarchingCubesTables.h"
#include "geometry/MetaballGrid.h"
#include "geometry/SphereSurface.h"
#include "scenes/SceneTable.h"
#include "tools/common/CommandLine.h"
#include "tools/common/OutputFile.h"

namespace {

const Usage usage = {"bench_polygonise", "usage: bench_polygonise\n",
                     "Prints the time per frame of Scene 9's metaball surface, found by following\n"
                     "it (CalcMesh) and by a full marching-cubes scan of the same field.\n"};

constexpr int scene9 = 8; // Scene 9's entry in sceneTable

const int nCells = 29;
const int cubeSide = 9;
const int blobRadius = 18;
const int blobCount = 8;
const Point3D spaceSize(cubeSide* nCells, cubeSide* nCells, cubeSide* nCells);
const int capacity = nCells * nCells * nCells * 8;

// Scene 9's blob motion at music time t (ms).
void moveBlobs(Point3D* blobs, float t) {
    for (int i = 0; i < blobCount; ++i)
        blobs[i] = Point3D(static_cast<int>(60.0f * sinf(t / 800.0f + 1.5f * i)),
                           static_cast<int>(60.0f * sinf(t / 1200.0f + 1.2f * i)),
                           static_cast<int>(60.0f * sinf(t / 500.0f + static_cast<float>(i))));
}

// The baseline: samples the field once at every lattice point of the box
// (30³ points) and marches every cell with the same tables and crossings.
// Two ways to sample: through SphereSurface::getPotential (the same field
// code the walk uses, so only the algorithm differs), or with the
// benchmark's own loop over a compile-time count of 8 blobs, which the
// compiler unrolls (the fastest plain scan; equal values, checked at start:
// every lattice point is alone in its cell).
class FullScan {
public:
    FullScan(SphereSurface* surf, const Point3D* blobs, Point3D* out)
        : surf(surf),
          blobs(blobs),
          threshold(surf->threshold),
          out(out),
          potential(points * points * points) {}

    int run(bool ownLoop) {
        if (ownLoop) {
            sample();
        } else {
            surf->clearCache();
            for (int k = 0; k < points; ++k)
                for (int j = 0; j < points; ++j)
                    for (int i = 0; i < points; ++i)
                        potential[at(i, j, k)] = surf->getPotential(world(i, j, k));
        }
        int count = 0;
        for (int k = 0; k < nCells; ++k)
            for (int j = 0; j < nCells; ++j)
                for (int i = 0; i < nCells; ++i) count = march(i, j, k + 1, count);
        return count;
    }

    // Lattice points whose own-loop sample differs from the field's value.
    int mismatches() {
        sample();
        surf->clearCache();
        int wrong = 0;
        for (int k = 0; k < points; ++k)
            for (int j = 0; j < points; ++j)
                for (int i = 0; i < points; ++i)
                    wrong += surf->getPotential(world(i, j, k)) != potential[at(i, j, k)];
        return wrong;
    }

private:
    static const int points = nCells + 1;
    SphereSurface* surf;
    const Point3D* blobs;
    float threshold;
    Point3D* out;
    std::vector<float> potential;

    void sample() {
        const Point3D half = metaball::halfSizeOf(spaceSize);
        for (int k = 0; k < points; ++k)
            for (int j = 0; j < points; ++j)
                for (int i = 0; i < points; ++i) {
                    const Point3D p = world(i, j, k);
                    float sum = -1.0f; // outside the box
                    if (metaball::insideBox(p.x, p.y, p.z, half)) {
                        sum = 0.0f;
                        for (int b = 0; b < blobCount; ++b) {
                            const int dx = p.x - blobs[b].x, dy = p.y - blobs[b].y,
                                      dz = p.z - blobs[b].z;
                            sum += 1.0f / static_cast<float>(dx * dx + dy * dy + dz * dz + 1);
                        }
                    }
                    potential[at(i, j, k)] = sum;
                }
    }

    static int at(int i, int j, int k) { return (k * points + j) * points + i; }
    static Point3D world(int i, int j, int k) {
        const Point3D half = metaball::halfSizeOf(spaceSize);
        return Point3D(i * cubeSide - half.x, j * cubeSide - half.y, k * cubeSide - half.z);
    }

    // One cube, anchored at lattice point (i, j, k) and reaching toward -z.
    int march(int i, int j, int k, int count) {
        const metaball::CubeCorners cube(i, j, k, Point3D(1, 1, 1));
        float p[8];
        int index = 0;
        for (int c = 0; c < 8; ++c) {
            const Point3D& q = cube.corner[c];
            p[c] = potential[at(q.x, q.y, q.z)];
            if (p[c] < threshold) index |= 1 << c;
        }
        if (edgeTab[index] == 0) return count;
        for (int n = 0; n < 16 && triTab[index][n] != -1 && count + 3 <= capacity; n += 3)
            for (int v = 2; v >= 0; --v) {
                const int e = triTab[index][n + v];
                const int a = cubeEdgeCorners[e][0], b = cubeEdgeCorners[e][1];
                const Point3D& qa = cube.corner[a];
                const Point3D& qb = cube.corner[b];
                out[count++] = metaball::axisCrossing(world(qa.x, qa.y, qa.z), world(qb.x, qb.y, qb.z),
                                                      p[a], p[b], threshold, cubeEdgeAxis[e]);
            }
        return count;
    }
};

double percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(q * static_cast<double>(v.size() - 1) + 0.5)];
}

double threadMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// The least CPU time of `runs` runs of the work, in ms.
template <typename F>
double millisecondsOf(F work, int runs = 5) {
    double best = 1e30;
    for (int r = 0; r < runs; ++r) {
        const double start = threadMilliseconds();
        work();
        best = std::min(best, threadMilliseconds() - start);
    }
    return best;
}

struct Row {
    const char* name;
    std::vector<double> ms;
    double vertices = 0.0;
};

void print(const Row& row, const Row& follow) {
    const double median = percentile(row.ms, 0.5), p95 = percentile(row.ms, 0.95);
    const double frames = static_cast<double>(row.ms.size());
    if (&row == &follow) {
        std::printf("| %-34s | %9.4f | %7.4f | %8.0f |            |\n", row.name, median, p95,
                    row.vertices / frames);
    } else {
        std::printf("| %-34s | %9.4f | %7.4f | %8.0f | %9.1fx |\n", row.name, median, p95,
                    row.vertices / frames, median / percentile(follow.ms, 0.5));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (asksForHelp(argc, argv)) return printHelp(usage);
    if (argc > 1) return usageError(usage, unknownArgument(argv[1]));
    std::vector<Point3D> blobs(blobCount, Point3D(0, 0, 0));
    std::vector<Point3D> mesh(capacity, Point3D(0, 0, 0));
    std::vector<Point3D> scanMesh(capacity, Point3D(0, 0, 0));
    SphereSurface surf(blobCount, blobRadius, nCells, spaceSize, blobs.data());
    CalcMesh surfMesh(spaceSize, nCells, &surf, mesh.data());
    FullScan scan(&surf, blobs.data(), scanMesh.data());
    moveBlobs(blobs.data(), 130000.0f);
    if (const int wrong = scan.mismatches())
        std::printf("warning: the baseline's own loop differs from SphereSurface at %d points\n", wrong);

    Row follow{"surface following (CalcMesh)", {}}, viaField{"full scan, field via getPotential", {}},
        ownLoop{"full scan, own 8-blob loop", {}};
    int dropped = 0;
    const int first = sceneTable[scene9].startMs, last = sceneEndMs(scene9), step = 10;
    for (int t = first; t <= last; t += step) {
        moveBlobs(blobs.data(), static_cast<float>(t));
        follow.ms.push_back(millisecondsOf([&] {
            surfMesh.reset();
            surf.clearCache();
            for (const Point3D& b : blobs)
                surfMesh.generate(surfMesh.getCube(b.x + 17, b.y, b.z), b.y, b.z);
        }));
        follow.vertices += surfMesh.vertexCount;
        dropped += surfMesh.dropped ? 1 : 0;
        for (Row* row : {&viaField, &ownLoop}) {
            int count = 0;
            row->ms.push_back(millisecondsOf([&] { count = scan.run(row == &ownLoop); }));
            row->vertices += count;
        }
    }
    std::printf(
        "bench_polygonise: Scene 9, %d blobs, %zu frames (%d..%d ms every %d ms); per frame the least\n"
        "thread CPU time of 5 runs\n",
        blobCount, follow.ms.size(), first, last, step);
    std::printf("| %-34s | median ms | p95 ms  | vertices | full/follow |\n", "method");
    std::printf(
        "|------------------------------------|-----------|---------|----------|------------|\n");
    for (const Row* row : {&follow, &viaField, &ownLoop}) print(*row, follow);
    const double ratio = percentile(viaField.ms, 0.5) / percentile(follow.ms, 0.5);
    std::printf("goal (same field, following at least 5x faster than the full scan): %s (%.1fx)\n",
                ratio >= 5.0 ? "met" : "NOT met", ratio);
    if (dropped) std::printf("warning: %d frames did not fit the vertex buffer\n", dropped);
    return checkedExit("bench_polygonise", 0);
}
