// ffmpeg child process fed through a pipe. See VideoEncoder.h.
#include "tools/capture/VideoEncoder.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

std::string VideoEncoder::findFfmpeg() {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string dir = dirs.substr(start, end - start);
        std::string candidate = (dir.empty() ? std::string(".") : dir) + "/ffmpeg";
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return "";
}

std::string VideoEncoder::open(const std::string& ffmpeg, const std::string& path, int width, int height,
                               int fps, const std::string& audio, unsigned audioStartMs) {
    char size[32], rate[16], start[32];
    std::snprintf(size, sizeof size, "%dx%d", width, height);
    std::snprintf(rate, sizeof rate, "%d", fps);
    std::snprintf(start, sizeof start, "%u.%03u", audioStartMs / 1000, audioStartMs % 1000);
    std::vector<std::string> args = {
        ffmpeg,     "-hide_banner", "-loglevel", "error", "-nostdin",   "-y", "-f", "rawvideo",
        "-pix_fmt", "rgb24",        "-s",        size,    "-framerate", rate, "-i", "pipe:0",
    };
    if (!audio.empty()) {
        // Input seeking: the first video frame and this audio sample coincide.
        for (const char* a : {"-ss", (const char*)start, "-i", audio.c_str()}) args.push_back(a);
    }
    for (const char* a : {"-map", "0:v:0", "-vf", "vflip", "-c:v", "libx264", "-preset", "fast", "-crf",
                          "18", "-pix_fmt", "yuv420p"}) {
        args.push_back(a);
    }
    if (!audio.empty()) {
        // -shortest cuts the sound where the picture ends, also after Ctrl-C.
        for (const char* a : {"-map", "1:a:0", "-c:a", "aac", "-b:a", "192k", "-shortest"})
            args.push_back(a);
    }
    for (const char* a : {"-movflags", "+faststart", "-fflags", "+bitexact"}) args.push_back(a);
    args.push_back(path);

    int fds[2];
    if (pipe(fds) != 0) return std::string("cannot create a pipe: ") + std::strerror(errno);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0); // out of the terminal's Ctrl-C
    pid_t pid = -1;
    int rc = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return "cannot run " + ffmpeg + ": " + std::strerror(rc);
    }
    ::close(fds[0]);
    fcntl(fds[1], F_SETFD, FD_CLOEXEC);
    signal(SIGPIPE, SIG_IGN); // a dead ffmpeg shows as a failed write
    pipeFd = fds[1];
    child = pid;
    frameBytes = size_t(width) * size_t(height) * 3;
    return "";
}

bool VideoEncoder::write(const unsigned char* bottomUpRgb) {
    size_t done = 0;
    while (pipeFd >= 0 && done < frameBytes) {
        ssize_t n = ::write(pipeFd, bottomUpRgb + done, frameBytes - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return pipeFd >= 0;
}

std::string VideoEncoder::close() {
    if (pipeFd >= 0) {
        ::close(pipeFd);
        pipeFd = -1;
    }
    if (child < 0) return "";
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    child = -1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return "";
    return "ffmpeg failed (status " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")";
}

VideoEncoder::~VideoEncoder() {
    close();
}
