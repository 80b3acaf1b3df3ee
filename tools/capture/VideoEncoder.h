// Video output through an ffmpeg child process: RGB frames of the given
// size, bottom row first, go down a pipe, and the music, cut to the same
// span, is muxed beside them. A name ending in .mkv gets the lossless master
// (FFV1 in Matroska, the music as FLAC), any other H.264 (yuv420p, CRF 18)
// with the music as AAC (an MP4 for .mp4). Needs the ffmpeg program on PATH
// (Debian package ffmpeg).
// ffmpeg writes a hidden temporary file beside the video, which is renamed
// to the video's name only when ffmpeg succeeded: a failure (a full disk)
// leaves nothing under the name. The child runs in its own process group so
// that Ctrl-C reaches only the capture tool, which then closes the pipe and
// lets ffmpeg finish the file.
#pragma once

#include <string>
#include <vector>

class VideoEncoder {
public:
    // Full path of the ffmpeg program on PATH, or empty when there is none.
    static std::string findFfmpeg();

    // Starts ffmpeg writing `path`, `frames` frames at `fps` frames per
    // second, with the music file `audio` from `audioStartMs` on, as long as
    // those frames (no sound when `audio` is empty). Fewer frames (Ctrl-C)
    // cut the sound where they end. Returns an empty string or the one-line
    // problem.
    std::string open(const std::string& ffmpeg, const std::string& path, int width, int height, int fps,
                     long frames, const std::string& audio, unsigned audioStartMs);
    // Sends one frame. False when ffmpeg has stopped taking frames.
    bool write(const unsigned char* bottomUpRgb);
    // Ends the stream, waits for ffmpeg and gives the video its name.
    // Returns an empty string, or the problem when ffmpeg failed.
    std::string close();
    ~VideoEncoder();

    // Writes `path`, the `segments` (videos of one codec, size and rate) one
    // after the other, the picture copied as it is, with the music `audio`
    // from `audioStartMs` on (none when empty) as long as their frames
    // together (counted by ffprobe, beside ffmpeg), so that the sound is cut
    // exactly as in one capture of the whole span. Returns an empty string
    // or the one-line problem.
    static std::string join(const std::string& ffmpeg, const std::string& path,
                            const std::vector<std::string>& segments, const std::string& audio,
                            unsigned audioStartMs);

private:
    int pipeFd = -1;
    int child = -1;
    size_t frameBytes = 0;
    std::string path;      // the video's name
    std::string temporary; // what ffmpeg writes until it has finished
};
