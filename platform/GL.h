// The OpenGL the show draws with: OpenGL 1.1, GLU and the two
// ARB_multitexture entry points, which are looked up once after the context
// opens and called through these pointers. The macros keep the familiar
// names while avoiding a clash with the prototypes that <GL/gl.h> declares
// for them. Everything above platform/ reaches GL through this header only,
// and uses exactly the subset listed in GLSubset.txt beside it (the build
// checks it), so a backend without desktop GL may implement that subset
// here instead.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

extern PFNGLACTIVETEXTUREARBPROC demoActiveTextureARB;
extern PFNGLMULTITEXCOORD2FARBPROC demoMultiTexCoord2fARB;

#define glActiveTextureARB demoActiveTextureARB
#define glMultiTexCoord2fARB demoMultiTexCoord2fARB

namespace platform {

// Fetches the two ARB entry points from the current context and checks the
// extensions the show needs (ARB_multitexture, ARB_texture_env_combine).
// Returns the name of the first one missing, or nullptr when all are there.
const char* loadGLExtensions();

} // namespace platform
