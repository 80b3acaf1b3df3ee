// MP3 streaming through libmpg123 and an SDL audio device, and the music
// clock derived from it. See Music.h for the contract.
//
// The clock: each device callback records how many frames the device had
// taken before it and the wall time of the call. The first callback only
// fills the device's buffer, and a sound server may take seconds to start
// reading it (up to 2 s on PulseAudio's null sink): the device plays once
// it asks for a second buffer. From then on the frames handed over in a
// callback start to be heard about when it returns (the device asks for data
// as its buffer runs dry), so the position heard at time t is the count
// before the latest callback plus the time since it, capped at the count
// after it. Until the device plays, and after a resume until it asks for
// data again, the clock stands still. MusicClock smooths the estimate, which
// otherwise stalls and jumps once per callback period, and holds the clock
// while a stalled device falls behind it.
#include "platform/Music.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/Clock.h"
#include "platform/InputFile.h"
#include "platform/Mp3Stream.h"
#include "platform/MusicClock.h"
#include "platform/TestHooks.h"

namespace platform {
namespace {

constexpr int deviceBufferFrames = 512;      // 11.6 ms at 44.1 kHz
constexpr uint64_t firstPlayingCallback = 2; // the first one fills the device's buffer

struct Stream {
    Mp3Stream decoder;
    SDL_AudioDeviceID device = 0;
    int rate = 0;
    int frameBytes = 0;
    bool subsystemStarted = false; // this module initialised SDL's audio subsystem

    std::mutex lock;             // guards the fields below, shared with the audio thread
    uint64_t framesBefore = 0;   // frames taken before the latest callback
    uint64_t framesConsumed = 0; // frames taken so far
    double callbackWall = 0;     // seconds, time of the latest callback
    uint64_t callbacks = 0;      // callbacks since the device opened
    bool ended = false;          // the decoder has no more audio
    double startMs = 0;          // track position of the first frame played, ms
    double endMs = 0;            // track position of the end, ms
    double endWall = 0;          // seconds, when the last frame is heard
};

// Where the clock stands and what drives it; read and set on the caller's
// thread only.
struct Playhead {
    MusicClock smoothing;
    bool started = false;       // a start call ran and no stop since
    bool followsDevice = false; // the device's position drives it, else the timer
    double timerStartWall = 0;  // seconds, start of the timer clock
    double timerStartMs = 0;    // clock reading at timerStartWall
    uint64_t playingFrom = 0;   // the device plays from this callback on
    bool paused = false;
    double pausedMs = 0;  // clock reading while paused
    double pauseWall = 0; // seconds, when the pause began
};

Stream stream;
Playhead playhead;

void fillAudio(void*, Uint8* out, int len) {
    double now = nowSeconds();
    size_t filled = 0;
    bool ended;
    {
        std::lock_guard<std::mutex> guard(stream.lock);
        ended = stream.ended;
    }
    bool reachedEnd = false;
    if (!ended) filled = stream.decoder.read(out, size_t(len), &reachedEnd);
    std::memset(out + filled, 0, size_t(len) - filled);
    uint64_t frames = filled / size_t(stream.frameBytes);

    std::lock_guard<std::mutex> guard(stream.lock);
    stream.framesBefore = stream.framesConsumed;
    stream.framesConsumed += frames;
    stream.callbackWall = now;
    stream.callbacks++;
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
    stream.decoder.close();
    // Quitting a subsystem that was never started would also shut down
    // SDL's event queue, which the window still needs.
    if (stream.subsystemStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        stream.subsystemStarted = false;
    }
}

bool silent(const char* path, const char* problem, const char* detail) {
    std::fprintf(stderr, "Demo: %s: %s%s%s; the show plays silently.\n", path, problem,
                 detail ? ": " : "", detail ? detail : "");
    closeStream();
    return false;
}

// The clock's reading: the device's position while it plays, else the timer.
double readClock() {
    double now = nowSeconds();
    if (!playhead.started) return 0.0;
    if (playhead.paused) return playhead.pausedMs;
    double target;
    if (!playhead.followsDevice) {
        target = playhead.timerStartMs + (now - playhead.timerStartWall) * 1000.0;
    } else {
        std::lock_guard<std::mutex> guard(stream.lock);
        if (stream.callbacks < playhead.playingFrom) return playhead.smoothing.hold(now);
        if (stream.ended && now >= stream.endWall) {
            target = stream.endMs + (now - stream.endWall) * 1000.0;
        } else {
            double before = stream.startMs + double(stream.framesBefore) * 1000.0 / stream.rate;
            double after = stream.startMs + double(stream.framesConsumed) * 1000.0 / stream.rate;
            target = std::min(before + (now - stream.callbackWall) * 1000.0, after);
        }
    }
    return playhead.smoothing.read(now, target);
}

// Moves the clock to the timer, continuing from where it stands now.
void continueOnTimer() {
    double position = readClock();
    playhead.followsDevice = false;
    playhead.timerStartWall = nowSeconds();
    playhead.timerStartMs = position;
}

// The device stopped taking samples (unplugged, its server gone): its
// callbacks stop, so the sample clock would freeze.
void deviceLost() {
    continueOnTimer();
    std::fprintf(stderr, "Demo: the audio device was lost; the show goes on silently.\n");
    closeStream();
}

// Runs the clock on the timer from `fromMs`, starting now.
void startTimer(double fromMs) {
    double now = nowSeconds();
    playhead.smoothing.reset(now, fromMs);
    playhead.timerStartWall = now;
    playhead.timerStartMs = fromMs;
    playhead.started = true;
    playhead.followsDevice = false;
    playhead.paused = false;
}

// Opens the default audio device for `want`. Audio backends (ALSA above all)
// print their own diagnostics on stderr while they probe for a device; those
// are hidden here, and the one line the show prints says what failed.
SDL_AudioDeviceID openDevice(const SDL_AudioSpec& want) {
    SDL_AudioDeviceID device = 0;
    std::fflush(stderr);
    int saved = dup(2);
    int null = open("/dev/null", O_WRONLY);
    if (saved >= 0 && null >= 0) dup2(null, 2);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        stream.subsystemStarted = true;
        SDL_AudioSpec have = {};
        if (!refusedForTest("SDL_OpenAudioDevice"))
            device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        else SDL_SetError("refused by DEMO_TEST_REFUSE");
    }
    if (saved >= 0 && null >= 0) dup2(saved, 2);
    if (saved >= 0) close(saved);
    if (null >= 0) close(null);
    return device;
}

} // namespace

void startSilentClock(double fromMs) {
    stopMusic();
    startTimer(fromMs);
}

bool startMusic(const char* path, double fromMs) {
    stopMusic();
    // The device must stop calling the decoder before the static stream is
    // destroyed at exit; an atexit hook registered here runs before that.
    static bool exitHookInstalled = false;
    if (!exitHookInstalled) {
        std::atexit(stopMusic);
        exitHookInstalled = true;
    }
    startTimer(fromMs);

    // A FIFO or device in its place would block the decoder's open.
    const char* refused = nullptr;
    std::FILE* probe = openInputFile(path, &refused);
    if (!probe) return silent(path, refused ? refused : "not found", nullptr);
    std::fclose(probe);

    if (const char* problem = stream.decoder.open(path)) return silent(path, problem, nullptr);
    if (const char* problem = stream.decoder.seek(fromMs)) return silent(path, problem, nullptr);
    long rate = stream.decoder.rate;
    int channels = stream.decoder.channels;
    SDL_AudioSpec want = {};
    want.freq = int(rate);
    want.format = AUDIO_S16SYS;
    want.channels = Uint8(channels);
    want.samples = deviceBufferFrames;
    want.callback = fillAudio;
    stream.device = openDevice(want);
    if (!stream.device) return silent(path, "no audio device", SDL_GetError());

    stream.rate = int(rate);
    stream.frameBytes = 2 * channels;
    stream.framesBefore = stream.framesConsumed = 0;
    stream.callbacks = 0;
    stream.ended = false;
    stream.startMs = fromMs;
    startTimer(fromMs);
    playhead.followsDevice = true;
    playhead.playingFrom = firstPlayingCallback;
    SDL_PauseAudioDevice(stream.device, 0);
    return true;
}

void stopMusic() {
    if (stream.device) SDL_PauseAudioDevice(stream.device, 1);
    closeStream();
    playhead.followsDevice = false;
    playhead.started = false;
    playhead.paused = false;
}

void pauseMusic(bool pause) {
    if (!playhead.started || pause == playhead.paused) return;
    if (pause) {
        playhead.pausedMs = musicPositionMs();
        playhead.pauseWall = nowSeconds();
        playhead.paused = true;
        if (stream.device) SDL_PauseAudioDevice(stream.device, 1);
        return;
    }
    double now = nowSeconds(), shift = now - playhead.pauseWall;
    playhead.timerStartWall += shift;
    {
        // The device took nothing of the track while paused: the clock stands
        // until it asks for data again, and the track's end moves by the pause.
        std::lock_guard<std::mutex> guard(stream.lock);
        playhead.playingFrom = std::max(playhead.playingFrom, stream.callbacks + 1);
        stream.endWall += shift;
    }
    playhead.smoothing.reset(now, playhead.pausedMs);
    playhead.paused = false;
    if (stream.device) SDL_PauseAudioDevice(stream.device, 0);
}

void audioDeviceRemoved(uint32_t device) {
    if (playhead.followsDevice && device == stream.device) deviceLost();
}

double musicPositionMs() {
    if (playhead.followsDevice && !playhead.paused &&
        SDL_GetAudioDeviceStatus(stream.device) == SDL_AUDIO_STOPPED)
        deviceLost();
    return readClock();
}

MusicStats musicStats() {
    MusicStats stats;
    stats.playing = playhead.followsDevice;
    if (playhead.followsDevice) {
        std::lock_guard<std::mutex> guard(stream.lock);
        stats.ended = stream.ended;
        stats.sampleRate = stream.rate;
        stats.bufferFrames = deviceBufferFrames;
        stats.framesConsumed = stream.framesConsumed;
        stats.device = stream.device;
    }
    return stats;
}

} // namespace platform
