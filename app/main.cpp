// Entry point: open the window, prepare everything, play the show, close.
#include "app/CApplication.h"

int main() {
    CApplication app;
    if (!app.init()) return 1;
    app.precalc();
    app.execute();
    app.deinit();
    return 0;
}
