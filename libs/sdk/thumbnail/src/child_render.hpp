#pragma once
// Runs a renderer child that writes one P6 image to its standard output.
#include <cstdint>

#include "bounded_command/run.hpp"
#include "renderers.hpp"
#include "thumbnail/generate.hpp"

namespace thumbnail::detail {

// The child runs under the renderer limits, its output limited to one size × size image; it
// must exit with status 0 and have written exactly that image.
// Without `limit_address_space` the child is trusted to bound its own memory.
generate::Result render_in_child(const bounded_command::PreparedCommand& command,
                                 std::uint32_t size, const RendererLimits& limits,
                                 bool limit_address_space = true);

}  // namespace thumbnail::detail
