// The show's images by slot: a named constant for every slot the scenes,
// the overlay and the model bind, and the table that fills Engine::slots.
// Slots run 0 .. slotCount - 1; each is loaded once, in table order, so the
// n-th entry (from 0) gets texture index n + 2 after the glow's two work
// textures.
#pragma once

constexpr int slotNice = 0;
constexpr int slotNet = 1;
constexpr int slotSmallPart = 2;
constexpr int slotBlock = 3;
constexpr int slotRainbow = 4;
constexpr int slotTriEnd = 5;
constexpr int slotRShadow = 6;
constexpr int slotAtex = 7;
constexpr int slotCloud = 8;
constexpr int slotSmallPart2 = 9;
constexpr int slotBlock2 = 10;
constexpr int slotBlock3 = 11;
constexpr int slotLayer1 = 12;
constexpr int slotSpecular = 13;
constexpr int slotChromeTex = 14;
constexpr int slotLayer = 15;
constexpr int slotTailPart = 16;
constexpr int slotFlare = 17;
constexpr int slotFirstGreeting = 18; // the eight greetings in 18 .. 25
constexpr int greetingSlotCount = 8;
constexpr int slotChromeO = 26;
constexpr int slotEndText = 27;
constexpr int slot6Block = 28;
constexpr int slot6Block2 = 29;
constexpr int slotCount = 30;

// One image of the show: its slot, its file in "Textures/", and the file
// whose grey level gives its alpha (null for an opaque image).
struct SlotFile {
    int slot;
    const char* file;
    const char* mask;
};

// Every slot once, in loading order: 0 .. 17, 26 .. 29, then the greetings.
extern const SlotFile slotFiles[slotCount];
