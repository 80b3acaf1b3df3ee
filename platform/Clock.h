// The system timers, on SDL's high-resolution counter (CLOCK_MONOTONIC_RAW
// or CLOCK_MONOTONIC on Linux). Neither needs SDL to be initialised.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds of the monotonic system clock: on Linux the time since boot,
// suspended time excluded. Never goes backwards.
uint64_t ticksMs();
// Seconds since the first call, at the counter's full resolution.
double nowSeconds();

} // namespace platform
