// The pass hook. See PassMark.h.
#include "render/PassMark.h"

void (*passHook)(Pass pass) = nullptr;
