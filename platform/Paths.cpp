// The asset folder of the tools. See Paths.h.
#include "platform/Paths.h"

#include <unistd.h>

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

} // namespace

std::string assetFolder(const std::string& chosen) {
    return chosen.empty() ? executableDir() + "/assets" : chosen;
}

} // namespace platform
