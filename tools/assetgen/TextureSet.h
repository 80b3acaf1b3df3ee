// The texture pack: every file the show loads from "Textures/", its size,
// JPEG options and painter. Painters are pure functions of (size, variant),
// so the pack is the same on every run.
#pragma once

#include <string>
#include <vector>

#include "Image.h"
#include "JpegFile.h"

struct TextureSpec {
    std::string name; // file name under Textures/
    int size;         // square, 256..1024, a power of two
    int channels;     // 1 = greyscale (masks), 3 = colour
    JpegOptions options;
    Image (*paint)(int size, int variant);
    int variant;      // greeting number 1..8, else 0
    std::string mask; // the mask the show pairs with this colour file, or ""
};

// All 41 files in load order of the show (colour file, then its mask).
std::vector<TextureSpec> textureSet();

// Painters, grouped by source file.
// TexturesLight.cpp: dots, streaks, flare, highlights, rainbow ribbons.
Image paintSmallPart(int size, int);
Image paintSmallPart2(int size, int);
Image paintTailPart(int size, int);
Image paintFlare(int size, int);
Image paintSpecular(int size, int);
Image paintRainbow(int size, int);
Image paintRainbowMask(int size, int);
Image paintRainbowShadow(int size, int);
// TexturesSurface.cpp: the net, nebula, chrome, film layers and fillers.
Image paintNet(int size, int);
Image paintNice(int size, int);
Image paintChromeBlob(int size, int);
Image paintChromeShell(int size, int);
Image paintLayer(int size, int);
Image paintLayerMask(int size, int);
Image paintLightLeak(int size, int);
Image paintLightLeakMask(int size, int);
Image paintCloud(int size, int);
Image paintRipples(int size, int);
Image paintTriangles(int size, int);
// TexturesPanels.cpp: tech panels, dark and light.
Image paintBlock(int size, int);
Image paintBlock2(int size, int);
Image paintBlock3(int size, int);
Image paintLightPanel(int size, int);
Image paintLightTube(int size, int);
// TexturesType.cpp: greetings and the closing card.
Image paintGreeting(int size, int number);
Image paintGreetingMask(int size, int number);
Image paintEndText(int size, int);
