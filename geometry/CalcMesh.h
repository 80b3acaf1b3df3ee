// Marching-cubes polygoniser that follows a SphereSurface's iso-surface from
// a seed cube through shared faces, so the work grows with the surface, not
// the volume. Writes triangles (three Point3D each, counter-clockwise seen
// from outside) into a caller-owned buffer, never past its capacity: a cube
// whose triangles do not fit is dropped with the rest of the walk.
#pragma once

#include "geometry/MetaballGrid.h"
#include "geometry/Vector3D.h"

class SphereSurface;

class CalcMesh {
public:
    Point3D halfSize;       // box size / 2; inside is -halfSize .. halfSize - 1
    Point3D cellSize;       // box size / cells, world units per axis
    SphereSurface* surface; // the field, not owned
    int cells;              // cells per axis
    int cellCount;          // cells³
    unsigned char* visited; // cellCount flags, 1 = processed since reset; owned
    Point3D* vertices;      // output triangles, not owned
    int vertexCount;        // vertices written since reset, a multiple of 3
    int capacity;           // vertices the output buffer holds
    bool dropped;           // a cube's triangles did not fit since reset

    // capacity < 0 means cells³ × 8 vertices.
    CalcMesh(Point3D boxSize, int cells, SphereSurface* surface, Point3D* vertices, int capacity = -1);
    ~CalcMesh();
    CalcMesh(const CalcMesh&) = delete;
    CalcMesh& operator=(const CalcMesh&) = delete;

    // Clears every visited flag, the output count and the dropped flag.
    void reset();

    // Case index 0..255 of the eight corners: bit k set when corner k is
    // outside the surface.
    int getIndex(const Point3D* corners);

    // Appends the triangles of case i (0 to 5) for these corners; appends
    // nothing and sets dropped when they would not fit.
    void triangulate(const Point3D* corners, int i);

    // Walks from the anchor (x, y, z) toward -x one cell at a time and
    // returns the x where it stopped: the first cube that is not all inside,
    // a processed cell, or the left of the box. An anchor outside the box is
    // returned unchanged.
    int getCube(int x, int y, int z);

    // Polygonises every surface cube reachable from the cube anchored at
    // (x, y, z) through face neighbours, depth first (-x, +x, -y, +y, -z,
    // +z), each cell at most once between resets. Uses an explicit stack, so
    // no surface can exhaust the thread's stack.
    void generate(int x, int y, int z);

private:
    struct Frame {
        int x, y, z; // anchor of a processed surface cube
        int index;   // its cell index
        int next;    // next neighbour to try, 0..6
    };
    Frame* stack;                 // one frame per processed surface cell at most: cellCount
    metaball::CellIndexer cellOf; // visited index of a point inside the box
    Point3D neighbourStep[6];     // the face neighbours in walk order: -x +x -y +y -z +z
    bool sharedGrid;              // the surface's cells are ours: cubePotentials applies
    bool uniform;                 // a neighbour's index is its cell's plus neighbourIndexStep
    int neighbourIndexStep[6];

    // Case index of the corners' potentials (bit k: corner k outside).
    int caseOf(const float* potential) const;

    // Appends the triangles of case i, each crossing from the corners'
    // potentials, or from the surface's getIntersection when potential is
    // null.
    void emit(const Point3D* corners, int i, const float* potential);

    // Marks and polygonises the cube anchored at (x, y, z), inside the box,
    // whose cell index is index; true when it has surface (and its
    // neighbours must be followed).
    bool visit(int x, int y, int z, int index);
};
