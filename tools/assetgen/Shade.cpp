// Grey image helpers; see Shade.h.
#include "Shade.h"

#include <algorithm>
#include <vector>

Image greyImage(int size, const std::function<double(double, double)>& f) {
    Image out(size, size, 1);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) out.at(x, y)[0] = toByte(f((x + 0.5) / size, (y + 0.5) / size));
    return out;
}

// One box pass along rows (dx = 1) or columns, window 2 radius + 1.
static void boxPass(Image& img, int radius, bool rows) {
    int n = img.width;
    std::vector<int> line(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) {
        for (int i = 0; i < n; ++i) line[size_t(i)] = rows ? img.at(i, k)[0] : img.at(k, i)[0];
        int sum = 0;
        for (int i = -radius; i <= radius; ++i) sum += line[size_t(std::min(std::max(i, 0), n - 1))];
        for (int i = 0; i < n; ++i) {
            uint8_t v = uint8_t((sum + radius) / (2 * radius + 1));
            (rows ? img.at(i, k) : img.at(k, i))[0] = v;
            sum += line[size_t(std::min(i + radius + 1, n - 1))] - line[size_t(std::max(i - radius, 0))];
        }
    }
}

void blurGrey(Image& image, int radius) {
    if (radius <= 0) return;
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(image, radius, true);
        boxPass(image, radius, false);
    }
}
