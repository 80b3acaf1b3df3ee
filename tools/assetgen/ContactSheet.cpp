// Contact sheet layout: 7 columns of 160-pixel thumbnails with captions.
#include "ContactSheet.h"

#include "Canvas.h"
#include "Shade.h"

namespace {

const int kColumns = 7;
const int kThumb = 160;
const int kCell = 184;   // thumbnail plus margin
const int kCaption = 22; // caption height

// Thumbnail pixel (x, y) of img (nearest sample), RGB in 0..1.
Rgb sample(const Image& img, int x, int y) {
    const uint8_t* p = img.at(x * img.width / kThumb, y * img.height / kThumb);
    if (img.channels == 1) return {p[0] / 255.0, p[0] / 255.0, p[0] / 255.0};
    return {p[0] / 255.0, p[1] / 255.0, p[2] / 255.0};
}

void drawThumb(Canvas& sheet, int ox, int oy, const Image& img, const Image* mask) {
    for (int y = 0; y < kThumb; ++y) {
        uint32_t* row = sheet.row(oy + y) + ox;
        for (int x = 0; x < kThumb; ++x) {
            Rgb c = sample(img, x, y);
            if (mask) {
                double a = sample(*mask, x, y).r;
                double check = ((x / 10 + y / 10) % 2) ? 0.8 : 0.55;
                c = mix(Rgb{check, check, check}, c, a);
            }
            row[x] = 0xff000000u | uint32_t(toByte(c.r)) << 16 | uint32_t(toByte(c.g)) << 8 |
                     toByte(c.b);
        }
    }
    sheet.markDirty();
}

} // namespace

std::string writeContactSheet(const std::string& path, const std::vector<TextureSpec>& set,
                              const std::map<std::string, Image>& images) {
    int rows = int((set.size() + kColumns - 1) / kColumns);
    Canvas sheet(kColumns * kCell, rows * (kCell + kCaption));
    sheet.fill([](double, double) { return Rgb{0.12, 0.12, 0.14}; });
    for (size_t i = 0; i < set.size(); ++i) {
        const TextureSpec& spec = set[i];
        int x = int(i % kColumns) * kCell, y = int(i / kColumns) * (kCell + kCaption);
        const Image* mask = spec.mask.empty() ? nullptr : &images.at(spec.mask);
        drawThumb(sheet, x + (kCell - kThumb) / 2, y + (kCell - kThumb) / 2, images.at(spec.name), mask);
        sheet.text(spec.name.c_str(), x + kCell / 2.0, y + kCell + 2, 14, Font::Sans, {0.9, 0.9, 0.9});
    }
    return sheet.writePng(path);
}
