// The OpenGL 1.1, ARB_multitexture and ARB_texture_env_combine enums the
// show names that OpenGL ES 2.0 lacks, with their standard values (spelled
// as Khronos' headers spell them, so a unit that also includes <GL/glext.h>
// sees identical definitions). The enums ES 2.0 shares (GL_BLEND, GL_RGB,
// GL_TEXTURE_2D, ...) come from <GLES2/gl2.h>.
#pragma once

// Primitives
#define GL_QUADS 0x0007

// Capabilities
#define GL_FOG 0x0B60
#define GL_LIGHTING 0x0B50
#define GL_LINE_SMOOTH 0x0B20
#define GL_TEXTURE_1D 0x0DE0

// Matrices
#define GL_MATRIX_MODE 0x0BA0
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_MODELVIEW_MATRIX 0x0BA6
#define GL_PROJECTION_MATRIX 0x0BA7

// Attribute stacks
#define GL_ALL_ATTRIB_BITS 0xFFFFFFFF
#define GL_CLIENT_ALL_ATTRIB_BITS 0xFFFFFFFF
#define GL_STACK_OVERFLOW 0x0503
#define GL_STACK_UNDERFLOW 0x0504

// Shading and hints
#define GL_SMOOTH 0x1D01
#define GL_LINE_SMOOTH_HINT 0x0C52

// Fog
#define GL_FOG_MODE 0x0B65
#define GL_FOG_COLOR 0x0B66
#define GL_FOG_DENSITY 0x0B62
#define GL_FOG_START 0x0B63
#define GL_FOG_END 0x0B64
#define GL_EXP 0x0800

// Textures and their environment
#define GL_RGBA8 0x8058
#define GL_TEXTURE_ENV 0x2300
#define GL_TEXTURE_ENV_MODE 0x2200
#define GL_MODULATE 0x2100
#define GL_ADD 0x0104
#define GL_TEXTURE0_ARB 0x84C0
#define GL_TEXTURE1_ARB 0x84C1
#define GL_COMBINE_ARB 0x8570
#define GL_COMBINE_RGB_ARB 0x8571

// GLU's errors (gluBuild2DMipmaps)
#define GLU_INVALID_ENUM 100900
#define GLU_INVALID_VALUE 100901
