// The GL state the show's drawing reads, as text: one "name value" line per
// state (enables, blending, fog, depth, culling, lighting and material, the
// texture environment and bindings of both units, current vertex values,
// matrices, viewport and scissor), so that two snapshots compare as strings
// and a difference names its state.
#pragma once

#include <string>

namespace testsupport {

std::string glStateText();

// The lines of `a` and `b` that differ, "a: ..." and "b: ..." in turn; empty
// when the two are equal.
std::string glStateDifference(const std::string& a, const std::string& b);

} // namespace testsupport
