// The layer's functions under OpenGL's names in the global namespace, for
// code written against OpenGL 1.1 (platform/GL.h includes this when the
// build selects the layer). ES 2.0's own prototypes stay out, since they
// would clash with the names brought in here; its types and enums remain,
// with the extension tokens and entry-point types of <GL/glext.h> that the
// platform's framebuffer code names.
#pragma once

#define GL_GLES_PROTOTYPES 0
#include <GLES2/gl2.h>

#include "platform/fixedgl/FixedGL.h"

typedef double GLclampd; // named by <GL/glext.h>, which leaves it to <GL/gl.h>
#include <GL/glext.h>

using fixedgl::glActiveTextureARB;
using fixedgl::glBegin;
using fixedgl::glBindTexture;
using fixedgl::glBlendFunc;
using fixedgl::glClear;
using fixedgl::glClearColor;
using fixedgl::glColor3f;
using fixedgl::glColor4f;
using fixedgl::glCopyTexSubImage2D;
using fixedgl::glDepthFunc;
using fixedgl::glDepthMask;
using fixedgl::glDisable;
using fixedgl::glEnable;
using fixedgl::glEnd;
using fixedgl::glFinish;
using fixedgl::glFogf;
using fixedgl::glFogfv;
using fixedgl::glFogi;
using fixedgl::glGenTextures;
using fixedgl::glGetError;
using fixedgl::glGetFloatv;
using fixedgl::glGetIntegerv;
using fixedgl::glGetString;
using fixedgl::glHint;
using fixedgl::glIsEnabled;
using fixedgl::glLineWidth;
using fixedgl::glLoadIdentity;
using fixedgl::glLoadMatrixf;
using fixedgl::glMatrixMode;
using fixedgl::glMultiTexCoord2fARB;
using fixedgl::glNormal3f;
using fixedgl::glOrtho;
using fixedgl::glPixelStorei;
using fixedgl::glPopAttrib;
using fixedgl::glPopClientAttrib;
using fixedgl::glPopMatrix;
using fixedgl::glPushAttrib;
using fixedgl::glPushClientAttrib;
using fixedgl::glPushMatrix;
using fixedgl::glReadPixels;
using fixedgl::glRotatef;
using fixedgl::glScissor;
using fixedgl::glShadeModel;
using fixedgl::glTexCoord2f;
using fixedgl::glTexEnvi;
using fixedgl::glTexImage1D;
using fixedgl::glTexImage2D;
using fixedgl::glTexParameteri;
using fixedgl::glTranslatef;
using fixedgl::gluBuild2DMipmaps;
using fixedgl::gluLookAt;
using fixedgl::gluPerspective;
using fixedgl::glVertex2f;
using fixedgl::glVertex3f;
using fixedgl::glVertex3i;
using fixedgl::glViewport;
