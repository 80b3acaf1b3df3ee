// Where the running program lives, for tools that find the generated asset
// pack next to themselves (build/assets beside build/capture). Linux only:
// read from /proc/self/exe.
#pragma once

#include <string>

namespace platform {

// The folder of the running executable, without a trailing slash; "." when
// it cannot be found.
std::string executableDir();

} // namespace platform
