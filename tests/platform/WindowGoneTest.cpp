// The show's window destroyed by another X client, on a real X server
// (Xvfb, with twm as the window manager where it is installed): the show
// must end as if closed, with one line and status 0, not hang or abort.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "tests/support/Process.h"
#include "tests/support/ShowRunner.h"

// Last: Xlib defines macros (None, Bool) that clash with GoogleTest.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The first window under `root` (depth first) whose name is `name`, or 0.
Window findWindow(Display* x, Window root, const char* name) {
    char* title = nullptr;
    if (XFetchName(x, root, &title) && title) {
        bool match = std::string(title) == name;
        XFree(title);
        if (match) return root;
    }
    Window parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(x, root, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; i++) found = findWindow(x, children[i], name);
    if (children) XFree(children);
    return found;
}

// A private X server on a display nobody uses; `x` stays null when none starts.
struct XServer {
    std::string display;
    std::unique_ptr<testsupport::Program> server, windowManager;
    Display* x = nullptr;

    XServer() {
        for (int n = 90 + getpid() % 100; n < 400 && !x; n += 100) {
            if (access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0) continue;
            display = ":" + std::to_string(n);
            server.reset(new testsupport::Program("/usr/bin/Xvfb " + display +
                                                      " -screen 0 1280x1024x24 -nolisten tcp",
                                                  {}, "/"));
            for (int i = 0; i < 50 && !x; i++) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                x = XOpenDisplay(display.c_str());
            }
        }
        if (x && access("/usr/bin/twm", X_OK) == 0)
            windowManager.reset(new testsupport::Program("/usr/bin/twm", {"DISPLAY=" + display}, "/"));
    }
    ~XServer() {
        if (x) XCloseDisplay(x);
        windowManager.reset(); // killed: it never exits alone
        if (server) {
            server->sendSignal(SIGTERM); // lets Xvfb remove its lock file
            server->wait(5);
        }
    }
};

} // namespace

TEST(WindowGone, ShowEndsWithOneLineAndStatusZeroWhenAnotherClientDestroysItsWindow) {
    if (access("/usr/bin/Xvfb", X_OK) != 0) GTEST_SKIP() << "Xvfb is not installed (package xvfb)";
    XServer server;
    if (!server.x) GTEST_SKIP() << "Xvfb did not start on a free display";

    testsupport::Program show("demo",
                              {"DISPLAY=" + server.display, "SDL_VIDEODRIVER", "WAYLAND_DISPLAY",
                               "SDL_AUDIODRIVER=dummy"},
                              testsupport::generatedAssets());
    Window window = 0;
    for (auto start = Clock::now(); !window && secondsSince(start) < 60;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        window = findWindow(server.x, DefaultRootWindow(server.x), "Demo");
    }
    ASSERT_NE(window, 0u) << "the show opened no window named Demo";
    std::this_thread::sleep_for(std::chrono::seconds(2)); // into loading or the show

    auto destroyed = Clock::now();
    XDestroyWindow(server.x, window);
    XSync(server.x, False);
    testsupport::Finished f = show.wait(10);
    double seconds = secondsSince(destroyed);

    EXPECT_EQ(f.exitCode, 0) << f.err;
    // About 0.2 s on an idle machine; the margin absorbs a loaded one.
    EXPECT_LT(seconds, 3.0);
    EXPECT_NE(f.err.find("the window was closed by the system"), std::string::npos) << f.err;
    EXPECT_EQ(f.err.find("X Error"), std::string::npos) << f.err;
}
