// The modelview and projection stacks and the operations on their tops,
// in single precision as GL keeps them; GLU's perspective and look-at
// matrices, built as GLU builds them and multiplied onto the current top.
#include <GLES2/gl2.h>

#include "platform/fixedgl/Matrices.h"

#include <cmath>
#include <cstring>

#include "platform/fixedgl/State.h"

namespace fixedgl {

namespace {

constexpr int stackDepth = 32; // entries of each stack, GL's least for the modelview

struct MatrixStack {
    float entries[stackDepth][16];
    int top;
};

MatrixStack stacks[2]; // modelview, projection
float product[16];     // projection x modelview
bool productStale = true;

const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

MatrixStack& currentStack() {
    return stacks[state.matrixMode == GL_PROJECTION ? 1 : 0];
}

float* current() {
    MatrixStack& s = currentStack();
    return s.entries[s.top];
}

// out = a x b, column-major; out may be a or b.
void multiply(float* out, const float* a, const float* b) {
    float p[16];
    for (int row = 0; row < 4; row++) {
        const float a0 = a[row], a1 = a[4 + row], a2 = a[8 + row], a3 = a[12 + row];
        for (int column = 0; column < 4; column++) {
            const float* bc = b + 4 * column;
            p[4 * column + row] = a0 * bc[0] + a1 * bc[1] + a2 * bc[2] + a3 * bc[3];
        }
    }
    std::memcpy(out, p, sizeof p);
}

void multiplyCurrent(const float* m) {
    float* top = current();
    multiply(top, top, m);
    productStale = true;
}

void translateCurrent(float x, float y, float z) {
    float* m = current();
    for (int row = 0; row < 4; row++) m[12 + row] += m[row] * x + m[4 + row] * y + m[8 + row] * z;
    productStale = true;
}

// Scales v to unit length; false, leaving it, for the zero vector.
bool normalise(float* v) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0) return false;
    for (int i = 0; i < 3; i++) v[i] /= length;
    return true;
}

void cross(const float* a, const float* b, float* out) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

} // namespace

void startMatrices() {
    for (MatrixStack& s : stacks) {
        s.top = 0;
        std::memcpy(s.entries[0], identity, sizeof identity);
    }
    productStale = true;
}

const float* modelview() {
    return stacks[0].entries[stacks[0].top];
}

const float* projection() {
    return stacks[1].entries[stacks[1].top];
}

const float* modelviewProjection() {
    if (productStale) multiply(product, projection(), modelview());
    productStale = false;
    return product;
}

void glMatrixMode(GLenum mode) {
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION) return recordError(GL_INVALID_ENUM);
    state.matrixMode = mode;
}

void glLoadIdentity() {
    glLoadMatrixf(identity);
}

void glLoadMatrixf(const GLfloat* m) {
    std::memcpy(current(), m, 16 * sizeof(float));
    productStale = true;
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    translateCurrent(x, y, z);
}

void glRotatef(GLfloat angle, GLfloat axisX, GLfloat axisY, GLfloat axisZ) {
    float axis[3] = {axisX, axisY, axisZ};
    if (!normalise(axis)) return; // no axis, no rotation
    const float x = axis[0], y = axis[1], z = axis[2];
    const double radians = double(angle) * M_PI / 180.0;
    const float s = float(std::sin(radians)), c = float(std::cos(radians)), k = 1 - c;
    const float xx = x * x, yy = y * y, zz = z * z, xy = x * y, yz = y * z, zx = z * x;
    const float xs = x * s, ys = y * s, zs = z * s;
    const float m[16] = {
        k * xx + c,  k * xy + zs, k * zx - ys, 0, // first column
        k * xy - zs, k * yy + c,  k * yz + xs, 0, //
        k * zx + ys, k * yz - xs, k * zz + c,  0, //
        0,           0,           0,           1, //
    };
    multiplyCurrent(m);
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
             GLdouble zFar) {
    const float l = float(left), r = float(right), b = float(bottom), t = float(top);
    const float n = float(zNear), f = float(zFar);
    if (l == r || b == t || n == f) return recordError(GL_INVALID_VALUE);
    const float m[16] = {
        2 / (r - l),
        0,
        0,
        0, // first column
        0,
        2 / (t - b),
        0,
        0, //
        0,
        0,
        -2 / (f - n),
        0, //
        -(r + l) / (r - l),
        -(t + b) / (t - b),
        -(f + n) / (f - n),
        1, //
    };
    multiplyCurrent(m);
}

void glPushMatrix() {
    MatrixStack& s = currentStack();
    if (s.top + 1 == stackDepth) return recordError(GL_STACK_OVERFLOW);
    std::memcpy(s.entries[s.top + 1], s.entries[s.top], sizeof s.entries[0]);
    s.top++;
}

void glPopMatrix() {
    MatrixStack& s = currentStack();
    if (s.top == 0) return recordError(GL_STACK_UNDERFLOW);
    s.top--;
    productStale = true;
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    // In double precision, then multiplied in single, as GLU hands its
    // matrix to glMultMatrixd.
    const double radians = fovy / 2 * M_PI / 180;
    const double depth = zFar - zNear, sine = std::sin(radians);
    if (depth == 0 || sine == 0 || aspect == 0) return;
    const double cotangent = std::cos(radians) / sine;
    const float m[16] = {
        float(cotangent / aspect),
        0,
        0,
        0, // first column
        0,
        float(cotangent),
        0,
        0, //
        0,
        0,
        float(-(zFar + zNear) / depth),
        -1, //
        0,
        0,
        float(-2 * zNear * zFar / depth),
        0, //
    };
    multiplyCurrent(m);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    // The camera's axes in single precision, as GLU computes them: forward,
    // side = forward x up, and up again as side x forward.
    float forward[3] = {float(centreX - eyeX), float(centreY - eyeY), float(centreZ - eyeZ)};
    float up[3] = {float(upX), float(upY), float(upZ)};
    float side[3];
    normalise(forward);
    cross(forward, up, side);
    normalise(side);
    cross(side, forward, up);
    const float m[16] = {
        side[0], up[0], -forward[0], 0, // first column
        side[1], up[1], -forward[1], 0, //
        side[2], up[2], -forward[2], 0, //
        0,       0,     0,           1, //
    };
    multiplyCurrent(m);
    translateCurrent(float(-eyeX), float(-eyeY), float(-eyeZ));
}

} // namespace fixedgl
