// The window, its OpenGL context, input events, the buffer swap, GL entry
// points, error messages and the headless drivers, on SDL2. The show renders
// at the render size (RenderSize.h). Unless a program fixed that size, the
// window chooses it: the largest 4:3 area of the drawable in native pixels
// (1024 x 768 in the classic display mode), and a resizable window follows
// its resizes. When the drawable is not exactly the render size (no 1024 x 768
// mode, Wayland, HiDPI, a resizable preview window, a fixed size) the show
// draws into an off-screen framebuffer of the render size, which present()
// shows at 4:3 with black bars.
#pragma once

#include "platform/RenderSize.h"

namespace platform {

enum class WindowMode {
    Fullscreen,        // switch the display to the classic 1024 x 768 for the run
    FullscreenDesktop, // cover the desktop without a mode switch
    Windowed,          // a resizable window of the given size
};

struct WindowConfig {
    const char* title = "Demo";
    WindowMode mode = WindowMode::Fullscreen;
    int width = classicWidth; // window size in windowed mode
    int height = classicHeight;
    // Swap interval: 1 waits for the display's refresh, 0 does not, and -1
    // (the show) leaves the driver's own setting.
    int swapInterval = -1;
};

// Opens the window and makes a compatibility-profile GL context current.
// On failure (among them a fixed render size beyond the driver's
// GL_MAX_RENDERBUFFER_SIZE or GL_MAX_VIEWPORT_DIMS) prints one line on
// stderr, naming the limit, cleans up and returns false.
bool openWindow(const WindowConfig& config);

// Restores the display mode and releases the context and the window. Safe to
// call more than once; also runs at exit and on a fatal error after the
// mode switch.
void closeWindow();

enum class Key { None, Escape, Space, Left, Right, Q, Other };
enum class EventType { None, KeyDown, Quit, Other };
struct Event {
    EventType type = EventType::None;
    Key key = Key::None;
};

// Takes at most one pending event; type None when the queue is empty, Other
// for an event the show ignores.
Event pollEvent();

// True when a quit request (the window closed or destroyed, SIGINT, SIGTERM) is waiting;
// it stays queued for pollEvent. Cheap enough to ask between loading steps.
bool quitRequested();

// Binds the render target; call before drawing a frame. After a resize of a
// resizable window an unfixed render size follows the drawable here (the
// off-screen target is resized), so that a paused picture stays until the
// next frame is drawn.
void beginFrame();
// Shows the finished frame: scales the off-screen target if there is one
// (not on the offscreen driver, which nobody sees), then swaps the buffers.
void present();
// Reads the render target (renderWidth() x renderHeight()), bottom row
// first, RGB bytes.
void readFrame(unsigned char* rgb);
// True when the show draws into an off-screen framebuffer.
bool usesOffscreenTarget();

// Address of a GL entry point, or null.
void* glProcAddress(const char* name);
// True when the current context advertises the extension.
bool hasGLExtension(const char* name);
// Widest and tallest 2-D texture the current context takes, in pixels.
int maxTextureSide();

// Prints the text as one line on stderr and, unless boxes are disabled
// (headless tools and tests), shows it in a modal box with an OK button and
// waits until it is dismissed.
void showError(const char* caption, const char* text);
void setMessageBoxes(bool enabled);
// For headless tools and tests: SDL's offscreen video driver (Mesa through
// EGL, no display needed) and dummy audio driver, messages on stderr only.
// Call before openWindow.
void useHeadlessDrivers();

} // namespace platform
