// The page's side of the browser backend: each call goes to the page
// script's object demoPage (web/page.js). See Page.h.
#include "platform/web/Page.h"

#include <emscripten/emscripten.h>

namespace platform {
namespace {

EM_JS(double, jsMoment, (), { return demoPage.at; });
EM_JS(double, jsFrameCount, (), { return demoPage.frameCount; });
EM_JS(int, jsFrameRate, (), { return demoPage.frameRate; });
EM_JS(void, jsFrameShown, (), { demoPage.frameShown(); });
EM_JS(void, jsReady, (), { demoPage.ready(); });
EM_JS(int, jsStarted, (), { return demoPage.started ? 1 : 0; });
EM_JS(void, jsFrameDrawn, (double busyMs), { demoPage.frameDrawn(busyMs); });
EM_JS(void, jsClockRead, (double ms), { demoPage.clockRead(ms); });
EM_JS(void, jsEnded, (), { demoPage.ended(); });

} // namespace

long pageMomentMs() {
    return long(jsMoment());
}

long pageFrameCount() {
    return long(jsFrameCount());
}

int pageFrameRate() {
    return jsFrameRate();
}

void pageFrameShown() {
    jsFrameShown();
}

void pageReady() {
    jsReady();
}

bool pageStarted() {
    return jsStarted() != 0;
}

void pageFrameDrawn(double busyMs) {
    jsFrameDrawn(busyMs);
}

void pageClockRead(double ms) {
    jsClockRead(ms);
}

void pageEnded() {
    jsEnded();
}

} // namespace platform
