// The show's window in a browser: the page's canvas (#canvas on the stage
// that fills the window, web/index.html) with a WebGL 1 context from the
// html5 API, its keys and its size. Unless a program fixed it, the render
// size (RenderSize.h) is the largest 4:3 area of the stage in device pixels:
// the canvas gets exactly that many pixels and is placed centred on the
// black stage, so the show draws straight into the canvas, pixel for pixel,
// with black bars beside or above the picture, and follows the window's
// resizes (fullscreen included) at the next frame. Fullscreen itself is the
// page's: a browser grants it only in answer to a gesture (the start control).
//
// The GL itself is the fixed-function layer over the context
// (platform/fixedgl/), which platform::loadGLExtensions starts. Of
// Window.h, the tools' parts (readFrame, the headless drivers, message boxes)
// and the desktop GL's entry-point lookups have no browser counterpart here;
// the page's program does not call them.
#include "platform/Window.h"

#include <GLES2/gl2.h>
#include <emscripten/html5.h>
#include <emscripten/html5_webgl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/fixedgl/FixedGL.h"
#include "platform/web/Page.h"

namespace platform {
namespace {

constexpr const char* canvasTarget = "#canvas";
constexpr const char* stageTarget = "#stage";

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
// The largest render size side the context takes: the least of
// GL_MAX_RENDERBUFFER_SIZE and GL_MAX_VIEWPORT_DIMS.
int maxSide = 0;
bool resized = false; // the window's size changed since the canvas last followed

// Events the browser delivered, waiting for pollEvent. Sixteen are more
// than a frame ever gathers; beyond that keys are dropped.
Event queue[16];
int queued = 0;

void push(const Event& event) {
    if (queued < int(sizeof queue / sizeof queue[0])) queue[queued++] = event;
}

Key keyOf(const char* key) {
    struct Name {
        const char* name;
        Key key;
    };
    static const Name names[] = {{"Escape", Key::Escape},    {" ", Key::Space}, {"ArrowLeft", Key::Left},
                                 {"ArrowRight", Key::Right}, {"q", Key::Q},     {"Q", Key::Q}};
    for (const Name& n : names) {
        if (std::strcmp(key, n.name) == 0) return n.key;
    }
    return Key::Other;
}

// Keys count once the show plays; Escape is taken from the browser, every
// other key keeps its meaning there (F11, reloading, ...). A browser in
// fullscreen keeps the first Escape for itself, to leave fullscreen.
EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent* e, void*) {
    if (!pageStarted() || e->repeat) return EM_FALSE;
    const Key key = keyOf(e->key);
    push({EventType::KeyDown, key});
    return key == Key::Escape;
}

EM_BOOL onResize(int, const EmscriptenUiEvent*, void*) {
    resized = true;
    return EM_FALSE;
}

// A lost context takes every texture with it, and the show cannot load
// them again: it ends, saying why.
EM_BOOL onContextLost(int, const void*, void*) {
    std::fprintf(stderr, "Demo: the browser took the WebGL context away; the show ends.\n");
    push({EventType::Quit, Key::None});
    return EM_TRUE;
}

// The stage in device pixels.
PixelSize stagePixels() {
    double width = 0, height = 0;
    emscripten_get_element_css_size(stageTarget, &width, &height);
    const double ratio = emscripten_get_device_pixel_ratio();
    return {int(width * ratio), int(height * ratio)};
}

// Puts the canvas's box at `left`, `top` on the stage, `width` x `height`,
// all in device pixels, so that its edges fall on whole device pixels.
EM_JS(void, placeCanvas, (int left, int top, int width, int height), {
    const ratio = window.devicePixelRatio || 1;
    const style = Module.canvas.style;
    style.left = (left / ratio) + 'px';
    style.top = (top / ratio) + 'px';
    style.width = (width / ratio) + 'px';
    style.height = (height / ratio) + 'px';
});

// Gives the canvas the render size in pixels, an unfixed one first chosen
// from the stage (at least 320 x 240, at most what the context and the
// browser's drawing buffer take), and shows it as the largest 4:3 box on the
// stage: the render size itself unless the size is fixed or the stage is
// smaller than 320 x 240.
void fitCanvas() {
    const PixelSize stage = stagePixels();
    if (!renderSizeFixed()) {
        PixelSize size =
            largestFourByThree(std::min(stage.width, maxSide), std::min(stage.height, maxSide));
        if (size.width < leastRenderWidth) size = {leastRenderWidth, leastRenderHeight};
        chooseRenderSize(size.width, size.height);
    }
    emscripten_set_canvas_element_size(canvasTarget, renderWidth(), renderHeight());
    // A browser may give the drawing buffer fewer pixels than the canvas
    // has (under memory pressure, or beyond its own limit).
    int width = 0, height = 0;
    emscripten_webgl_get_drawing_buffer_size(context, &width, &height);
    const PixelSize fit = largestFourByThree(width, height);
    if (!renderSizeFixed() && fit.width >= leastRenderWidth &&
        (fit.width < renderWidth() || fit.height < renderHeight())) {
        chooseRenderSize(fit.width, fit.height);
        emscripten_set_canvas_element_size(canvasTarget, fit.width, fit.height);
    }
    const PixelSize box = largestFourByThree(stage.width, stage.height);
    placeCanvas((stage.width - box.width) / 2, (stage.height - box.height) / 2, box.width, box.height);
}

bool noContext(const char* what) {
    std::fprintf(stderr,
                 "Demo: %s; the show needs WebGL 1 (turned off in this browser, or no "
                 "graphics driver it accepts).\n",
                 what);
    return false;
}

EM_JS(void, setTitle, (const char* title), { document.title = UTF8ToString(title); });

} // namespace

bool openWindow(const WindowConfig& config) {
    if (context) return true;
    setTitle(config.title);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // With alpha, as the desktop's framebuffer has: the layer's copies from
    // the frame then go into RGBA images, which ES 2.0 allows only from a
    // frame with alpha. The drawing buffer's alpha is premultiplied, and
    // the stage behind the canvas is black, so the page shows its colours
    // as they are, whatever alpha the blending leaves.
    attributes.alpha = EM_TRUE;
    attributes.premultipliedAlpha = EM_TRUE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;             // the desktop draws without multisampling
    attributes.preserveDrawingBuffer = EM_FALSE; // every frame is drawn whole
    attributes.powerPreference = EM_WEBGL_POWER_PREFERENCE_HIGH_PERFORMANCE;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    context = emscripten_webgl_create_context(canvasTarget, &attributes);
    if (context <= 0) {
        context = 0;
        return noContext("this browser offers no WebGL 1 context");
    }
    if (emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        closeWindow();
        return noContext("the WebGL context cannot be made current");
    }
    GLint viewport[2] = {0, 0};
    emscripten_webgl_get_parameter_v(GL_MAX_VIEWPORT_DIMS, viewport, 2, EMSCRIPTEN_WEBGL_PARAM_TYPE_INT);
    maxSide = std::min({int(emscripten_webgl_get_parameter_d(GL_MAX_RENDERBUFFER_SIZE)),
                        int(viewport[0]), int(viewport[1])});
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onKeyDown);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onResize);
    emscripten_set_webglcontextlost_callback(canvasTarget, nullptr, EM_FALSE, onContextLost);
    fitCanvas();
    resized = false;
    queued = 0;
    return true;
}

void closeWindow() {
    if (!context) return;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, nullptr);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, nullptr);
    emscripten_set_webglcontextlost_callback(canvasTarget, nullptr, EM_FALSE, nullptr);
    emscripten_webgl_destroy_context(context);
    context = 0;
    emscripten_exit_fullscreen();
}

Event pollEvent() {
    if (queued == 0) return Event();
    const Event event = queue[0];
    std::copy(queue + 1, queue + queued, queue);
    queued--;
    return event;
}

bool quitRequested() {
    return std::any_of(queue, queue + queued, [](const Event& e) { return e.type == EventType::Quit; });
}

void beginFrame() {
    if (!resized) return;
    resized = false;
    fitCanvas();
}

void present() {
    // The browser shows the drawing buffer when the frame callback returns;
    // the layer's last vertices must be drawn by then.
    fixedgl::flush();
}

bool usesOffscreenTarget() {
    return false;
}

int maxTextureSide() {
    return int(emscripten_webgl_get_parameter_d(GL_MAX_TEXTURE_SIZE));
}

void showError(const char*, const char* text) {
    // The page shows every line of stderr on its message line as well as on
    // the console: a browser has no modal box to wait on.
    std::fprintf(stderr, "%s\n", text);
}

} // namespace platform
