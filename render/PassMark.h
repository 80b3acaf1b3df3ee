// Where the passes of a frame begin, for the frame benchmark's time per pass:
// the small drawing, the blur, the full-size drawing, the glow (or blur or
// depth-of-field composite), the flash and fade quads and the overlay. The
// hook is null in the show and the tools, so a mark costs one test.
#pragma once

enum class Pass { Small, Blur, Full, Glow, Quads, Overlay, Count };

extern void (*passHook)(Pass pass);

inline void markPass(Pass pass) {
    if (passHook) passHook(pass);
}
