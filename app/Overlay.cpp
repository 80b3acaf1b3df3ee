// The frame overlay. Draws nothing until the texture store exists.
#include "app/Overlay.h"

void drawOverlay() {}
