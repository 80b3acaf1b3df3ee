// The asset folder of the tools. See Paths.h.
#include "platform/Paths.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

// The installed pack relative to the installed programs' folder, set by the
// build from its install directories (e.g. "../share/NAME").
#ifndef DEMO_INSTALLED_PACK
#error "DEMO_INSTALLED_PACK must name the installed pack relative to the program folder"
#endif

namespace platform {
namespace {

// The folder of the running executable, without a trailing slash; "." when
// it cannot be found.
std::string executableDir() {
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return ".";
    std::string exe(self, size_t(n));
    size_t slash = exe.rfind('/');
    return slash == std::string::npos ? "." : exe.substr(0, slash);
}

bool isFolder(const std::filesystem::path& path) {
    std::error_code err;
    return std::filesystem::is_directory(path, err);
}

} // namespace

std::string defaultAssetFolder(const std::string& programDir, const std::string& installedPack) {
    const std::filesystem::path dir(programDir);
    std::filesystem::path pack = dir / "assets";
    if (!isFolder(pack) && isFolder(dir / installedPack)) pack = dir / installedPack;
    return pack.lexically_normal().string();
}

std::string assetFolder(const std::string& chosen) {
    return chosen.empty() ? defaultAssetFolder(executableDir(), DEMO_INSTALLED_PACK) : chosen;
}

} // namespace platform
