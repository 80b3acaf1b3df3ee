// Fuzz target: any bytes as "musa.mp3" through the music's decoder, as the
// show uses it: opened by path (a memory file), then read to the end in
// device-callback-sized blocks. It must end cleanly, never spin, and never
// write past the block it is given.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/Mp3Stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int fd = memfd_create("musa.mp3", 0);
    if (fd < 0) abort();
    if (size && write(fd, data, size) != ssize_t(size)) abort();
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);

    platform::Mp3Stream stream;
    if (!stream.open(path)) {
        uint8_t block[2048 + 1];
        // 4 KB of input can hold at most a few hundred frames.
        for (int calls = 0; calls < 100000; calls++) {
            block[2048] = 0xA5;
            bool ended = false;
            size_t got = stream.read(block, 2048, &ended);
            if (got > 2048 || block[2048] != 0xA5) abort();
            if (ended) break;
            if (calls == 99999) abort(); // never ends
        }
    }
    stream.close();
    close(fd);
    return 0;
}
