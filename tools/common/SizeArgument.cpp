// Size arguments of the tools. See SizeArgument.h.
#include "tools/common/SizeArgument.h"

#include <cstdlib>
#include <cstring>

#include "platform/RenderSize.h"

namespace {

// A decimal side of `length` characters from `text`, `low` .. `high`.
bool parseSide(const char* text, size_t length, int low, int high, int& side) {
    if (length == 0 || length > 9 || std::strspn(text, "0123456789") < length) return false;
    const long value = std::strtol(std::string(text, length).c_str(), nullptr, 10);
    if (value < low || value > high) return false;
    side = int(value);
    return true;
}

} // namespace

bool parseSize(const char* text, int low, int high, int& width, int& height) {
    const char* x = text ? std::strchr(text, 'x') : nullptr;
    int w = 0, h = 0;
    if (!x || !parseSide(text, size_t(x - text), low, high, w) ||
        !parseSide(x + 1, std::strlen(x + 1), low, high, h)) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

std::string parseRenderSize(const char* text, int& width, int& height) {
    int w = 0, h = 0;
    if (!parseSize(text, 1, 65536, w, h)) {
        return std::string(text ? text : "(none)") + ": expected WxH in pixels, such as 2048x1536";
    }
    if (const char* problem = platform::renderSizeProblem(w, h))
        return std::string(text) + ": " + problem;
    width = w;
    height = h;
    return "";
}
