// The programs that draw the batches: one per combination of the two
// texture stages and the fog mode, generated from the state, built the
// first time that combination draws and kept for the context's life.
#pragma once

namespace fixedgl {

// Binds the program for the current state, with its fog uniforms up to
// date; false when it cannot be built.
bool useProgram();

} // namespace fixedgl
