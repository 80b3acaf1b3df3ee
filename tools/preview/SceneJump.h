// Where the preview's Left and Right keys go, and which music time the
// picture shows: plain arithmetic on the scene schedule, times in ms.
#pragma once

// Within this many ms after a scene's start, Left goes to the scene before.
constexpr unsigned sceneJumpGraceMs = 1000;

// Left: the start of the scene playing at `ms`, or of the scene before when
// `ms` is within the grace period of its start (0 stays 0).
unsigned previousSceneStart(unsigned ms);
// Right: the start of the next scene; in the last scene, `ms` itself.
unsigned nextSceneStart(unsigned ms);
// The music time the picture shows when the sound is at `musicMs`: the
// sound's time less the offset, never below 0 (positive offsets show the
// picture later).
unsigned pictureTimeMs(double musicMs, int avOffsetMs);
