// The two matrix stacks' tops, column-major as GL stores them, for the
// vertex transform and the matrix queries.
#pragma once

namespace fixedgl {

const float* modelview();
const float* projection();
// projection() x modelview(), recomputed after either changed.
const float* modelviewProjection();

} // namespace fixedgl
