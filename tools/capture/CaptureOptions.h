// Command line of the capture tool.
#pragma once

#include <string>
#include <vector>

#include "platform/RenderSize.h"
#include "scenes/SceneTable.h"
#include "tools/common/CommandLine.h"

struct CaptureOptions {
    bool scenes = false;                // --scenes: print the scene table
    bool single = false;                // --at: one frame
    unsigned atMs = 0;                  // --at MS
    unsigned fromMs = 0;                // --from MS
    unsigned toMs = showEndMs;          // --to MS
    int fps = 60;                       // --fps N
    int width = platform::classicWidth; // --size WxH: pixels of the frames written, 4:3
    int height = platform::classicHeight;
    int supersample = 1; // --supersample N, 1..4: drawn at N x the size, box-filtered down
    std::string out;     // --out FILE.png (with --at) or DIR
    std::string video;   // --video FILE.mp4 (H.264 + AAC) or FILE.mkv (FFV1 + FLAC)
    int shard = 1;       // --shard K/N: the K-th (1..N) of N consecutive parts of the span
    int shards = 1;
    std::string join;                  // --join OUT: one video of the segments
    std::vector<std::string> segments; // the segment files, in order, after --join OUT
    std::string assets;                // --assets DIR; empty: the generated pack
    bool overwrite = false;            // --overwrite: replace an earlier video or frames
};

// True for a video name ending in .mkv: the lossless master.
bool isLosslessVideo(const std::string& name);

// Parses argv into `options` (--help aside: CommandLine.h). Returns an empty
// string, or the one-line error.
std::string parseCaptureOptions(int argc, char** argv, CaptureOptions& options);
extern const Usage captureUsage;
