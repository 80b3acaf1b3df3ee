// Size arguments of the tools' command lines: "WxH" in pixels, and render
// sizes, which must be 4:3 and at least 320x240 (platform/RenderSize.h).
// Whether the driver takes a render size is known only once the window is
// open; openWindow says so.
#pragma once

#include <string>

// Reads "WxH", both sides `low` .. `high` and nothing else around them.
// False, leaving `width` and `height` alone, for anything else.
bool parseSize(const char* text, int low, int high, int& width, int& height);

// Reads a render size "WxH" (each side at most 65536). Returns an empty
// string, or the problem as "TEXT: why" ("1000x1000: not 4:3 ...").
std::string parseRenderSize(const char* text, int& width, int& height);
