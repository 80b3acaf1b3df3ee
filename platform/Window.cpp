// SDL2 window and OpenGL context for the show. See Window.h for the contract.
#include "platform/Window.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "platform/GL.h"
#include "platform/Music.h"
#include "platform/TestHooks.h"

namespace platform {
namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
bool sdlVideoStarted = false;
bool exitHookInstalled = false;
bool messageBoxes = true;
bool headlessDriver = false;      // SDL's offscreen driver: no display paces the swaps
int drawableW = 0, drawableH = 0; // pixels GL draws on: from X at open, then from window events

// On X11 the window can vanish under the show (another client destroys it, a
// desktop tool or a crashing compositor). Xlib's default error handler then
// exits with a raw message, and SDL's calls back into Xlib and can wait
// forever on Xlib's own lock. This one only notes that the window is gone;
// the frame loop then ends the show as if it had been closed.
Display* x11Display = nullptr;
unsigned long x11Window = 0;                              // 0 when not on X11
int (*sdlErrorHandler)(Display*, XErrorEvent*) = nullptr; // restored after closing
bool windowGone = false, goneReported = false;

int onXError(Display*, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) windowGone = true;
    return 0;
}

// Checks a window-manager event for the destruction of the show's window.
void noteSystemEvent(const SDL_Event& e) {
    if (e.type != SDL_SYSWMEVENT || e.syswm.msg->subsystem != SDL_SYSWM_X11) return;
    const XEvent& x = e.syswm.msg->msg.x11.event;
    if (x.type == DestroyNotify && x.xdestroywindow.window == x11Window) windowGone = true;
}

// True once the window is gone; says so the first time.
bool reportWindowGone() {
    if (windowGone && !goneReported) {
        std::fprintf(stderr, "Demo: the window was closed by the system.\n");
        goneReported = true;
    }
    return windowGone;
}

// Off-screen 1024 x 768 render target, used when the drawable differs.
struct Framebuffer {
    GLuint fbo = 0, colour = 0, depth = 0;
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

void* proc(const char* core, const char* ext) {
    void* p = SDL_GL_GetProcAddress(core);
    return p ? p : SDL_GL_GetProcAddress(ext);
}

bool createTarget() {
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
    if (!t.gen || !t.bind || !t.genRenderbuffers || !t.bindRenderbuffer || !t.storage || !t.attach ||
        !t.status || !t.blit || !t.del || !t.delRenderbuffers) {
        return false;
    }
    t.gen(1, &t.fbo);
    t.bind(GL_FRAMEBUFFER_EXT, t.fbo);
    GLuint buffers[2];
    t.genRenderbuffers(2, buffers);
    t.colour = buffers[0];
    t.depth = buffers[1];
    t.bindRenderbuffer(GL_RENDERBUFFER_EXT, t.colour);
    t.storage(GL_RENDERBUFFER_EXT, GL_RGBA8, renderWidth(), renderHeight());
    t.attach(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT, t.colour);
    t.bindRenderbuffer(GL_RENDERBUFFER_EXT, t.depth);
    t.storage(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, renderWidth(), renderHeight());
    t.attach(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, t.depth);
    if (t.status(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT) {
        t.bind(GL_FRAMEBUFFER_EXT, 0);
        return false;
    }
    glViewport(0, 0, renderWidth(), renderHeight());
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
}

// The size of the surface GL really draws on, asked once the window is open.
// SDL reports the display mode's size for a fullscreen window even where no
// window manager made the window that large (a bare X server such as Xvfb);
// X11 knows the truth. Later sizes come from window events, so the frame loop
// never asks X about a window that may have vanished. On X11 this also puts
// the error handler in place and asks for the window's destruction events.
void watchWindow() {
    SDL_GL_GetDrawableSize(window, &drawableW, &drawableH);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    x11Display = info.info.x11.display;
    x11Window = info.info.x11.window;
    windowGone = goneReported = false;
    sdlErrorHandler = XSetErrorHandler(onXError);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(x11Display, x11Window, &attributes)) {
        drawableW = attributes.width;
        drawableH = attributes.height;
    }
}

bool fail(const char* what) {
    std::fprintf(stderr, "Demo: %s (%s).\n", what, SDL_GetError());
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
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
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
        width = renderWidth();
        height = renderHeight();
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
        SDL_DisplayMode want = {SDL_PIXELFORMAT_RGB888, renderWidth(), renderHeight(), 0, nullptr};
        SDL_DisplayMode closest;
        if (SDL_GetClosestDisplayMode(SDL_GetWindowDisplayIndex(window), &want, &closest)) {
            SDL_SetWindowDisplayMode(window, &closest);
        }
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    headlessDriver = driver && std::strcmp(driver, "offscreen") == 0;
    SDL_ShowCursor(SDL_DISABLE);
    SDL_GL_SetSwapInterval(config.vsync ? 1 : 0);

    watchWindow();
    bool exact = drawableW == renderWidth() && drawableH == renderHeight();
    if ((!exact || config.mode == WindowMode::Windowed) && !createTarget()) {
        if (!exact) return fail("the window is not the render size and framebuffer objects are missing");
    }
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
        // Collect the errors of destroying a window that is already gone
        // while the quiet handler is still in place.
        if (x11Window) XSync(x11Display, False);
    }
    if (sdlVideoStarted) {
        SDL_ShowCursor(SDL_ENABLE);
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS);
        sdlVideoStarted = false;
    }
    if (x11Window) {
        XSetErrorHandler(sdlErrorHandler);
        x11Window = 0;
    }
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
    if (target.fbo) target.bind(GL_FRAMEBUFFER_EXT, target.fbo);
}

void present() {
    if (!window) return;
    if (target.fbo) {
        const int w = drawableW, h = drawableH;
        // Largest 4:3 rectangle that fits, centred.
        int fitW = w, fitH = w * renderHeight() / renderWidth();
        if (fitH > h) {
            fitH = h;
            fitW = h * renderWidth() / renderHeight();
        }
        int x = (w - fitW) / 2, y = (h - fitH) / 2;
        target.bind(GL_FRAMEBUFFER_EXT, 0);
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        target.bind(GL_READ_FRAMEBUFFER_EXT, target.fbo);
        target.blit(0, 0, renderWidth(), renderHeight(), x, y, x + fitW, y + fitH, GL_COLOR_BUFFER_BIT,
                    GL_LINEAR);
        target.bind(GL_FRAMEBUFFER_EXT, 0);
    }
    SDL_GL_SwapWindow(window);
    // On the offscreen driver the swap of a pbuffer does nothing, so nothing
    // paces the loop: Mesa queued whole frames faster than it drew them
    // (150 MB/s more memory, minutes to drain at exit). Wait for each frame.
    if (headlessDriver) glFinish();
}

void readFrame(unsigned char* rgb) {
    beginFrame();
    glReadBuffer(target.fbo ? GL_COLOR_ATTACHMENT0_EXT : GL_BACK);
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
