// The DEMO_TEST_REFUSE test hook. See TestHooks.h.
#include "platform/TestHooks.h"

#include <cstdlib>
#include <cstring>

namespace platform {

bool refusedForTest(const char* name) {
    const char* list = std::getenv("DEMO_TEST_REFUSE");
    if (!list || !name) return false;
    size_t length = std::strlen(name);
    for (const char* p = list; *p;) {
        size_t word = std::strcspn(p, " ,");
        if (word == length && std::strncmp(p, name, length) == 0) return true;
        p += word;
        p += std::strspn(p, " ,");
    }
    return false;
}

} // namespace platform
