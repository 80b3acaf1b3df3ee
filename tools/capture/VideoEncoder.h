// H.264 + AAC video output through an ffmpeg child process: RGB frames of
// the given size, bottom row first, go down a pipe; the music, cut to the
// same span, is muxed as AAC. Needs the ffmpeg program on PATH (Debian
// package ffmpeg).
// The child runs in its own process group so that Ctrl-C reaches only the
// capture tool, which then closes the pipe and lets ffmpeg finish the file.
#pragma once

#include <string>

class VideoEncoder {
public:
    // Full path of the ffmpeg program on PATH, or empty when there is none.
    static std::string findFfmpeg();

    // Starts ffmpeg writing `path` at `fps` frames per second, with the
    // music file `audio` from `audioStartMs` on (no sound when `audio` is
    // empty). Returns an empty string or the one-line problem.
    std::string open(const std::string& ffmpeg, const std::string& path, int width, int height, int fps,
                     const std::string& audio, unsigned audioStartMs);
    // Sends one frame. False when ffmpeg has stopped taking frames.
    bool write(const unsigned char* bottomUpRgb);
    // Ends the stream and waits for ffmpeg. Returns an empty string, or the
    // problem when ffmpeg failed.
    std::string close();
    ~VideoEncoder();

private:
    int pipeFd = -1;
    int child = -1;
    size_t frameBytes = 0;
};
