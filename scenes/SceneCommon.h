// Small drawing helpers shared by several scenes. They touch only the GL
// state they name and allocate nothing.
#pragma once

// Replaces the upper-left 3 x 3 part of the current modelview matrix by the
// identity, keeping its translation: whatever is drawn next in the z = 0
// plane faces the viewer (a billboard). The matrix mode must be modelview.
void faceViewer();
