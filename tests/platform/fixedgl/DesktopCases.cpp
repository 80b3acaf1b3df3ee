// The comparison cases drawn with real OpenGL 1.1, GLU and ARB_multitexture,
// through platform/GL.h as the show's default build draws.
#include "platform/GL.h"

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <vector>

#include "tests/platform/fixedgl/CaseTables.h"

namespace fixedgltest::desktop {

#include "tests/platform/fixedgl/Cases.h"

extern const CaseTables tables = {platform::loadGLExtensions, drawCases,
                                  int(std::size(drawCases)),  queryCases,
                                  int(std::size(queryCases)), [] { return unsigned(glGetError()); }};

} // namespace fixedgltest::desktop
