// Supersampling's last step: an RGB frame drawn at n times the output size
// averaged down, each n x n block of pixels to one, rounded to nearest.
#pragma once

// `rgb` is `width` x `height` pixels (both multiples of n, 1 <= n <= 4); `out`
// receives (width / n) x (height / n). Row order is kept.
void boxFilter(const unsigned char* rgb, int width, int height, int n, unsigned char* out);
