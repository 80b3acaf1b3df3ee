// Where the tools find the show's assets: a folder named on the command line,
// else the generated asset pack next to the running program (build/assets
// beside build/capture). Linux only: the program's folder is read from
// /proc/self/exe.
#pragma once

#include <string>

namespace platform {

// `chosen` when not empty; else the folder "assets" beside the running
// executable ("./assets" when the executable cannot be found).
std::string assetFolder(const std::string& chosen);

} // namespace platform
