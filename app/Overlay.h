// The frame overlay: "layer.jpg" laid over the finished frame at 30 %.
#pragma once

void drawOverlay();
