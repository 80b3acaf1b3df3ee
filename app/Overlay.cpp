// The frame overlay: "layer.jpg" with the alpha of "layer_mask.jpg" laid
// over the whole finished frame at 30 %. It sets no texture environment: from
// the first frame of the first scene on, unit 0 takes RGB from the texture.
// Leaves blending, texturing and the pixel projection on.
#include "app/Overlay.h"

#include "platform/GL.h"
#include "render/Engine.h"
#include "render/PassMark.h"
#include "render/ScreenQuad.h"
#include "render/Texture.h"
#include "render/TextureSlots.h"

void drawOverlay() {
    markPass(Pass::Overlay);
    beginScreenPass();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 0.3f);
    engine->texture->bind(unsigned(engine->slots[slotLayer]));
    drawTexturedScreen();
}
