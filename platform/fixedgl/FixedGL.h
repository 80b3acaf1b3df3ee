// The show's fixed-function OpenGL on OpenGL ES 2.0 / WebGL 1: the subset of
// OpenGL 1.1, GLU, ARB_multitexture and ARB_texture_env_combine listed in
// platform/GLSubset.txt, with OpenGL's names, in namespace fixedgl.
// Names.h brings them into the global namespace for the show (platform/GL.h
// does so when the build selects this layer).
//
// The layer keeps a record of the legacy state, transforms each vertex on
// the CPU into clip coordinates (so matrix changes cost no draw call),
// gathers consecutive primitives of the same state into one draw, and draws
// with a program generated from the texture and fog state, built on first
// use and cached for the context's life. Every call needs the ES 2.0
// context that start() was last called on to be current.
//
// Include <GLES2/gl2.h> before this header: with its prototypes in the
// layer's own files, without them (GL_GLES_PROTOTYPES 0) where the layer's
// names stand in for OpenGL's.
#pragma once

#include <GLES2/gl2.h>

#include "platform/fixedgl/LegacyEnums.h"

typedef double GLdouble;

namespace fixedgl {

// Resets the record to OpenGL's initial state and creates the layer's
// objects on the current ES 2.0 context (any earlier context's objects are
// forgotten). Returns nullptr, or what the context lacks for the layer.
const char* start();
// Draws the vertices gathered so far. The layer does so itself before
// anything that reads or changes what they draw into; the platform calls
// it before presenting a frame or binding another framebuffer.
void flush();

// What the layer has done on the current context since start(), for tests
// and benchmarks.
struct Counters {
    long drawCalls;     // glDrawArrays calls
    long programsBuilt; // programs compiled and linked
};
const Counters& counters();

// Immediate mode and current values.
void glBegin(GLenum mode); // GL_POINTS, GL_TRIANGLES, GL_QUADS
void glEnd();
void glVertex2f(GLfloat x, GLfloat y);
void glVertex3f(GLfloat x, GLfloat y, GLfloat z);
void glVertex3i(GLint x, GLint y, GLint z);
void glColor3f(GLfloat r, GLfloat g, GLfloat b);
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void glTexCoord2f(GLfloat s, GLfloat t);
void glMultiTexCoord2fARB(GLenum unit, GLfloat s, GLfloat t);

// Matrices (modelview and projection stacks) and GLU's camera matrices.
void glMatrixMode(GLenum mode);
void glLoadIdentity();
void glLoadMatrixf(const GLfloat* m);
void glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
             GLdouble zFar);
void glPushMatrix();
void glPopMatrix();
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ);

// Fixed state: capabilities, blending, depth, scissor, viewport, clears.
void glEnable(GLenum cap);
void glDisable(GLenum cap);
GLboolean glIsEnabled(GLenum cap);
void glBlendFunc(GLenum source, GLenum destination);
void glDepthFunc(GLenum func);
void glDepthMask(GLboolean flag);
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void glScissor(GLint x, GLint y, GLsizei width, GLsizei height);
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a);
void glClear(GLbitfield mask);
void glShadeModel(GLenum mode);
void glHint(GLenum target, GLenum mode);
void glFogf(GLenum pname, GLfloat value);
void glFogfv(GLenum pname, const GLfloat* values);
void glFogi(GLenum pname, GLint value);
void glGetIntegerv(GLenum pname, GLint* values);
void glGetFloatv(GLenum pname, GLfloat* values);

// The attribute stacks: GL_ALL_ATTRIB_BITS and GL_CLIENT_ALL_ATTRIB_BITS.
void glPushAttrib(GLbitfield mask);
void glPopAttrib();
void glPushClientAttrib(GLbitfield mask);
void glPopClientAttrib();

// Textures: two units, 2-D RGB and RGBA images of unsigned bytes.
void glActiveTextureARB(GLenum unit);
void glGenTextures(GLsizei n, GLuint* names);
void glBindTexture(GLenum target, GLuint name);
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid* pixels);
void glTexParameteri(GLenum target, GLenum pname, GLint param);
void glTexEnvi(GLenum target, GLenum pname, GLint param);
void glPixelStorei(GLenum pname, GLint param);
void glCopyTexSubImage2D(GLenum target, GLint level, GLint xOffset, GLint yOffset, GLint x, GLint y,
                         GLsizei width, GLsizei height);
GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* pixels);

// ES 2.0's own calls that the platform and the tools make, after the
// gathered vertices are drawn: errors (the layer's own first), the finish,
// read-backs (GL_RGB rows too, which ES 2.0 cannot read itself) and strings.
GLenum glGetError();
void glFinish();
void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid* pixels);
const GLubyte* glGetString(GLenum name);

// Names only the units nothing in the show calls use (the "spare" entries
// of GLSubset.txt): declared so that those units compile, defined nowhere,
// so that a program reaching one fails to link instead of drawing wrongly.
void glNormal3f(GLfloat x, GLfloat y, GLfloat z);
void glLineWidth(GLfloat width);
void glTexImage1D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels);

} // namespace fixedgl
