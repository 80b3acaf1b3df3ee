// Non-blocking opening of input files. See InputFile.h.
#include "platform/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

std::FILE* openInputFile(const char* path, const char** problem) {
    *problem = nullptr;
    // O_NONBLOCK: opening a FIFO without a writer returns at once instead of
    // waiting; it changes nothing for a regular file.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // Only a file that is not there counts as missing.
        if (errno != ENOENT && errno != ENOTDIR) *problem = "cannot be read";
        return nullptr;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) *problem = "cannot be read";
    else if (S_ISDIR(st.st_mode)) *problem = "is a folder, not a file";
    else if (!S_ISREG(st.st_mode)) *problem = "is not a regular file";
    std::FILE* f = *problem ? nullptr : fdopen(fd, "rb");
    if (!f) {
        if (!*problem) *problem = "cannot be read";
        close(fd);
    }
    return f;
}

} // namespace platform
