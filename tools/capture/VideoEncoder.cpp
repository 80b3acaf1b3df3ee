// ffmpeg child processes for videos. See VideoEncoder.h.
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

#include "tools/capture/CaptureOptions.h"
#include "tools/common/OutputFile.h"

namespace {

// A hidden file beside `path` with its extension (ffmpeg picks the container
// from it): "dir/.name-XXXXXX.ext". Empty when none can be made.
std::string temporaryBeside(const std::string& path) {
    std::string name;
    const int fd = createTemporaryBeside(path, true, name);
    if (fd < 0) return "";
    ::close(fd);
    return name;
}

// The music as the container wants it: lossless FLAC beside FFV1, else AAC.
std::vector<std::string> audioCodec(const std::string& path) {
    if (isLosslessVideo(path)) return {"-c:a", "flac"};
    return {"-c:a", "aac", "-b:a", "192k"};
}

// The muxer options that end the command line, then the output file.
void finishArguments(std::vector<std::string>& args, const std::string& path,
                     const std::string& output) {
    if (!isLosslessVideo(path)) {
        for (const char* a : {"-movflags", "+faststart"}) args.push_back(a);
    }
    for (const char* a : {"-fflags", "+bitexact", "-y"}) args.push_back(a);
    args.push_back(output);
}

// Starts `args` with stdin from `stdinFd` (-1: inherited), in its own
// process group. Returns the pid, or -1 with `problem` set.
int spawn(std::vector<std::string>& args, int stdinFd, int closeFd, std::string& problem) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stdinFd, 0);
        posix_spawn_file_actions_addclose(&actions, stdinFd);
    }
    if (closeFd >= 0) posix_spawn_file_actions_addclose(&actions, closeFd);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0); // out of the terminal's Ctrl-C
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (rc == 0) return pid;
    problem = "cannot run " + args[0] + ": " + std::strerror(rc);
    return -1;
}

// Waits for ffmpeg; on success moves `temporary` to `path`, else removes it.
std::string finish(int pid, const std::string& temporary, const std::string& path) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    std::string problem;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        problem = "ffmpeg failed (status " +
                  std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")";
    else if (std::rename(temporary.c_str(), path.c_str()) != 0)
        problem = "cannot write " + path + ": " + std::strerror(errno);
    if (!problem.empty()) unlink(temporary.c_str());
    return problem;
}

std::string seconds(unsigned ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%03u", ms / 1000, ms % 1000);
    return text;
}

// `text` in single quotes, each quote in it written '\'', as both the shell
// and ffmpeg's concat lists read it.
std::string singleQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The length of `frames` frames at `fps` in seconds, as ffmpeg's -t takes it.
std::string duration(long frames, int fps) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", double(frames) / double(fps));
    return text;
}

// The music input: `audio` from `startMs` on, `frames` frames at `fps` long.
void addMusic(std::vector<std::string>& args, const std::string& audio, unsigned startMs, long frames,
              int fps) {
    // Input seeking: the first video frame and this audio sample coincide.
    args.insert(args.end(), {"-ss", seconds(startMs), "-t", duration(frames, fps), "-i", audio});
}

// Counts the video frames of `video` with ffprobe and reads its frame rate
// (a whole number of frames per second, as capture writes). False when
// ffprobe cannot tell.
bool countFrames(const std::string& ffprobe, const std::string& video, long& frames, int& fps) {
    const std::string command = ffprobe +
                                " -v error -select_streams v:0 -count_packets -show_entries "
                                "stream=r_frame_rate,nb_read_packets -of csv=p=0 " +
                                singleQuoted(video);
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    int rate = 0, one = 0;
    long count = 0;
    const bool read = std::fscanf(pipe, "%d/%d,%ld", &rate, &one, &count) == 3;
    const bool ok = pclose(pipe) == 0 && read && one == 1 && rate > 0 && count > 0;
    frames = count;
    fps = rate;
    return ok;
}

} // namespace

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

std::string VideoEncoder::open(const std::string& ffmpeg, const std::string& videoPath, int width,
                               int height, int fps, long frames, const std::string& audio,
                               unsigned audioStartMs) {
    path = videoPath;
    temporary = temporaryBeside(path);
    if (temporary.empty()) return "cannot write " + path + ": " + std::strerror(errno);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::vector<std::string> args = {
        ffmpeg, "-hide_banner", "-loglevel",         "error", "-nostdin",
        "-f",   "rawvideo",     "-pix_fmt",          "rgb24", "-s",
        size,   "-framerate",   std::to_string(fps), "-i",    "pipe:0",
    };
    if (!audio.empty()) addMusic(args, audio, audioStartMs, frames, fps);
    args.insert(args.end(), {"-map", "0:v:0", "-vf", "vflip"});
    if (isLosslessVideo(path)) {
        // Intra-only FFV1 version 3 with slice checksums, RGB kept as it is.
        args.insert(args.end(),
                    {"-c:v", "ffv1", "-level", "3", "-g", "1", "-slicecrc", "1", "-pix_fmt", "bgr0"});
    } else {
        args.insert(args.end(),
                    {"-c:v", "libx264", "-preset", "ultrafast", "-crf", "18", "-pix_fmt", "yuv420p"});
    }
    if (!audio.empty()) {
        args.insert(args.end(), {"-map", "1:a:0"});
        for (const std::string& a : audioCodec(path)) args.push_back(a);
        args.push_back("-shortest"); // the sound ends with the picture, also after Ctrl-C
    }
    finishArguments(args, path, temporary);

    int fds[2];
    if (pipe(fds) != 0) return std::string("cannot create a pipe: ") + std::strerror(errno);
    std::string problem;
    const int pid = spawn(args, fds[0], fds[1], problem);
    ::close(fds[0]);
    if (pid < 0) {
        ::close(fds[1]);
        unlink(temporary.c_str());
        return problem;
    }
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
    const int pid = child;
    child = -1;
    return finish(pid, temporary, path);
}

VideoEncoder::~VideoEncoder() {
    close();
}

std::string VideoEncoder::join(const std::string& ffmpeg, const std::string& path,
                               const std::vector<std::string>& segments, const std::string& audio,
                               unsigned audioStartMs) {
    // The concat demuxer's list: one "file 'NAME'" a line, quotes escaped.
    const std::string listPath = temporaryBeside(path + ".txt");
    if (listPath.empty()) return "cannot write " + path + ": " + std::strerror(errno);
    std::string list;
    for (const std::string& segment : segments) list += "file " + singleQuoted(segment) + "\n";
    {
        OutputFile out(listPath);
        out.write(list.data(), list.size());
        const std::string problem = out.commit();
        if (!problem.empty()) return problem;
    }
    long frames = 0;
    int fps = 0;
    if (!audio.empty()) {
        const std::string ffprobe = ffmpeg.substr(0, ffmpeg.rfind('/') + 1) + "ffprobe";
        for (const std::string& segment : segments) {
            long count = 0;
            int rate = 0;
            if (!countFrames(ffprobe, segment, count, rate) || (fps && rate != fps)) {
                unlink(listPath.c_str());
                return "cannot count the frames of " + segment + " (ffprobe)";
            }
            frames += count;
            fps = rate;
        }
    }
    const std::string temporary = temporaryBeside(path);
    if (temporary.empty()) {
        unlink(listPath.c_str());
        return "cannot write " + path + ": " + std::strerror(errno);
    }
    std::vector<std::string> args = {ffmpeg,   "-hide_banner", "-loglevel", "error", "-nostdin", "-f",
                                     "concat", "-safe",        "0",         "-i",    listPath};
    if (!audio.empty()) addMusic(args, audio, audioStartMs, frames, fps);
    args.insert(args.end(), {"-map", "0:v:0", "-c:v", "copy"});
    if (!audio.empty()) {
        args.insert(args.end(), {"-map", "1:a:0"});
        for (const std::string& a : audioCodec(path)) args.push_back(a);
        args.push_back("-shortest");
    }
    finishArguments(args, path, temporary);
    std::string problem;
    const int pid = spawn(args, -1, -1, problem);
    if (pid >= 0) problem = finish(pid, temporary, path);
    else unlink(temporary.c_str());
    unlink(listPath.c_str());
    return problem;
}
