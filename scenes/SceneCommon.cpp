// Drawing helpers shared by several scenes.
#include "scenes/SceneCommon.h"

#include "platform/GL.h"

void faceViewer() {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // Column-major: elements 0..2, 4..6 and 8..10 are the rotation columns.
    for (int column = 0; column < 3; column++) {
        for (int row = 0; row < 3; row++) m[column * 4 + row] = column == row ? 1.0f : 0.0f;
    }
    glLoadMatrixf(m);
}
