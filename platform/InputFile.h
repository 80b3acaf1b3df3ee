// Opening the files the show reads (textures, the music) without ever
// blocking: a FIFO, a device or a socket in place of a file would make a
// plain open wait forever for a writer, so such a path is refused before
// anything is read from it.
#pragma once

#include <cstdio>

namespace platform {

// Opens `path` for reading in binary mode. On failure returns null and sets
// `problem`: null when nothing is there (a missing file), else "is a folder,
// not a file", "is not a regular file" or "cannot be read".
std::FILE* openInputFile(const char* path, const char** problem);

} // namespace platform
