// An MP3 file decoded by libmpg123 into signed 16-bit native-endian PCM at
// the file's own rate, mono or stereo: the music's source, and the unit the
// MP3 fuzz target drives. Any bytes are safe: open() names the problem of a
// file it refuses, read() always returns and reports the end of the audio.
// Not thread-safe; the music module calls it from its audio callback only.
#pragma once

#include <cstddef>
#include <cstdint>

struct mpg123_handle_struct;

namespace platform {

class Mp3Stream {
public:
    long rate = 0;    // frames per second, once open
    int channels = 0; // 1 or 2, once open

    Mp3Stream() = default;
    Mp3Stream(const Mp3Stream&) = delete;
    Mp3Stream& operator=(const Mp3Stream&) = delete;
    ~Mp3Stream() { close(); }

    // Opens `path` and reads up to its first frame. Returns null, or the
    // problem in a few words ("is not an MP3 stream"), the stream then closed.
    const char* open(const char* path);
    void close();
    // Moves to `ms` of the track (nothing for 0 or less). Returns null, or the
    // problem in a few words.
    const char* seek(double ms);
    bool isOpen() const { return decoder != nullptr; }

    // Decodes up to `bytes` bytes of samples into `out`; returns the bytes
    // written, fewer only when the audio has ended (then `ended` is true).
    size_t read(uint8_t* out, size_t bytes, bool* ended);

private:
    mpg123_handle_struct* decoder = nullptr;
};

} // namespace platform
