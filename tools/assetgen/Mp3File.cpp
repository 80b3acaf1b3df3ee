// LAME encoder driver; see Mp3File.h. LAME writes no time stamps; with the
// ID3 tag off and the Info tag written from lame_get_lametag_frame, the file
// depends only on the samples.
#include "Mp3File.h"

#include <cstdio>
#include <vector>

#include <lame/lame.h>

#include "tools/common/OutputFile.h"

namespace {

std::string fail(const std::string& path, const char* problem, lame_t lame) {
    if (lame) lame_close(lame);
    return path + ": " + problem;
}

// A failed write: the file's own message, with the system's reason.
std::string failWrite(OutputFile& out, lame_t lame) {
    out.fail();
    lame_close(lame);
    return out.error();
}

} // namespace

std::string writeMp3(const std::string& path, const StereoBuffer& pcm) {
    lame_t lame = lame_init();
    if (!lame) return fail(path, "cannot start the MP3 encoder", nullptr);
    lame_set_in_samplerate(lame, kRate);
    lame_set_out_samplerate(lame, kRate);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_brate(lame, 192);
    lame_set_quality(lame, 3);
    lame_set_bWriteVbrTag(lame, 1);
    lame_set_write_id3tag_automatic(lame, 0);
    if (lame_init_params(lame) < 0) return fail(path, "encoder rejected its settings", lame);
    OutputFile out(path);
    FILE* file = out.stream();
    if (!file) return failWrite(out, lame);

    const long chunk = 8192;
    std::vector<unsigned char> buffer(size_t(1.25 * chunk + 7200));
    for (long at = 0; at < pcm.frames(); at += chunk) {
        int count = int(std::min(chunk, pcm.frames() - at));
        int bytes = lame_encode_buffer_ieee_float(lame, &pcm.l[size_t(at)], &pcm.r[size_t(at)], count,
                                                  buffer.data(), int(buffer.size()));
        if (bytes < 0) return fail(path, "encoding failed", lame);
        if (!out.write(buffer.data(), size_t(bytes))) return failWrite(out, lame);
    }
    int bytes = lame_encode_flush(lame, buffer.data(), int(buffer.size()));
    if (bytes < 0) return fail(path, "encoding failed", lame);
    if (!out.write(buffer.data(), size_t(bytes))) return failWrite(out, lame);
    // The Info tag replaces the empty first frame that LAME reserved for it.
    std::vector<unsigned char> tag(8192);
    size_t tagBytes = lame_get_lametag_frame(lame, tag.data(), tag.size());
    if (tagBytes > 0 && (std::fseek(file, 0, SEEK_SET) != 0 || !out.write(tag.data(), tagBytes)))
        return failWrite(out, lame);
    lame_close(lame);
    return out.commit();
}
