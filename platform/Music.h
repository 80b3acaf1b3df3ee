// The music stream: an MP3 file decoded with libmpg123 as playback needs it
// and played once through an SDL audio device. Its position, in ms of the
// track as heard, is the show's clock. When the file cannot be played or no
// device opens, one line goes to stderr and the clock runs on the system
// timer from the moment of the start call; after the track ends the clock
// goes on on the timer from the track's end, and likewise from where it
// stands when the device is lost during the show.
#pragma once

#include <cstdint>

namespace platform {

// Opens `path` and starts playing it from `fromMs` (0 by default, the
// show's own start). The clock then starts at `fromMs`. Returns false when
// the show will be silent (the timer clock then runs, from `fromMs`).
bool startMusic(const char* path, double fromMs = 0.0);
// Starts the clock on the system timer at `fromMs`, without sound or message
// (a muted preview).
void startSilentClock(double fromMs);
// Pauses (true) or resumes (false) the sound and the clock. While paused the
// clock stands still; it resumes from the same position.
void pauseMusic(bool paused);
// Stops playback and closes the device and file; the clock stops.
void stopMusic();
// Position in ms: smooth, never decreasing except across a new start call.
double musicPositionMs();
// Called by the event pump when SDL reports an output device removed: when it
// is the music's, one line goes to stderr and the clock goes on on the timer
// from where it stood, without a jump.
void audioDeviceRemoved(uint32_t device);

// Figures for tests and diagnostics.
struct MusicStats {
    bool playing = false;        // a device and a decoder are running
    bool ended = false;          // the decoder reached the end of the track
    int sampleRate = 0;          // frames per second of the device
    int bufferFrames = 0;        // frames per device callback
    uint64_t framesConsumed = 0; // frames the device has taken so far
    uint32_t device = 0;         // SDL audio device id, 0 when none
};
MusicStats musicStats();

} // namespace platform
