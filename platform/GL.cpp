// The ARB entry points of the show's GL, fetched from the current context,
// or the start of the fixed-function layer that stands in for that GL.
#include "platform/GL.h"

#include "platform/Window.h"

#if DEMO_GL_FIXED

namespace platform {

const char* loadGLExtensions() {
    return fixedgl::start();
}

} // namespace platform

#else

PFNGLACTIVETEXTUREARBPROC demoActiveTextureARB = nullptr;
PFNGLMULTITEXCOORD2FARBPROC demoMultiTexCoord2fARB = nullptr;

namespace platform {

const char* loadGLExtensions() {
    glMultiTexCoord2fARB = (PFNGLMULTITEXCOORD2FARBPROC)glProcAddress("glMultiTexCoord2fARB");
    glActiveTextureARB = (PFNGLACTIVETEXTUREARBPROC)glProcAddress("glActiveTextureARB");
    if (!hasGLExtension("GL_ARB_multitexture") || !glMultiTexCoord2fARB || !glActiveTextureARB) {
        return "GL_ARB_multitexture";
    }
    if (!hasGLExtension("GL_ARB_texture_env_combine")) return "GL_ARB_texture_env_combine";
    return nullptr;
}

} // namespace platform

#endif
