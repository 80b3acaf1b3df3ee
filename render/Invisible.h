// Primitives that change no pixel, decided from the blending and fog their
// drawing sets up, so that the drawing can leave them out; and the count of
// those left out, for the frame benchmark. Each case is exact, not an
// approximation:
// - blending GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA with no depth writes, at
//   alpha 0 or below: every pixel is kept times 1 and gets 0 added;
// - blending GL_SRC_ALPHA, GL_ONE under linear fog to black: a primitive
//   whose every point lies at or beyond the fog's end is drawn black and
//   adds 0.
#pragma once

// Counts one primitive the drawing may leave out, or draws; returns true
// when it is to be left out: `invisible` holds and leaving out is on.
bool leaveOut(bool invisible);

// Blending GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, no depth writes.
inline bool invisibleOver(float alpha) {
    return alpha <= 0.0f;
}

// Blending GL_SRC_ALPHA, GL_ONE, linear fog to black ending at `fogEnd`
// (eye-space distance); `nearest` is the primitive's least distance from
// the eye along the view axis.
inline bool invisibleAddedInFog(float nearest, float fogEnd) {
    return nearest >= fogEnd;
}

struct LeftOut {
    bool enabled = true; // off only to compare frames and time the drawing
    long tested = 0;     // primitives asked about since the counts were reset
    long left = 0;       // of those, left out
};
extern LeftOut leftOut;
