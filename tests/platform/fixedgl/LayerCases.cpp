// The comparison cases drawn through the fixed-function layer, with the
// names the show gets from platform/GL.h when it is built against the layer.
#include "platform/fixedgl/Names.h"

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <vector>

#include "tests/platform/fixedgl/CaseTables.h"

namespace fixedgltest::layer {

#include "tests/platform/fixedgl/Cases.h"

extern const CaseTables tables = {fixedgl::start,
                                  drawCases,
                                  int(std::size(drawCases)),
                                  queryCases,
                                  int(std::size(queryCases)),
                                  [] { return unsigned(glGetError()); }};

} // namespace fixedgltest::layer
