// MP3 streaming through libmpg123 and an SDL audio device, and the music
// clock derived from it. See Music.h for the contract.
//
// The clock: each device callback records how many frames the device had
// taken before it and the wall time of the call. The frames handed over in a
// callback start to be heard about when it returns (the device asks for data
// as its buffer runs dry), so the position heard at time t is the count
// before the latest callback plus the time since it, capped at the count
// after it. MusicClock smooths that estimate, which otherwise stalls and
// jumps once per callback period.
#include "platform/Music.h"

#include <SDL.h>
#include <mpg123.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/MusicClock.h"
#include "platform/Window.h"

namespace platform {
namespace {

constexpr int deviceBufferFrames = 512; // 11.6 ms at 44.1 kHz

struct Stream {
    mpg123_handle* decoder = nullptr;
    SDL_AudioDeviceID device = 0;
    int rate = 0;
    int frameBytes = 0;

    std::mutex lock; // guards the fields below, shared with the audio thread
    uint64_t framesBefore = 0;   // frames taken before the latest callback
    uint64_t framesConsumed = 0; // frames taken so far
    double callbackWall = 0;     // seconds, time of the latest callback
    bool called = false;         // at least one callback has run
    bool ended = false;          // the decoder has no more audio
    double startMs = 0;          // track position of the first frame played, ms
    double endMs = 0;            // track length as played, ms
    double endWall = 0;          // seconds, when the last frame is heard
};

Stream stream;
MusicClock clock;
bool audioActive = false;  // the clock follows the device
bool audioStarted = false; // this module initialised SDL's audio subsystem
bool clockStarted = false;
double timerStartWall = 0; // seconds, start of the timer clock
double timerStartMs = 0;   // clock reading at timerStartWall
bool paused = false;
double pausedMs = 0;       // clock reading while paused
double pauseWall = 0;      // seconds, when the pause began

void fillAudio(void*, Uint8* out, int len) {
    double now = nowSeconds();
    size_t filled = 0;
    bool ended;
    {
        std::lock_guard<std::mutex> guard(stream.lock);
        ended = stream.ended;
    }
    bool reachedEnd = false;
    while (!ended && filled < size_t(len)) {
        size_t got = 0;
        int rc = mpg123_read(stream.decoder, out + filled, size_t(len) - filled, &got);
        filled += got;
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT) {
            reachedEnd = true; // end of the track or undecodable data
            break;
        }
        if (got == 0 && rc == MPG123_OK) continue;
    }
    std::memset(out + filled, 0, size_t(len) - filled);
    uint64_t frames = filled / size_t(stream.frameBytes);

    std::lock_guard<std::mutex> guard(stream.lock);
    stream.framesBefore = stream.framesConsumed;
    stream.framesConsumed += frames;
    stream.callbackWall = now;
    stream.called = true;
    if (reachedEnd && !stream.ended) {
        stream.ended = true;
        stream.endMs = stream.startMs + double(stream.framesConsumed) * 1000.0 / stream.rate;
        stream.endWall = now + double(frames) / stream.rate;
    }
}

void closeStream() {
    if (stream.device) {
        SDL_CloseAudioDevice(stream.device);
        stream.device = 0;
    }
    if (stream.decoder) {
        mpg123_close(stream.decoder);
        mpg123_delete(stream.decoder);
        stream.decoder = nullptr;
    }
    // Quitting a subsystem that was never started would also shut down
    // SDL's event queue, which the window still needs.
    if (audioStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioStarted = false;
    }
}

bool silent(const char* path, const char* problem, const char* detail) {
    std::fprintf(stderr, "Demo: %s: %s%s%s; the show plays silently.\n", path, problem,
                 detail ? ": " : "", detail ? detail : "");
    closeStream();
    return false;
}

// Opens the decoder and fixes its output to signed 16-bit samples at the
// file's own rate and channel count. Returns the problem, or null.
const char* openDecoder(const char* path, long* rate, int* channels) {
    int err = MPG123_OK;
    stream.decoder = mpg123_new(nullptr, &err);
    if (!stream.decoder) return "cannot start the MP3 decoder";
    mpg123_param(stream.decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    if (mpg123_open(stream.decoder, path) != MPG123_OK) return "cannot be opened";
    int encoding = 0;
    if (mpg123_getformat(stream.decoder, rate, channels, &encoding) != MPG123_OK)
        return "is not an MP3 stream";
    if (*rate <= 0 || (*channels != 1 && *channels != 2)) return "has an unsupported format";
    mpg123_format_none(stream.decoder);
    if (mpg123_format(stream.decoder, *rate, *channels, MPG123_ENC_SIGNED_16) != MPG123_OK)
        return "has an unsupported format";
    return nullptr;
}

// Runs the clock on the timer from `fromMs`, starting now.
void startTimer(double fromMs) {
    double now = nowSeconds();
    clock.reset(now, fromMs);
    timerStartWall = now;
    timerStartMs = fromMs;
    clockStarted = true;
    audioActive = false;
    paused = false;
}

// Moves the decoder to `fromMs`. Returns the problem, or null.
const char* seekDecoder(double fromMs, long rate) {
    if (fromMs <= 0) return nullptr;
    mpg123_scan(stream.decoder); // exact sample offsets for the seek
    off_t sample = off_t(fromMs * double(rate) / 1000.0 + 0.5);
    if (mpg123_seek(stream.decoder, sample, SEEK_SET) < 0) return "cannot seek";
    return nullptr;
}

} // namespace

void startSilentClock(double fromMs) {
    stopMusic();
    startTimer(fromMs);
}

bool startMusic(const char* path, double fromMs) {
    stopMusic();
    startTimer(fromMs);

    std::FILE* probe = std::fopen(path, "rb");
    if (!probe) return silent(path, "not found", nullptr);
    std::fclose(probe);

    mpg123_init();
    long rate = 0;
    int channels = 0;
    if (const char* problem = openDecoder(path, &rate, &channels)) {
        return silent(path, problem, nullptr);
    }
    if (const char* problem = seekDecoder(fromMs, rate)) return silent(path, problem, nullptr);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return silent(path, "no audio device", SDL_GetError());
    }
    audioStarted = true;
    SDL_AudioSpec want = {};
    want.freq = int(rate);
    want.format = AUDIO_S16SYS;
    want.channels = Uint8(channels);
    want.samples = deviceBufferFrames;
    want.callback = fillAudio;
    SDL_AudioSpec have = {};
    stream.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!stream.device) return silent(path, "no audio device", SDL_GetError());

    stream.rate = int(rate);
    stream.frameBytes = 2 * channels;
    stream.framesBefore = stream.framesConsumed = 0;
    stream.called = stream.ended = false;
    stream.startMs = fromMs;
    startTimer(fromMs); // the clock starts with the device
    audioActive = true;
    SDL_PauseAudioDevice(stream.device, 0);
    return true;
}

void stopMusic() {
    if (stream.device) SDL_PauseAudioDevice(stream.device, 1);
    closeStream();
    audioActive = false;
    clockStarted = false;
    paused = false;
}

void pauseMusic(bool pause) {
    if (!clockStarted || pause == paused) return;
    if (pause) {
        pausedMs = musicPositionMs();
        pauseWall = nowSeconds();
        paused = true;
        if (stream.device) SDL_PauseAudioDevice(stream.device, 1);
        return;
    }
    double now = nowSeconds(), shift = now - pauseWall;
    timerStartWall += shift;
    {
        // The device took nothing while paused: its times move by the pause.
        std::lock_guard<std::mutex> guard(stream.lock);
        stream.callbackWall += shift;
        stream.endWall += shift;
    }
    clock.reset(now, pausedMs);
    paused = false;
    if (stream.device) SDL_PauseAudioDevice(stream.device, 0);
}

double musicPositionMs() {
    double now = nowSeconds();
    if (!clockStarted) return 0.0;
    if (paused) return pausedMs;
    double target;
    if (!audioActive) {
        target = timerStartMs + (now - timerStartWall) * 1000.0;
    } else {
        std::lock_guard<std::mutex> guard(stream.lock);
        if (stream.ended && now >= stream.endWall) {
            target = stream.endMs + (now - stream.endWall) * 1000.0;
        } else if (!stream.called) {
            target = stream.startMs;
        } else {
            double before = stream.startMs + double(stream.framesBefore) * 1000.0 / stream.rate;
            double after = stream.startMs + double(stream.framesConsumed) * 1000.0 / stream.rate;
            target = std::min(before + (now - stream.callbackWall) * 1000.0, after);
        }
    }
    return clock.read(now, target);
}

MusicStats musicStats() {
    MusicStats stats;
    stats.playing = audioActive;
    if (audioActive) {
        std::lock_guard<std::mutex> guard(stream.lock);
        stats.ended = stream.ended;
        stats.sampleRate = stream.rate;
        stats.bufferFrames = deviceBufferFrames;
        stats.framesConsumed = stream.framesConsumed;
    }
    return stats;
}

} // namespace platform
