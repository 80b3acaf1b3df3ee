// The comparison cases of the fixed-function layer, compiled twice from
// Cases.h: against real OpenGL 1.1 and GLU (DesktopCases.cpp) and against
// the layer (LayerCases.cpp). Each case starts from GL's initial state on a
// 128 x 128 frame.
#pragma once

#include <vector>

namespace fixedgltest {

constexpr int frameSide = 128; // pixels

struct DrawCase {
    const char* name;
    void (*draw)();
};

// Values read back with glGetFloatv, glGetIntegerv and glIsEnabled.
struct QueryCase {
    const char* name;
    void (*query)(std::vector<float>& values);
};

struct CaseTables {
    // Readies the current context: the show's own start-up of that GL
    // (platform::loadGLExtensions, fixedgl::start). nullptr, or what it lacks.
    const char* (*start)();
    const DrawCase* draws;
    int drawCount;
    const QueryCase* queries;
    int queryCount;
    unsigned (*error)(); // glGetError of the same GL
};

namespace desktop {
extern const CaseTables tables;
}
namespace layer {
extern const CaseTables tables;
}

} // namespace fixedgltest
