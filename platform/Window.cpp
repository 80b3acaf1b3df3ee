// SDL2 window and OpenGL context for the show. See Window.h for the contract.
#include "platform/Window.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "platform/GL.h"
#include "platform/Music.h"
#include "platform/TestHooks.h"
#include "platform/WindowWatch.h"

namespace platform {
namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
bool sdlVideoStarted = false;
bool exitHookInstalled = false;
bool messageBoxes = true;
bool headlessDriver = false;      // SDL's offscreen driver: no display paces the swaps
int drawableW = 0, drawableH = 0; // pixels GL draws on: from X at open, then from window events

// Off-screen render target of the render size, used when the drawable
// differs from it and in windowed mode.
struct Framebuffer {
    GLuint fbo = 0, colour = 0, depth = 0;
    int width = 0, height = 0; // pixels of its storage
    PFNGLGENFRAMEBUFFERSEXTPROC gen = nullptr;
    PFNGLBINDFRAMEBUFFEREXTPROC bind = nullptr;
    PFNGLGENRENDERBUFFERSEXTPROC genRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFEREXTPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEEXTPROC storage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC attach = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC status = nullptr;
    PFNGLBLITFRAMEBUFFEREXTPROC blit = nullptr;
    PFNGLDELETEFRAMEBUFFERSEXTPROC del = nullptr;
    PFNGLDELETERENDERBUFFERSEXTPROC delRenderbuffers = nullptr;
} target;

// The largest render target the driver takes, read once the context is
// current: GL_MAX_RENDERBUFFER_SIZE (0 without framebuffer objects) and
// GL_MAX_VIEWPORT_DIMS, each lowered by the test hook.
GLint maxRenderbufferSide = 0;
GLint maxViewport[2] = {0, 0};
// An unfixed render size follows size events only in a resizable window:
// both fullscreen modes keep the size X gave at open, since SDL's events
// claim the display's size for them even where nothing made the window that
// large (a bare X server), and asking X again in the frame loop is not safe.
bool followsResizes = false;
bool drawableChanged = false; // a size event came since the render size last followed

void* proc(const char* core, const char* ext) {
    void* p = SDL_GL_GetProcAddress(core);
    return p ? p : SDL_GL_GetProcAddress(ext);
}

bool loadTargetProcs() {
    Framebuffer& t = target;
    t.gen = (PFNGLGENFRAMEBUFFERSEXTPROC)proc("glGenFramebuffers", "glGenFramebuffersEXT");
    t.bind = (PFNGLBINDFRAMEBUFFEREXTPROC)proc("glBindFramebuffer", "glBindFramebufferEXT");
    t.genRenderbuffers =
        (PFNGLGENRENDERBUFFERSEXTPROC)proc("glGenRenderbuffers", "glGenRenderbuffersEXT");
    t.bindRenderbuffer =
        (PFNGLBINDRENDERBUFFEREXTPROC)proc("glBindRenderbuffer", "glBindRenderbufferEXT");
    t.storage =
        (PFNGLRENDERBUFFERSTORAGEEXTPROC)proc("glRenderbufferStorage", "glRenderbufferStorageEXT");
    t.attach = (PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC)proc("glFramebufferRenderbuffer",
                                                         "glFramebufferRenderbufferEXT");
    t.status = (PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC)proc("glCheckFramebufferStatus",
                                                        "glCheckFramebufferStatusEXT");
    t.blit = (PFNGLBLITFRAMEBUFFEREXTPROC)proc("glBlitFramebuffer", "glBlitFramebufferEXT");
    t.del = (PFNGLDELETEFRAMEBUFFERSEXTPROC)proc("glDeleteFramebuffers", "glDeleteFramebuffersEXT");
    t.delRenderbuffers =
        (PFNGLDELETERENDERBUFFERSEXTPROC)proc("glDeleteRenderbuffers", "glDeleteRenderbuffersEXT");
    return t.gen && t.bind && t.genRenderbuffers && t.bindRenderbuffer && t.storage && t.attach &&
           t.status && t.blit && t.del && t.delRenderbuffers;
}

void readSizeLimit() {
    maxRenderbufferSide = 0;
    if (loadTargetProcs()) glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &maxRenderbufferSide);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    maxRenderbufferSide = limitForTest("GL_MAX_RENDERBUFFER_SIZE", maxRenderbufferSide);
    maxViewport[0] = limitForTest("GL_MAX_VIEWPORT_DIMS", maxViewport[0]);
    maxViewport[1] = limitForTest("GL_MAX_VIEWPORT_DIMS", maxViewport[1]);
}

bool withinSizeLimit(int width, int height) {
    return width <= maxRenderbufferSide && width <= maxViewport[0] && height <= maxRenderbufferSide &&
           height <= maxViewport[1];
}

// Gives the target storage of `width` x `height`, leaves it bound and
// cleared to black. False when the driver refuses the size.
bool sizeTarget(int width, int height) {
    Framebuffer& t = target;
    t.bind(GL_FRAMEBUFFER_EXT, t.fbo);
    t.bindRenderbuffer(GL_RENDERBUFFER_EXT, t.colour);
    t.storage(GL_RENDERBUFFER_EXT, GL_RGBA8, width, height);
    t.bindRenderbuffer(GL_RENDERBUFFER_EXT, t.depth);
    t.storage(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
    if (t.status(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT) {
        // A refused size (out of memory) leaves GL errors that are not the show's.
        while (glGetError() != GL_NO_ERROR) continue;
        return false;
    }
    t.width = width;
    t.height = height;
    glViewport(0, 0, width, height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

void destroyTarget() {
    if (!target.fbo) return;
    target.bind(GL_FRAMEBUFFER_EXT, 0);
    GLuint buffers[2] = {target.colour, target.depth};
    target.delRenderbuffers(2, buffers);
    target.del(1, &target.fbo);
    target.fbo = 0;
    target.width = target.height = 0;
}

bool createTarget(int width, int height) {
    Framebuffer& t = target;
    if (!loadTargetProcs()) return false;
    t.gen(1, &t.fbo);
    t.bind(GL_FRAMEBUFFER_EXT, t.fbo);
    GLuint buffers[2];
    t.genRenderbuffers(2, buffers);
    t.colour = buffers[0];
    t.depth = buffers[1];
    t.bindRenderbuffer(GL_RENDERBUFFER_EXT, t.colour);
    t.attach(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT, t.colour);
    t.bindRenderbuffer(GL_RENDERBUFFER_EXT, t.depth);
    t.attach(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, t.depth);
    if (sizeTarget(width, height)) return true;
    destroyTarget();
    return false;
}

// The render size of a drawable when none is fixed: its largest 4:3 area in
// native pixels, within the driver's limit and at least 320 x 240.
PixelSize nativeSize() {
    int width = drawableW, height = drawableH;
    if (maxRenderbufferSide > 0) {
        width = std::min({width, int(maxRenderbufferSide), int(maxViewport[0])});
        height = std::min({height, int(maxRenderbufferSide), int(maxViewport[1])});
    }
    PixelSize size = largestFourByThree(width, height);
    if (size.width < leastRenderWidth) size = {leastRenderWidth, leastRenderHeight};
    return size;
}

// After a resize, gives an unfixed render size the drawable's native size:
// drawn straight into the drawable while that matches exactly, else into the
// off-screen target, created or resized here. A size the driver refuses
// keeps the last one.
void followDrawable() {
    const PixelSize size = nativeSize();
    if (target.fbo ? size.width == target.width && size.height == target.height
                   : size.width == drawableW && size.height == drawableH) {
        return;
    }
    const int lastWidth = target.width, lastHeight = target.height;
    if (target.fbo ? sizeTarget(size.width, size.height) : createTarget(size.width, size.height)) {
        chooseRenderSize(size.width, size.height);
    } else if (target.fbo) {
        sizeTarget(lastWidth, lastHeight);
    }
}

// The size of the surface GL really draws on, asked once the window is open.
// SDL reports the display mode's size for a fullscreen window even where no
// window manager made the window that large (a bare X server such as Xvfb);
// the window system knows the truth. Later sizes come from window events.
void watchWindow() {
    SDL_GL_GetDrawableSize(window, &drawableW, &drawableH);
    watchSystemWindow(window, &drawableW, &drawableH);
}

bool fail(const char* what) {
    std::fprintf(stderr, "Demo: %s (%s).\n", what, SDL_GetError());
    closeWindow();
    return false;
}

bool beyondSizeLimit() {
    std::fprintf(stderr,
                 "Demo: the render size %dx%d is beyond what this OpenGL driver allows "
                 "(GL_MAX_RENDERBUFFER_SIZE %d, GL_MAX_VIEWPORT_DIMS %dx%d).\n",
                 renderWidth(), renderHeight(), int(maxRenderbufferSide), int(maxViewport[0]),
                 int(maxViewport[1]));
    closeWindow();
    return false;
}

void setContextAttributes(int depthBits) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
#if DEMO_GL_FIXED
    // The fixed-function layer draws on OpenGL ES 2.0, as in the browser.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
#else
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
#endif
}

// With the fixed-function layer, the vertices it has gathered belong to the
// framebuffer bound now: drawn before another is bound or the frame shown.
void drawGathered() {
#if DEMO_GL_FIXED
    fixedgl::flush();
#endif
}

bool noDisplay(const char* detail) {
    std::fprintf(stderr,
                 "Demo: no display is available%s%s%s; run it in a graphical session or "
                 "under Xvfb.\n",
                 detail ? " (" : "", detail ? detail : "", detail ? ")" : "");
    closeWindow();
    return false;
}

// SDL falls back to its invisible offscreen driver when no display server is
// reachable; the show must then say so instead of playing unseen. A driver
// named in SDL_VIDEODRIVER (as the headless tools and tests do) is honoured.
bool displayReachable() {
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    if (chosen && *chosen) return true;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

bool invisibleDriver() {
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (chosen && *chosen)) return false;
    return std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

} // namespace

bool openWindow(const WindowConfig& config) {
    if (window) return true;
    if (!displayReachable()) return noDisplay(nullptr);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
        return noDisplay(SDL_GetError());
    }
    sdlVideoStarted = true;
    if (invisibleDriver()) return noDisplay(nullptr);
    if (!exitHookInstalled) {
        std::atexit(closeWindow);
        exitHookInstalled = true;
    }

    Uint32 flags = SDL_WINDOW_OPENGL;
    int width = config.width, height = config.height;
    switch (config.mode) {
    case WindowMode::Fullscreen:
        flags |= SDL_WINDOW_FULLSCREEN | SDL_WINDOW_BORDERLESS;
        width = classicWidth;
        height = classicHeight;
        break;
    case WindowMode::FullscreenDesktop:
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
        break;
    case WindowMode::Windowed: flags |= SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI; break;
    }

    // A 24-bit depth buffer first; some drivers offer only 16.
    for (int depthBits : {24, 16}) {
        setContextAttributes(depthBits);
        window = SDL_CreateWindow(config.title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                  height, flags);
        if (!window) continue;
        context = SDL_GL_CreateContext(window);
        if (context) break;
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    if (!window) return fail("cannot open an OpenGL window");
    if (config.mode == WindowMode::Fullscreen) {
        // Ask for the 1024 x 768 mode explicitly; SDL restores the desktop
        // mode when the window is destroyed.
        SDL_DisplayMode want = {SDL_PIXELFORMAT_RGB888, classicWidth, classicHeight, 0, nullptr};
        SDL_DisplayMode closest;
        if (SDL_GetClosestDisplayMode(SDL_GetWindowDisplayIndex(window), &want, &closest)) {
            SDL_SetWindowDisplayMode(window, &closest);
        }
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    headlessDriver = driver && std::strcmp(driver, "offscreen") == 0;
    SDL_ShowCursor(SDL_DISABLE);
    if (config.swapInterval >= 0) SDL_GL_SetSwapInterval(config.swapInterval);

    watchWindow();
    readSizeLimit();
    if (!renderSizeFixed()) {
        const PixelSize size = nativeSize();
        chooseRenderSize(size.width, size.height);
    }
    bool exact = drawableW == renderWidth() && drawableH == renderHeight();
    const bool limited = maxRenderbufferSide > 0; // else only the drawable itself can be drawn on
    if (!exact && limited && !withinSizeLimit(renderWidth(), renderHeight())) return beyondSizeLimit();
    if ((!exact || config.mode == WindowMode::Windowed) &&
        !createTarget(renderWidth(), renderHeight())) {
        if (!exact) return fail("the window is not the render size and framebuffer objects are missing");
    }
    followsResizes = config.mode == WindowMode::Windowed;
    drawableChanged = false;
    return true;
}

void closeWindow() {
    if (context) {
        destroyTarget();
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(context);
        context = nullptr;
    }
    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
        systemWindowDestroyed();
    }
    if (sdlVideoStarted) {
        SDL_ShowCursor(SDL_ENABLE);
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS);
        sdlVideoStarted = false;
    }
    unwatchSystemWindow();
}

Event pollEvent() {
    Event event;
    SDL_Event e;
    bool polled = SDL_PollEvent(&e);
    if (polled) noteSystemEvent(e);
    if (reportWindowGone()) {
        event.type = EventType::Quit;
        return event;
    }
    if (!polled) return event;
    if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        SDL_GL_GetDrawableSize(window, &drawableW, &drawableH);
        drawableChanged = true;
        event.type = EventType::Other;
    } else if (e.type == SDL_QUIT) {
        event.type = EventType::Quit;
    } else if (e.type == SDL_AUDIODEVICEREMOVED && !e.adevice.iscapture) {
        // The music moves to the timer clock; the show itself carries on.
        audioDeviceRemoved(e.adevice.which);
        event.type = EventType::Other;
    } else if (e.type == SDL_KEYDOWN) {
        event.type = EventType::KeyDown;
        switch (e.key.keysym.sym) {
        case SDLK_ESCAPE: event.key = Key::Escape; break;
        case SDLK_SPACE: event.key = Key::Space; break;
        case SDLK_LEFT: event.key = Key::Left; break;
        case SDLK_RIGHT: event.key = Key::Right; break;
        case SDLK_q: event.key = Key::Q; break;
        default: event.key = Key::Other; break;
        }
    } else {
        event.type = EventType::Other;
    }
    return event;
}

bool quitRequested() {
    if (!sdlVideoStarted) return false;
    SDL_PumpEvents();
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_SYSWMEVENT, SDL_SYSWMEVENT) > 0) noteSystemEvent(e);
    return reportWindowGone() || SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0;
}

void beginFrame() {
    drawGathered();
    if (drawableChanged && followsResizes && !renderSizeFixed()) followDrawable();
    drawableChanged = false;
    if (target.fbo) target.bind(GL_FRAMEBUFFER_EXT, target.fbo);
}

void present() {
    if (!window) return;
    drawGathered();
    if (target.fbo) {
        // Largest 4:3 rectangle that fits, centred: pixel for pixel when the
        // render size follows the drawable.
        const PixelSize fit = largestFourByThree(drawableW, drawableH);
        const int x = (drawableW - fit.width) / 2, y = (drawableH - fit.height) / 2;
        target.bind(GL_FRAMEBUFFER_EXT, 0);
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        target.bind(GL_READ_FRAMEBUFFER_EXT, target.fbo);
        target.blit(0, 0, target.width, target.height, x, y, x + fit.width, y + fit.height,
                    GL_COLOR_BUFFER_BIT, GL_LINEAR);
        target.bind(GL_FRAMEBUFFER_EXT, 0);
    }
    SDL_GL_SwapWindow(window);
    // On the offscreen driver the swap of a pbuffer does nothing, so nothing
    // paces the loop: Mesa queued whole frames faster than it drew them
    // (150 MB/s more memory, minutes to drain at exit). Wait for each frame.
    if (headlessDriver) glFinish();
}

void readFrame(unsigned char* rgb) {
    if (target.fbo) target.bind(GL_FRAMEBUFFER_EXT, target.fbo);
#if !DEMO_GL_FIXED // ES 2.0 reads the bound framebuffer's only colour buffer
    glReadBuffer(target.fbo ? GL_COLOR_ATTACHMENT0_EXT : GL_BACK);
#endif
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, renderWidth(), renderHeight(), GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

bool usesOffscreenTarget() {
    return target.fbo != 0;
}

void* glProcAddress(const char* name) {
    if (refusedForTest(name)) return nullptr;
    return SDL_GL_GetProcAddress(name);
}

bool hasGLExtension(const char* name) {
    if (refusedForTest(name)) return false;
    return SDL_GL_ExtensionSupported(name) == SDL_TRUE;
}

int maxTextureSide() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return limitForTest("GL_MAX_TEXTURE_SIZE", side > 0 ? side : 64); // 64: GL's least
}

void useHeadlessDrivers() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    messageBoxes = false;
}

void setMessageBoxes(bool enabled) {
    messageBoxes = enabled;
}

void showError(const char* caption, const char* text) {
    std::fprintf(stderr, "%s\n", text);
    if (messageBoxes) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, window);
}

} // namespace platform
