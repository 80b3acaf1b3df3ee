// The system timers in a browser, on performance.now(): milliseconds since
// the page's time origin, monotonic, at the browser's resolution (0.1 ms in
// Chromium, coarser where a browser blurs timers against fingerprinting).
#include "platform/Clock.h"

#include <emscripten/emscripten.h>

namespace platform {
namespace {

// Milliseconds from 1970 to the page's time origin: ticksMs() counts from
// there, so that it is as large as the desktop's time since boot and the
// show's first frame step, taken against 0, is its 2500 ms cap there too.
EM_JS(double, pageOriginMs, (), { return performance.timeOrigin; });

} // namespace

uint64_t ticksMs() {
    static const double origin = pageOriginMs();
    return uint64_t(origin + emscripten_get_now());
}

double nowSeconds() {
    static const double start = emscripten_get_now();
    return (emscripten_get_now() - start) / 1000.0;
}

} // namespace platform
