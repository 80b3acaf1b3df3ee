// The list of the pack's 41 files; see TextureSet.h. The JPEG options are
// spread on purpose: most colour files 4:2:0, some 4:4:4, masks greyscale,
// three files with a restart marker at every MCU row, some with optimised
// Huffman tables, qualities 85..95.
#include "TextureSet.h"

namespace {

JpegOptions opts(int quality, Chroma chroma, bool restart = false, bool optimise = false) {
    JpegOptions o;
    o.quality = quality;
    o.chroma = chroma;
    o.restartEveryRow = restart;
    o.optimiseTables = optimise;
    return o;
}

const Chroma S420 = Chroma::Sub420;
const Chroma S444 = Chroma::Sub444;

} // namespace

std::vector<TextureSpec> textureSet() {
    std::vector<TextureSpec> set = {
        {"nice.jpg", 512, 3, opts(90, S420), paintNice, 0, ""},
        {"net.jpg", 256, 3, opts(92, S444, true), paintNet, 0, ""},
        {"smallpart.jpg", 256, 1, opts(92, S420), paintSmallPart, 0, ""},
        {"block.jpg", 256, 3, opts(88, S420, false, true), paintBlock, 0, ""},
        {"rainbow.jpg", 256, 3, opts(92, S444), paintRainbow, 0, "rshadowmask.jpg"},
        {"rshadowmask.jpg", 256, 1, opts(90, S420), paintRainbowMask, 0, ""},
        {"triend.jpg", 512, 3, opts(86, S420), paintTriangles, 0, ""},
        {"rshadow.jpg", 256, 3, opts(88, S420), paintRainbowShadow, 0, "rshadowmask.jpg"},
        {"atex.jpg", 512, 3, opts(87, S420, false, true), paintRipples, 0, ""},
        {"cloud.jpg", 512, 3, opts(86, S420), paintCloud, 0, ""},
        {"smallpart2.jpg", 256, 3, opts(90, S420), paintSmallPart2, 0, "smallpart.jpg"},
        {"block2.jpg", 512, 3, opts(90, S420), paintBlock2, 0, ""},
        {"block3.jpg", 512, 3, opts(88, S420), paintBlock3, 0, ""},
        {"layer1.jpg", 512, 3, opts(85, S420), paintLightLeak, 0, "layer1_mask.jpg"},
        {"layer1_mask.jpg", 512, 1, opts(85, S420), paintLightLeakMask, 0, ""},
        {"specular.jpg", 256, 3, opts(92, S420), paintSpecular, 0, ""},
        {"chrometex.jpg", 512, 3, opts(90, S420, false, true), paintChromeBlob, 0, ""},
        {"layer.jpg", 1024, 3, opts(85, S420, true), paintLayer, 0, "layer_mask.jpg"},
        {"layer_mask.jpg", 1024, 1, opts(88, S420, true, true), paintLayerMask, 0, ""},
        {"tailpart.jpg", 256, 3, opts(92, S444), paintTailPart, 0, ""},
        {"flare.jpg", 512, 3, opts(90, S420), paintFlare, 0, ""},
        {"chromeo.jpg", 512, 3, opts(88, S420), paintChromeShell, 0, ""},
        {"endtext.jpg", 512, 3, opts(95, S444), paintEndText, 0, ""},
        {"6block.jpg", 512, 3, opts(90, S420), paintLightPanel, 0, ""},
        {"6block2.jpg", 256, 3, opts(90, S420), paintLightTube, 0, ""},
    };
    for (int i = 1; i <= 8; ++i) {
        std::string colour = "greet" + std::to_string(i) + ".jpg";
        std::string mask = "greet" + std::to_string(i) + "_mask.jpg";
        set.push_back({colour, 512, 3, opts(90, i % 4 == 0 ? S444 : S420), paintGreeting, i, mask});
        set.push_back({mask, 512, 1, opts(92, S420), paintGreetingMask, i, ""});
    }
    return set;
}
