// The contact sheet: every texture of the pack in a grid with its file name,
// masked colour files composited over a checkerboard. Written as PNG.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Image.h"
#include "TextureSet.h"

// images: the painted pack by file name. Returns "", or the problem when
// the PNG cannot be written.
std::string writeContactSheet(const std::string& path, const std::vector<TextureSpec>& set,
                              const std::map<std::string, Image>& images);
