// OpenGL 1.1 + GLU headers and the two ARB_multitexture entry points, which
// are looked up once at start-up and called through these pointers. The
// macros keep the familiar names while avoiding a clash with the prototypes
// that <GL/gl.h> declares for them.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

extern PFNGLACTIVETEXTUREARBPROC demoActiveTextureARB;
extern PFNGLMULTITEXCOORD2FARBPROC demoMultiTexCoord2fARB;

#define glActiveTextureARB demoActiveTextureARB
#define glMultiTexCoord2fARB demoMultiTexCoord2fARB
