// The state record: start-up, the capabilities, blending, depth, viewport,
// scissor and clears mirrored onto ES 2.0, fog, queries and the attribute
// stacks.
#include <GLES2/gl2.h>

#include "platform/fixedgl/State.h"

#include <cstring>

#include "platform/fixedgl/Matrices.h"

namespace fixedgl {

ServerState state;
ClientState client;
Counters counting;

namespace {

GLenum firstError = GL_NO_ERROR;

constexpr int attribDepth = 16; // GL's least for both attribute stacks
ServerState serverStack[attribDepth];
ClientState clientStack[attribDepth];
int serverDepth = 0, clientDepth = 0;

// The record's flag for a capability, or nullptr for one outside the subset.
bool* flagOf(GLenum cap) {
    switch (cap) {
    case GL_BLEND: return &state.blend;
    case GL_DEPTH_TEST: return &state.depthTest;
    case GL_CULL_FACE: return &state.cullFace;
    case GL_SCISSOR_TEST: return &state.scissorTest;
    case GL_FOG: return &state.fog;
    case GL_LIGHTING: return &state.lighting;
    case GL_TEXTURE_2D: return &state.units[state.activeUnit].enabled;
    default: return nullptr;
    }
}

void mirrorCap(GLenum cap, bool on) {
    if (on) {
        ::glEnable(cap);
    } else {
        ::glDisable(cap);
    }
}

void setCap(GLenum cap, bool on) {
    bool* flag = flagOf(cap);
    if (!flag) return recordError(GL_INVALID_ENUM);
    if (*flag == on) return;
    flush();
    *flag = on;
    // Fog, lighting and texturing are the layer's own: they choose the program.
    if (cap != GL_FOG && cap != GL_LIGHTING && cap != GL_TEXTURE_2D) mirrorCap(cap, on);
}

// Puts the whole mirrored part of the record onto the ES context.
void mirrorState() {
    mirrorCap(GL_BLEND, state.blend);
    mirrorCap(GL_DEPTH_TEST, state.depthTest);
    mirrorCap(GL_CULL_FACE, state.cullFace);
    mirrorCap(GL_SCISSOR_TEST, state.scissorTest);
    ::glBlendFunc(state.blendSource, state.blendDestination);
    ::glDepthFunc(state.depthFunc);
    ::glDepthMask(state.depthMask);
    const float* c = state.clearColour;
    ::glClearColor(c[0], c[1], c[2], c[3]);
    const GLint* v = state.viewport;
    ::glViewport(v[0], v[1], v[2], v[3]);
    const GLint* s = state.scissorBox;
    ::glScissor(s[0], s[1], s[2], s[3]);
    for (int unit = 0; unit < unitCount; unit++) {
        ::glActiveTexture(GLenum(GL_TEXTURE0 + unit));
        ::glBindTexture(GL_TEXTURE_2D, state.units[unit].bound);
    }
    ::glActiveTexture(GLenum(GL_TEXTURE0 + state.activeUnit));
}

// Records a new viewport or scissor box, drawing what was gathered under the
// old one first; false, with nothing done, when it is the box in force.
bool changeBox(GLint* box, GLint x, GLint y, GLsizei width, GLsizei height) {
    if (box[0] == x && box[1] == y && box[2] == width && box[3] == height) return false;
    flush();
    box[0] = x;
    box[1] = y;
    box[2] = width;
    box[3] = height;
    return true;
}

void setFog(GLenum pname, const GLfloat* values) {
    Fog next = state.fogParams;
    switch (pname) {
    case GL_FOG_MODE:
        if (values[0] != float(GL_LINEAR) && values[0] != float(GL_EXP)) {
            return recordError(GL_INVALID_ENUM);
        }
        next.mode = GLenum(values[0]);
        break;
    case GL_FOG_DENSITY:
        if (values[0] < 0) return recordError(GL_INVALID_VALUE);
        next.density = values[0];
        break;
    case GL_FOG_START: next.start = values[0]; break;
    case GL_FOG_END: next.end = values[0]; break;
    case GL_FOG_COLOR:
        // Clamped when given, as GL does.
        for (int i = 0; i < 4; i++) next.colour[i] = values[i] < 0 ? 0 : values[i] > 1 ? 1 : values[i];
        break;
    default: return recordError(GL_INVALID_ENUM);
    }
    if (std::memcmp(&next, &state.fogParams, sizeof next) == 0) return;
    flush();
    state.fogParams = next;
}

} // namespace

void recordError(GLenum error) {
    if (firstError == GL_NO_ERROR) firstError = error;
}

const char* start() {
    state = ServerState{};
    for (float& c : state.colour) c = 1;
    state.blendSource = GL_ONE;
    state.blendDestination = GL_ZERO;
    state.depthFunc = GL_LESS;
    state.depthMask = true;
    // The viewport and scissor box start as the drawable's size, which the
    // ES context has set already.
    ::glGetIntegerv(GL_VIEWPORT, state.viewport);
    ::glGetIntegerv(GL_SCISSOR_BOX, state.scissorBox);
    state.matrixMode = GL_MODELVIEW;
    state.fogParams = {GL_EXP, {0, 0, 0, 0}, 1, 0, 1};
    for (TextureUnit& unit : state.units) unit = {false, 0, GL_MODULATE, GL_MODULATE};
    client = {4, 4};
    serverDepth = clientDepth = 0;
    firstError = GL_NO_ERROR;
    counting = Counters{};
    mirrorState();

    GLint units = 0;
    ::glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &units);
    if (units < unitCount) return "two texture units";
    startMatrices();
    startTextures();
    startBatch();
    startPrograms();
    if (counting.programsBuilt == 0) return "OpenGL ES 2.0 shaders the layer can build";
    return nullptr;
}

const Counters& counters() {
    return counting;
}

void glEnable(GLenum cap) {
    setCap(cap, true);
}

void glDisable(GLenum cap) {
    setCap(cap, false);
}

GLboolean glIsEnabled(GLenum cap) {
    const bool* flag = flagOf(cap);
    if (!flag) {
        recordError(GL_INVALID_ENUM);
        return GL_FALSE;
    }
    return *flag ? GL_TRUE : GL_FALSE;
}

void glBlendFunc(GLenum source, GLenum destination) {
    if (source == state.blendSource && destination == state.blendDestination) return;
    flush();
    state.blendSource = source;
    state.blendDestination = destination;
    ::glBlendFunc(source, destination);
}

void glDepthFunc(GLenum func) {
    if (func == state.depthFunc) return;
    flush();
    state.depthFunc = func;
    ::glDepthFunc(func);
}

void glDepthMask(GLboolean flag) {
    if (bool(flag) == state.depthMask) return;
    flush();
    state.depthMask = flag;
    ::glDepthMask(flag);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (changeBox(state.viewport, x, y, width, height)) ::glViewport(x, y, width, height);
}

void glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (changeBox(state.scissorBox, x, y, width, height)) ::glScissor(x, y, width, height);
}

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    const float next[4] = {r, g, b, a};
    if (std::memcmp(next, state.clearColour, sizeof next) == 0) return;
    std::memcpy(state.clearColour, next, sizeof next); // the gathered vertices do not read it
    ::glClearColor(r, g, b, a);
}

void glClear(GLbitfield mask) {
    flush();
    ::glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT));
}

void glShadeModel(GLenum mode) {
    // Colours are interpolated across every primitive: smooth shading, GL's
    // initial mode and the only one the show sets.
    if (mode != GL_SMOOTH) recordError(GL_INVALID_ENUM);
}

void glHint(GLenum, GLenum) {
    // Hints ask for quality the layer's drawing does not vary.
}

void glFogf(GLenum pname, GLfloat value) {
    setFog(pname, &value);
}

void glFogfv(GLenum pname, const GLfloat* values) {
    setFog(pname, values);
}

void glFogi(GLenum pname, GLint value) {
    const GLfloat v = GLfloat(value);
    setFog(pname, &v);
}

void glGetIntegerv(GLenum pname, GLint* values) {
    switch (pname) {
    case GL_VIEWPORT: std::memcpy(values, state.viewport, sizeof state.viewport); return;
    case GL_SCISSOR_BOX: std::memcpy(values, state.scissorBox, sizeof state.scissorBox); return;
    case GL_MATRIX_MODE: values[0] = GLint(state.matrixMode); return;
    case GL_UNPACK_ALIGNMENT: values[0] = client.unpackAlignment; return;
    case GL_PACK_ALIGNMENT: values[0] = client.packAlignment; return;
    default: ::glGetIntegerv(pname, values); // the context's limits
    }
}

void glGetFloatv(GLenum pname, GLfloat* values) {
    switch (pname) {
    case GL_MODELVIEW_MATRIX: std::memcpy(values, modelview(), 16 * sizeof(float)); return;
    case GL_PROJECTION_MATRIX: std::memcpy(values, projection(), 16 * sizeof(float)); return;
    default: ::glGetFloatv(pname, values);
    }
}

void glPushAttrib(GLbitfield mask) {
    if (mask != GL_ALL_ATTRIB_BITS) return recordError(GL_INVALID_VALUE);
    if (serverDepth == attribDepth) return recordError(GL_STACK_OVERFLOW);
    serverStack[serverDepth++] = state;
}

void glPopAttrib() {
    if (serverDepth == 0) return recordError(GL_STACK_UNDERFLOW);
    flush();
    state = serverStack[--serverDepth];
    mirrorState();
}

void glPushClientAttrib(GLbitfield mask) {
    if (mask != GL_CLIENT_ALL_ATTRIB_BITS) return recordError(GL_INVALID_VALUE);
    if (clientDepth == attribDepth) return recordError(GL_STACK_OVERFLOW);
    clientStack[clientDepth++] = client;
}

void glPopClientAttrib() {
    if (clientDepth == 0) return recordError(GL_STACK_UNDERFLOW);
    client = clientStack[--clientDepth];
}

GLenum glGetError() {
    const GLenum own = firstError;
    firstError = GL_NO_ERROR;
    return own != GL_NO_ERROR ? own : ::glGetError();
}

} // namespace fixedgl
