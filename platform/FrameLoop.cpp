// The native frame loop: the show's own. See FrameLoop.h.
#include "platform/FrameLoop.h"

namespace platform {

void runFrames(bool (*step)(void* user), bool (*finished)(void* user), void* user) {
    while (!finished(user)) step(user);
}

} // namespace platform
