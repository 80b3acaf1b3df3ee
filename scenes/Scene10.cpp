// Scene 10: the closing card on white. No state of its own.
#include "scenes/Scene10.h"

#include "platform/GL.h"
#include "platform/RenderSize.h"
#include "render/Engine.h"
#include "render/Glow.h"
#include "render/PassMark.h"
#include "render/ScreenQuad.h"
#include "render/Texture.h"
#include "render/TextureSlots.h"
#include "scenes/SceneCommon.h"
#include "scenes/Scenes.h"
#include "scenes/ShowTime.h"

using namespace Scene10;

void scene10init() {}

void scene10update() {
    drawPicture();
    // White, alpha 1 at 147,000 ms falling to 0 at 147,500 ms.
    engine->glow->RenderQuad(1, 1, 1, (147500.0f - demoMS) / 500.0f);
}

namespace Scene10 {

void drawPicture() {
    markPass(Pass::Full);
    engine->perspective(platform::renderWidth(), platform::renderHeight());
    scene10();
}

void scene10() {
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT); // the depth buffer is left as it is
    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_FALSE);
    glDisable(GL_BLEND);
    beginScreenPass(); // depth test, culling, lighting and fog off; pixel projection
    bindSlotTexture(slotEndText);
    glColor3f(1, 1, 1);
    // Screen pixels, y growing downwards; the card keeps its share of the frame.
    const float side = cardSide * platform::pixelScale();
    const float left = (float(platform::renderWidth()) - side) / 2.0f;
    const float top = (float(platform::renderHeight()) - side) / 2.0f;
    const float right = left + side, bottom = top + side;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(left, top);
    glTexCoord2f(1, 0);
    glVertex2f(right, top);
    glTexCoord2f(1, 1);
    glVertex2f(right, bottom);
    glTexCoord2f(0, 1);
    glVertex2f(left, bottom);
    glEnd();
    glDepthMask(GL_TRUE);
}

} // namespace Scene10
