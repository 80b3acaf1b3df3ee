// Command line of the capture tool.
#pragma once

#include <string>

#include "platform/RenderSize.h"

struct CaptureOptions {
    bool single = false;                // --at: one frame
    unsigned atMs = 0;                  // --at MS
    unsigned fromMs = 0;                // --from MS
    unsigned toMs = 150000;             // --to MS
    int fps = 60;                       // --fps N
    int width = platform::classicWidth; // --size WxH: pixels of the frames written, 4:3
    int height = platform::classicHeight;
    int supersample = 1;    // --supersample N, 1..4: drawn at N x the size, box-filtered down
    std::string out;        // --out FILE.png (with --at) or DIR
    std::string video;      // --video FILE.mp4: H.264 + AAC of the span
    std::string assets;     // --assets DIR; empty: the generated pack
    bool overwrite = false; // --overwrite: replace an earlier video or frames
    bool help = false;
};

// Parses argv into `options`. Returns an empty string, or the one-line error.
std::string parseCaptureOptions(int argc, char** argv, CaptureOptions& options);
extern const char* captureUsage;
