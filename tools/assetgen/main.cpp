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
#include "tools/common/CommandLine.h"

namespace {

const Usage usage = {"assetgen",
                     "usage: assetgen OUTDIR\n"
                     "       assetgen --icons OUTDIR\n",
                     "Writes the default asset pack: OUTDIR/Textures/*.jpg, OUTDIR/musa.mp3\n"
                     "and OUTDIR/contact-sheet.png; with --icons, the application icon:\n"
                     "OUTDIR/icon-256.png, OUTDIR/icon-48.png and OUTDIR/icon.svg.\n"};

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Paints and writes every texture, going on past a file that fails (one
// line each); false when any did.
bool writeTextures(const std::string& dir, std::map<std::string, Image>& images) {
    bool ok = true;
    for (const TextureSpec& spec : textureSet()) {
        Image image = spec.paint(spec.size, spec.variant);
        if (spec.channels == 1 && image.channels != 1) {
            fail(usage.tool, spec.name + ": painter gave colour for a mask");
            return false;
        }
        const std::string problem = writeJpeg(dir + "/" + spec.name, image, spec.options);
        if (!problem.empty()) {
            fail(usage.tool, problem);
            ok = false;
        }
        images.emplace(spec.name, std::move(image));
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (asksForHelp(argc, argv)) return printHelp(usage);
    const bool icons = argc == 3 && std::strcmp(argv[1], "--icons") == 0;
    if (argc != 2 && !icons) return usageError(usage, "give OUTDIR, or --icons and OUTDIR");
    // An option is never a folder name: refuse it rather than create "./--x".
    if (argv[argc - 1][0] == '-') return usageError(usage, unknownArgument(argv[argc - 1]));
    const std::string out = argv[argc - 1];
    const std::string folder = icons ? out : out + "/Textures";
    std::error_code err;
    std::filesystem::create_directories(folder, err);
    if (err) return fail(usage.tool, folder + ": " + err.message());
    if (icons) {
        const std::string problem = writeIcons(out);
        return problem.empty() ? 0 : fail(usage.tool, problem);
    }
    auto start = std::chrono::steady_clock::now();
    std::string musicProblem;
    double musicSeconds = 0;
    std::thread music([&] {
        musicProblem = writeSoundtrack(out + "/musa.mp3");
        musicSeconds = secondsSince(start);
    });
    std::map<std::string, Image> images;
    bool ok = writeTextures(out + "/Textures", images);
    double textureSeconds = secondsSince(start);
    const std::string sheetProblem =
        ok ? writeContactSheet(out + "/contact-sheet.png", textureSet(), images) : "";
    releaseFonts();
    music.join();
    for (const std::string& problem : {sheetProblem, musicProblem}) {
        if (problem.empty()) continue;
        fail(usage.tool, problem);
        ok = false;
    }
    std::printf("assetgen: textures %.2f s, soundtrack %.2f s, total %.2f s\n", textureSeconds,
                musicSeconds, secondsSince(start));
    return ok ? 0 : 1;
}
