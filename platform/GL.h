// The OpenGL the show draws with: OpenGL 1.1, GLU and the two
// ARB_multitexture entry points, which are looked up once after the context
// opens and called through these pointers. The macros keep the familiar
// names while avoiding a clash with the prototypes that <GL/gl.h> declares
// for them. Everything above platform/ reaches GL through this header only,
// and uses exactly the subset listed in GLSubset.txt beside it (the build
// checks it), so a backend without desktop GL may implement that subset
// here instead.
//
// Built with DEMO_GL_FIXED (the CMake option DEMO_GL=fixed, as the browser
// build is), the same names are the project's own fixed-function layer over
// OpenGL ES 2.0 instead (platform/fixedgl/), on an ES 2.0 context.
#pragma once

#if DEMO_GL_FIXED
#include "platform/fixedgl/Names.h"
#else
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

extern PFNGLACTIVETEXTUREARBPROC demoActiveTextureARB;
extern PFNGLMULTITEXCOORD2FARBPROC demoMultiTexCoord2fARB;

#define glActiveTextureARB demoActiveTextureARB
#define glMultiTexCoord2fARB demoMultiTexCoord2fARB
#endif

namespace platform {

// Fetches the two ARB entry points from the current context and checks the
// extensions the show needs (ARB_multitexture, ARB_texture_env_combine);
// with the layer, starts it on the current context instead. Returns the
// name of the first thing missing, or nullptr when all are there.
const char* loadGLExtensions();

} // namespace platform
