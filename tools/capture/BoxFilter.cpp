// Box filter of a supersampled frame. See BoxFilter.h.
#include "tools/capture/BoxFilter.h"

#include <cassert>
#include <cstddef>

void boxFilter(const unsigned char* rgb, int width, int height, int n, unsigned char* out) {
    assert(n >= 1 && n <= 4 && width % n == 0 && height % n == 0);
    const unsigned count = unsigned(n * n);
    for (int y = 0; y < height / n; y++) {
        for (int x = 0; x < width / n; x++) {
            unsigned sum[3] = {count / 2, count / 2, count / 2}; // rounds the quotient
            for (int dy = 0; dy < n; dy++) {
                const unsigned char* p = rgb + (size_t(y * n + dy) * size_t(width) + size_t(x * n)) * 3;
                for (int i = 0; i < 3 * n; i++) sum[i % 3] += p[i];
            }
            for (int c = 0; c < 3; c++) *out++ = (unsigned char)(sum[c] / count);
        }
    }
}
