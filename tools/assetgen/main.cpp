// assetgen OUTDIR: writes the show's default asset pack, OUTDIR/Textures/*.jpg
// and OUTDIR/musa.mp3, plus OUTDIR/contact-sheet.png; assetgen --icons OUTDIR
// writes the application icon instead (Icon.h). Deterministic: the same
// bytes on every run. The soundtrack is synthesised and encoded on a second
// thread while the textures are painted and encoded on this one.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <thread>

#include "Canvas.h"
#include "ContactSheet.h"
#include "Icon.h"
#include "Soundtrack.h"
#include "TextureSet.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool writeTextures(const std::string& dir, std::map<std::string, Image>& images) {
    bool ok = true;
    for (const TextureSpec& spec : textureSet()) {
        Image image = spec.paint(spec.size, spec.variant);
        if (spec.channels == 1 && image.channels != 1) {
            std::fprintf(stderr, "assetgen: %s: painter gave colour for a mask\n", spec.name.c_str());
            return false;
        }
        ok = writeJpeg(dir + "/" + spec.name, image, spec.options) && ok;
        images.emplace(spec.name, std::move(image));
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    const char* usage = "usage: assetgen OUTDIR\n"
                        "       assetgen --icons OUTDIR\n"
                        "Writes the default asset pack: OUTDIR/Textures/*.jpg, OUTDIR/musa.mp3\n"
                        "and OUTDIR/contact-sheet.png; with --icons, the application icon:\n"
                        "OUTDIR/icon-256.png, OUTDIR/icon-48.png and OUTDIR/icon.svg.\n";
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage, stdout);
        return 0;
    }
    const bool icons = argc == 3 && std::strcmp(argv[1], "--icons") == 0;
    // An option is never a folder name: refuse it rather than create "./--x".
    if ((argc != 2 && !icons) || argv[argc - 1][0] == '-') {
        std::fputs(usage, stderr);
        return 2;
    }
    const std::string out = argv[argc - 1];
    const std::string folder = icons ? out : out + "/Textures";
    std::error_code err;
    std::filesystem::create_directories(folder, err);
    if (err) {
        std::fprintf(stderr, "assetgen: %s: %s\n", folder.c_str(), err.message().c_str());
        return 1;
    }
    if (icons) return writeIcons(out) ? 0 : 1;
    auto start = std::chrono::steady_clock::now();
    bool musicOk = false;
    double musicSeconds = 0;
    std::thread music([&] {
        musicOk = writeSoundtrack(out + "/musa.mp3");
        musicSeconds = secondsSince(start);
    });
    std::map<std::string, Image> images;
    bool texturesOk = writeTextures(out + "/Textures", images);
    double textureSeconds = secondsSince(start);
    bool sheetOk = texturesOk && writeContactSheet(out + "/contact-sheet.png", textureSet(), images);
    releaseFonts();
    music.join();
    std::printf("assetgen: textures %.2f s, soundtrack %.2f s, total %.2f s\n", textureSeconds,
                musicSeconds, secondsSince(start));
    return texturesOk && sheetOk && musicOk ? 0 : 1;
}
