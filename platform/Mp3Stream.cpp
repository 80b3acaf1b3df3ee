// MP3 decoding through libmpg123. See Mp3Stream.h.
#include "platform/Mp3Stream.h"

#include <mpg123.h>

#include <mutex>

namespace platform {
namespace {

// libmpg123 before 1.27 needs one mpg123_init per process, and it is not
// safe to call from two threads at once.
void initLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

// mpg123_read may return MPG123_OK with no bytes (a frame that decoded to
// nothing); more than this many in a row is taken as the end, so corrupt
// data can never keep the audio thread spinning.
constexpr int maxEmptyReads = 64;

} // namespace

const char* Mp3Stream::open(const char* path) {
    close();
    initLibrary();
    int err = MPG123_OK;
    decoder = mpg123_new(nullptr, &err);
    if (!decoder) return "cannot start the MP3 decoder";
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    const char* problem = nullptr;
    int encoding = 0;
    if (mpg123_open(decoder, path) != MPG123_OK) {
        problem = "cannot be opened";
    } else if (mpg123_getformat(decoder, &rate, &channels, &encoding) != MPG123_OK) {
        problem = "is not an MP3 stream";
    } else if (rate <= 0 || (channels != 1 && channels != 2)) {
        problem = "has an unsupported format";
    } else {
        mpg123_format_none(decoder);
        if (mpg123_format(decoder, rate, channels, MPG123_ENC_SIGNED_16) != MPG123_OK)
            problem = "has an unsupported format";
    }
    if (problem) close();
    return problem;
}

void Mp3Stream::close() {
    if (!decoder) return;
    mpg123_close(decoder);
    mpg123_delete(decoder);
    decoder = nullptr;
}

size_t Mp3Stream::read(uint8_t* out, size_t bytes, bool* ended) {
    *ended = decoder == nullptr;
    size_t filled = 0;
    int empty = 0;
    while (!*ended && filled < bytes) {
        size_t got = 0;
        int rc = mpg123_read(decoder, out + filled, bytes - filled, &got);
        filled += got;
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT) {
            *ended = true; // end of the track, or data it cannot decode
        } else if (got == 0 && ++empty > maxEmptyReads) {
            *ended = true;
        } else if (got > 0) {
            empty = 0;
        }
    }
    return filled;
}

const char* Mp3Stream::seek(double ms) {
    if (ms <= 0 || !decoder) return nullptr;
    mpg123_scan(decoder); // exact sample offsets for the seek
    off_t sample = off_t(ms * double(rate) / 1000.0 + 0.5);
    if (mpg123_seek(decoder, sample, SEEK_SET) < 0) return "cannot seek";
    return nullptr;
}

} // namespace platform
