// Drawing limited to a box of the frame for a while: a run-up's frames drawn
// through one pixel, the small pass's clear kept to its corner. The show
// uses no scissor of its own, so the box and the test are put back exactly
// as they were; inside a box already set (a small pass within a run-up's
// pixel) nothing changes.
#pragma once

#include "platform/GL.h"

class ScissorBox {
public:
    ScissorBox(int x, int y, int width, int height) {
        if (glIsEnabled(GL_SCISSOR_TEST)) return;
        glGetIntegerv(GL_SCISSOR_BOX, saved);
        glScissor(x, y, width, height);
        glEnable(GL_SCISSOR_TEST);
        set = true;
    }
    ~ScissorBox() {
        if (!set) return;
        glDisable(GL_SCISSOR_TEST);
        glScissor(saved[0], saved[1], saved[2], saved[3]);
    }
    ScissorBox(const ScissorBox&) = delete;
    ScissorBox& operator=(const ScissorBox&) = delete;

private:
    GLint saved[4] = {};
    bool set = false;
};
