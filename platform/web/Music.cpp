// The music in a browser: the page's <audio> element (web/page.js) streams
// the MP3 from the page's server and plays it, and its position (currentTime,
// the point of the track the browser plays) is the show's clock, smoothed by
// MusicClock as on the desktop. Until the position first moves (the page's
// start control not yet used, the first data not yet there, the output
// starting up) the clock stands still: the picture waits for a late start.
// When the position stops (the download stalls) MusicClock holds the clock,
// and it never runs backwards. Without sound (the element's error, or the
// browser refusing to start it) one line goes to stderr, which the page also
// shows, and the clock runs on the timer from where it stands; after the
// track's end it goes on on the timer too.
//
// Of Music.h, pausing, the device events and the figures are the SDL
// backend's (the preview, the event pump, the tests); the page's program
// does not call them.
#include "platform/Music.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <string>

#include "platform/Clock.h"
#include "platform/MusicClock.h"
#include "platform/web/Page.h"

namespace platform {
namespace {

// demoPage.music.state() (web/page.js).
enum AudioState { waiting = 0, playing = 1, ended = 2, failed = 3 };

EM_JS(void, audioLoad, (const char* url, double fromMs),
      { demoPage.music.load(UTF8ToString(url), fromMs); });
EM_JS(int, audioState, (), { return demoPage.music.state(); });
EM_JS(double, audioPositionMs, (), { return demoPage.music.positionMs(); });
EM_JS(void, audioProblem, (char* text, int size),
      { stringToUTF8(demoPage.music.problem || "", text, size); });
EM_JS(void, audioStop, (), { demoPage.music.stop(); });

struct Playhead {
    MusicClock smoothing;
    bool started = false;      // a start call ran and no stop since
    bool followsAudio = false; // the element's position drives the clock, else the timer
    double timerStartWall = 0; // seconds, start of the timer clock
    double timerStartMs = 0;   // clock reading at timerStartWall
    std::string path;          // of the track, for the message
};

Playhead playhead;

void startTimer(double wall, double fromMs) {
    playhead.timerStartWall = wall;
    playhead.timerStartMs = fromMs;
    playhead.followsAudio = false;
}

// The clock's reading: the element's position while it plays, else the timer.
double readClock() {
    const double now = nowSeconds();
    if (!playhead.started) return 0.0;
    if (playhead.followsAudio) {
        switch (audioState()) {
        case waiting: return playhead.smoothing.hold(now);
        case playing: return playhead.smoothing.read(now, audioPositionMs());
        case ended: startTimer(now, audioPositionMs()); break;
        default: {
            char problem[160];
            audioProblem(problem, sizeof problem);
            std::fprintf(stderr, "Demo: %s: %s; the show plays silently.\n", playhead.path.c_str(),
                         problem);
            startTimer(now, playhead.smoothing.hold(now));
            break;
        }
        }
    }
    return playhead.smoothing.read(now,
                                   playhead.timerStartMs + (now - playhead.timerStartWall) * 1000.0);
}

} // namespace

bool startMusic(const char* path, double fromMs) {
    startSilentClock(fromMs);
    playhead.path = path;
    playhead.followsAudio = true;
    // Relative to the page: the server holds the track beside it.
    audioLoad(path, fromMs);
    // Whether it will sound is known only once the browser has tried.
    return true;
}

void startSilentClock(double fromMs) {
    stopMusic();
    const double now = nowSeconds();
    playhead.smoothing.reset(now, fromMs);
    startTimer(now, fromMs);
    playhead.started = true;
}

void stopMusic() {
    if (playhead.followsAudio) audioStop();
    playhead.followsAudio = false;
    playhead.started = false;
}

double musicPositionMs() {
    const double ms = readClock();
    pageClockRead(ms);
    return ms;
}

} // namespace platform
