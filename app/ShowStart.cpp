// Start-up of the programs that drive the show's clock. See ShowStart.h.
#include "app/ShowStart.h"

#include <unistd.h>

#include <cstdio>

#include "platform/Clock.h"

ShowStart startShow(CApplication& app, const char* tool, const std::string& assets,
                    const platform::WindowConfig* window) {
    double start = platform::nowSeconds();
    if (!assets.empty() && chdir(assets.c_str()) != 0) {
        std::fprintf(stderr, "%s: cannot enter the asset folder %s\n", tool, assets.c_str());
        return ShowStart::NoAssetFolder;
    }
    if (window) {
        // init() keeps a window that is already open.
        if (!platform::openWindow(*window)) return ShowStart::NoWindow;
    } else {
        platform::useHeadlessDrivers();
    }
    if (!app.init()) return ShowStart::NoWindow;
    preparationTimes.window = platform::nowSeconds() - start;
    if (!prepareShow()) {
        app.deinit();
        return ShowStart::Interrupted;
    }
    return ShowStart::Ready;
}

int exitStatus(ShowStart start) {
    switch (start) {
    case ShowStart::Ready: return 0;
    case ShowStart::Interrupted: return 130;
    default: return 1;
    }
}
