// The vertices gathered for one draw: what each carries to the program.
#pragma once

#include "platform/fixedgl/State.h"

namespace fixedgl {

struct Vertex {
    float position[4];            // clip coordinates
    float colour[4];              // the current colour, clamped to [0, 1]
    float texCoord[unitCount][2]; // both units' current coordinates
    float fogCoord;               // eye-space distance along z, |z_eye|
};

// Attribute locations, bound before each program links.
enum Attribute {
    positionAttribute,
    colourAttribute,
    texCoord0Attribute,
    texCoord1Attribute,
    fogAttribute
};

} // namespace fixedgl
