// Test MP3 writer on libmp3lame.
#include "tests/support/TestMp3.h"

#include <lame/lame.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace testsupport {

bool writeTestMp3(const std::string& path, double seconds, int rate, int channels) {
    int frames = int(seconds * rate);
    std::vector<short> pcm(size_t(frames) * size_t(channels));
    for (size_t i = 0; i < pcm.size(); i++) {
        pcm[i] = short(8000.0 * std::sin(2.0 * M_PI * 440.0 * double(i / size_t(channels)) / rate));
    }
    lame_global_flags* lame = lame_init();
    if (!lame) return false;
    lame_set_in_samplerate(lame, rate);
    lame_set_out_samplerate(lame, rate);
    lame_set_num_channels(lame, channels);
    lame_set_brate(lame, 128);
    lame_set_quality(lame, 7);
    lame_set_bWriteVbrTag(lame, 0);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return false;
    }
    std::vector<unsigned char> mp3(size_t(frames) * 5 / 4 + 7200 + 16384);
    int n = channels == 2
                ? lame_encode_buffer_interleaved(lame, pcm.data(), frames, mp3.data(), int(mp3.size()))
                : lame_encode_buffer(lame, pcm.data(), pcm.data(), frames, mp3.data(), int(mp3.size()));
    int m = n >= 0 ? lame_encode_flush(lame, mp3.data() + n, int(mp3.size()) - n) : -1;
    lame_close(lame);
    if (n < 0 || m < 0) return false;
    std::ofstream file(path, std::ios::binary);
    return file.write(reinterpret_cast<const char*>(mp3.data()), n + m).flush().good();
}

std::string makeTempDir() {
    char pattern[] = "/tmp/demo-test-XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "/tmp";
}

} // namespace testsupport
