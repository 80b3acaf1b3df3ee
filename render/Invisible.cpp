// Primitives left out because they change no pixel. See Invisible.h.
#include "render/Invisible.h"

LeftOut leftOut;

bool leaveOut(bool invisible) {
    leftOut.tested++;
    const bool left = invisible && leftOut.enabled;
    leftOut.left += left;
    return left;
}
