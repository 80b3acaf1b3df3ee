// GNU libc's random() sequence. See GlibcRandom.h.
#include "platform/web/GlibcRandom.h"

namespace platform {

void GlibcRandom::seed(unsigned s) {
    state[0] = int32_t(s ? s : 1);
    // A minimal standard generator (16807 x mod 2^31 - 1, in Schrage's form so
    // that nothing overflows) fills the rest of the state, as glibc does.
    for (int i = 1; i < degree; i++) {
        const int64_t word = state[i - 1];
        const int64_t hi = word / 127773, lo = word % 127773;
        int64_t next = 16807 * lo - 2836 * hi;
        if (next < 0) next += 2147483647;
        state[i] = int32_t(next);
    }
    front = separation;
    rear = 0;
    // glibc discards the first ten rounds of the state.
    for (int i = 0; i < 10 * degree; i++) next();
}

int GlibcRandom::next() {
    const uint32_t sum = uint32_t(state[front]) + uint32_t(state[rear]);
    state[front] = int32_t(sum);
    front = front + 1 == degree ? 0 : front + 1;
    rear = rear + 1 == degree ? 0 : rear + 1;
    return int(sum >> 1);
}

} // namespace platform
