// Placeholder texture store (replaced by the full store with its decoder).
#pragma once

class Texture {
public:
    int index1D = 0;
    unsigned count = 0;
    unsigned ids[512] = {};
    char names[512][255] = {};

    unsigned load(const char* name, unsigned filter);
    unsigned load(const char* name, const char* maskName, unsigned filter);
    unsigned empty(unsigned size, unsigned filter);
    void bind(unsigned index);
};
