// The size in pixels of the picture the show draws: every full-size
// viewport, screen projection, render target and frame read-back takes it
// from here. 1024 x 768, 4:3.
#pragma once

namespace platform {

inline int renderWidth() {
    return 1024;
}
inline int renderHeight() {
    return 768;
}

} // namespace platform
