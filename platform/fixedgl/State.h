// The layer's record of the OpenGL 1.1 state, shared by its source files.
// The parts ES 2.0 also has (enables, blending, depth, viewport, scissor,
// clear colour, texture bindings) are mirrored onto the ES context as they
// change; the rest (current values, fog, texture environments, matrices)
// becomes vertex data, program choice and uniforms when a batch is drawn.
// Every change to what the gathered vertices draw with flushes them first.
#pragma once

#include <GLES2/gl2.h>

#include "platform/fixedgl/FixedGL.h"

namespace fixedgl {

constexpr int unitCount = 2; // texture units (ARB_multitexture)

struct TextureUnit {
    bool enabled;      // GL_TEXTURE_2D on this unit
    GLuint bound;      // name of the 2-D texture bound to it
    GLenum envMode;    // GL_TEXTURE_ENV_MODE: GL_MODULATE, GL_REPLACE, GL_ADD, GL_COMBINE_ARB
    GLenum combineRgb; // GL_COMBINE_RGB_ARB: GL_MODULATE, GL_REPLACE, GL_ADD
};

struct Fog {
    GLenum mode; // GL_LINEAR or GL_EXP
    float colour[4];
    float density, start, end; // start and end: eye distances
};

// Everything glPushAttrib(GL_ALL_ATTRIB_BITS) saves of the subset.
struct ServerState {
    float colour[4];              // current colour, as given (clamped per vertex)
    float texCoord[unitCount][2]; // current texture coordinates
    bool blend, depthTest, cullFace, scissorTest, fog, lighting;
    GLenum blendSource, blendDestination;
    GLenum depthFunc;
    bool depthMask;
    float clearColour[4];
    GLint viewport[4], scissorBox[4]; // x, y, width, height in pixels
    GLenum matrixMode;
    Fog fogParams;
    TextureUnit units[unitCount];
    int activeUnit;
};

// What glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS) saves of the subset.
struct ClientState {
    GLint unpackAlignment, packAlignment; // bytes
};

extern ServerState state;
extern ClientState client;
extern Counters counting;

// Keeps the first error since the last glGetError, as GL does.
void recordError(GLenum error);

// Start-up of each part on a fresh context.
void startBatch();
void startMatrices();
void startPrograms();
void startTextures();

} // namespace fixedgl
