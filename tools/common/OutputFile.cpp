// Files written under a temporary name and renamed when complete. See
// OutputFile.h.
#include "tools/common/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

int createTemporaryBeside(const std::string& path, bool keepExtension, std::string& name) {
    const size_t slash = path.rfind('/');
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    const bool extension = keepExtension && dot != std::string::npos && dot > start;
    const std::string stem = extension ? path.substr(start, dot - start) : path.substr(start);
    const std::string suffix = extension ? path.substr(dot) : "";
    name = path.substr(0, start) + "." + stem + (extension ? "-XXXXXX" : ".XXXXXX") + suffix;
    const int fd = mkstemps(&name[0], int(suffix.size()));
    if (fd < 0) return -1;
    // mkstemp gives 0600; the umask is read once (it can only be read by
    // setting it).
    static const mode_t mask = [] {
        const mode_t m = umask(0);
        umask(m);
        return m;
    }();
    fchmod(fd, 0666 & ~mask);
    return fd;
}

OutputFile::OutputFile(const std::string& finalPath) : path(finalPath) {
    const int fd = createTemporaryBeside(path, false, temporary);
    if (fd < 0) {
        fail();
        temporary.clear();
        return;
    }
    file = fdopen(fd, "wb");
    if (!file) {
        fail();
        close(fd);
    }
}

OutputFile::~OutputFile() {
    if (file) std::fclose(file);
    if (!committed && !temporary.empty()) unlink(temporary.c_str());
}

bool OutputFile::write(const void* data, size_t size) {
    if (!file || failed) return false;
    if (size && std::fwrite(data, 1, size, file) != size) fail();
    return !failed;
}

void OutputFile::fail() {
    if (!failed) reason = errno ? errno : EIO;
    failed = true;
}

std::string OutputFile::commit() {
    if (file) {
        if (std::fflush(file) != 0 || std::ferror(file)) fail();
        if (std::fclose(file) != 0) fail();
        file = nullptr;
        if (!failed && std::rename(temporary.c_str(), path.c_str()) != 0) fail();
        committed = !failed;
    }
    return error();
}

std::string OutputFile::error() const {
    if (!failed) return "";
    return "cannot write " + path + ": " + std::strerror(reason);
}

int checkedExit(const char* tool, int status) {
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    std::fprintf(stderr, "%s: cannot write standard output: %s\n", tool,
                 std::strerror(errno ? errno : EIO));
    return 1;
}
