// Where the tools find the show's assets: a folder named on the command line,
// else the generated asset pack next to the running program (build/assets
// beside build/capture), else the installed pack (share/NAME, found from the
// program's folder by the relative path the build records). Linux only: the
// program's folder is read from /proc/self/exe.
#pragma once

#include <string>

namespace platform {

// `chosen` when not empty; else defaultAssetFolder() of the running
// executable's folder ("." when it cannot be found).
std::string assetFolder(const std::string& chosen);

// For a program in `programDir`: programDir/assets when that folder exists
// (a build tree); else programDir/<installed pack> when that exists (an
// installed program; `installedPack` is relative to programDir, e.g.
// "../share/NAME"); else programDir/assets, so that a message names the
// build-tree folder. The result is lexically normalised ("a/../b" is "b").
std::string defaultAssetFolder(const std::string& programDir, const std::string& installedPack);

} // namespace platform
