// The marching-cubes case tables. A case index has bit k set when corner k
// of the cube (numbered as in MetaballGrid.h) lies outside the surface.
// edgeTab[case]: bit e set when edge e is cut; triTab[case]: up to five
// triangles as triples of edge numbers, then -1 to the end of the row.
#pragma once

extern const int edgeTab[256];
extern const int triTab[256][16];

// Start and end corner of each of the twelve edges; a crossing is
// interpolated from the start corner toward the end corner.
extern const int cubeEdgeCorners[12][2];

// The axis each edge runs along: 0 x, 1 y, 2 z.
extern const int cubeEdgeAxis[12];
