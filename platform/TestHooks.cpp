// The DEMO_TEST_REFUSE test hook. See TestHooks.h.
#include "platform/TestHooks.h"

#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// The entry of DEMO_TEST_REFUSE that starts with `name`, followed by `end`
// (a character or the entry's own end for 0); null when there is none.
const char* findEntry(const char* name, char end) {
    const char* list = std::getenv("DEMO_TEST_REFUSE");
    if (!list || !name) return nullptr;
    size_t length = std::strlen(name);
    for (const char* p = list; *p;) {
        size_t word = std::strcspn(p, " ,");
        bool ends = end ? word > length && p[length] == end : word == length;
        if (ends && std::strncmp(p, name, length) == 0) return p;
        p += word;
        p += std::strspn(p, " ,");
    }
    return nullptr;
}

} // namespace

bool refusedForTest(const char* name) {
    return findEntry(name, 0) != nullptr;
}

int limitForTest(const char* name, int actual) {
    const char* entry = findEntry(name, '=');
    if (!entry) return actual;
    long value = std::strtol(entry + std::strlen(name) + 1, nullptr, 10);
    return value > 0 && value < actual ? int(value) : actual;
}

} // namespace platform
