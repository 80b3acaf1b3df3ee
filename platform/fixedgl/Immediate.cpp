// Immediate mode: current values, glBegin/glEnd assembly, the batch of
// gathered vertices and its draw. Each vertex is transformed here into clip
// coordinates with the matrices current when it is given, so consecutive
// primitives share a draw whatever matrices they were given under; quads
// become the two triangles (0, 1, 2) and (0, 2, 3).
#include <GLES2/gl2.h>

#include <cmath>
#include <cstddef>
#include <initializer_list>

#include "platform/fixedgl/Batch.h"
#include "platform/fixedgl/Matrices.h"
#include "platform/fixedgl/Shaders.h"
#include "platform/fixedgl/State.h"

namespace fixedgl {

namespace {

constexpr int batchCapacity = 49152; // vertices: Scene 4's 6,000 quads are 36,000

Vertex batch[batchCapacity];
int batchCount = 0;
GLenum batchMode = GL_TRIANGLES; // GL_TRIANGLES or GL_POINTS
GLuint vertexBuffer = 0;

// The primitive between glBegin and glEnd.
struct Assembly {
    bool open;
    GLenum primitive;
    int count; // vertices of the unfinished primitive
    Vertex corners[4];
};
Assembly assembly;

float clamped(float v) {
    return v < 0 ? 0 : v > 1 ? 1 : v;
}

// Space for `count` more vertices, drawing the batch first when it is full.
Vertex* reserve(int count) {
    if (batchCount + count > batchCapacity) flush();
    Vertex* v = batch + batchCount;
    batchCount += count;
    return v;
}

void emit(std::initializer_list<int> corners) {
    Vertex* v = reserve(int(corners.size()));
    for (int c : corners) *v++ = assembly.corners[c];
}

// GL 1.1 draws a point on the pixel its window coordinates truncate to; an
// ES 2.0 point covers the pixel centres within half a pixel of it, which
// for a whole coordinate is the pixel below. Moved up and right by a small
// fraction of a pixel, every point covers the pixel GL's does.
void nudgePoint(Vertex& v) {
    constexpr float nudge = 1.0f / 256; // pixels
    v.position[0] += 2 * nudge / float(state.viewport[2]) * v.position[3];
    v.position[1] += 2 * nudge / float(state.viewport[3]) * v.position[3];
}

void vertex(float x, float y, float z) {
    if (!assembly.open) return recordError(GL_INVALID_OPERATION);
    Vertex& v = assembly.corners[assembly.count++];
    const float* m = modelviewProjection();
    for (int row = 0; row < 4; row++) {
        v.position[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    }
    const float* e = modelview();
    v.fogCoord = std::fabs(e[2] * x + e[6] * y + e[10] * z + e[14]);
    for (int i = 0; i < 4; i++) v.colour[i] = clamped(state.colour[i]);
    for (int unit = 0; unit < unitCount; unit++) {
        v.texCoord[unit][0] = state.texCoord[unit][0];
        v.texCoord[unit][1] = state.texCoord[unit][1];
    }
    if (assembly.primitive == GL_POINTS) {
        nudgePoint(v);
        emit({0});
    } else if (assembly.primitive == GL_TRIANGLES && assembly.count == 3) {
        emit({0, 1, 2});
    } else if (assembly.primitive == GL_QUADS && assembly.count == 4) {
        emit({0, 1, 2, 0, 2, 3});
    } else {
        return;
    }
    assembly.count = 0;
}

void pointAttribute(Attribute attribute, int size, size_t offset) {
    ::glEnableVertexAttribArray(attribute);
    ::glVertexAttribPointer(attribute, size, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                            reinterpret_cast<const void*>(offset));
}

} // namespace

void startBatch() {
    batchCount = 0;
    batchMode = GL_TRIANGLES;
    assembly = Assembly{};
    ::glGenBuffers(1, &vertexBuffer);
    ::glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    ::glBufferData(GL_ARRAY_BUFFER, sizeof batch, nullptr, GL_STREAM_DRAW);
}

void flush() {
    if (batchCount == 0) return;
    const int count = batchCount;
    batchCount = 0;
    if (!useProgram()) return recordError(GL_INVALID_OPERATION);
    // Bound and pointed at each draw: the platform may draw with buffers of its own.
    ::glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    ::glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(sizeof(Vertex)) * count, batch);
    pointAttribute(positionAttribute, 4, offsetof(Vertex, position));
    pointAttribute(colourAttribute, 4, offsetof(Vertex, colour));
    pointAttribute(texCoord0Attribute, 2, offsetof(Vertex, texCoord));
    pointAttribute(texCoord1Attribute, 2, offsetof(Vertex, texCoord) + 2 * sizeof(float));
    pointAttribute(fogAttribute, 1, offsetof(Vertex, fogCoord));
    ::glDrawArrays(batchMode, 0, count);
    counting.drawCalls++;
}

void glBegin(GLenum mode) {
    if (assembly.open) return recordError(GL_INVALID_OPERATION);
    if (mode != GL_POINTS && mode != GL_TRIANGLES && mode != GL_QUADS) {
        return recordError(GL_INVALID_ENUM);
    }
    const GLenum drawMode = mode == GL_POINTS ? GL_POINTS : GL_TRIANGLES;
    if (drawMode != batchMode) {
        flush();
        batchMode = drawMode;
    }
    assembly.open = true;
    assembly.primitive = mode;
    assembly.count = 0;
}

void glEnd() {
    if (!assembly.open) return recordError(GL_INVALID_OPERATION);
    // An unfinished primitive draws nothing; the batch waits for more.
    assembly.open = false;
}

void glVertex2f(GLfloat x, GLfloat y) {
    vertex(x, y, 0);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    vertex(x, y, z);
}

void glVertex3i(GLint x, GLint y, GLint z) {
    vertex(float(x), float(y), float(z));
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    glColor4f(r, g, b, 1);
}

void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    state.colour[0] = r;
    state.colour[1] = g;
    state.colour[2] = b;
    state.colour[3] = a;
}

void glTexCoord2f(GLfloat s, GLfloat t) {
    glMultiTexCoord2fARB(GL_TEXTURE0, s, t);
}

void glMultiTexCoord2fARB(GLenum unit, GLfloat s, GLfloat t) {
    if (unit < GL_TEXTURE0 || unit >= GL_TEXTURE0 + unitCount) return recordError(GL_INVALID_ENUM);
    state.texCoord[unit - GL_TEXTURE0][0] = s;
    state.texCoord[unit - GL_TEXTURE0][1] = t;
}

} // namespace fixedgl
