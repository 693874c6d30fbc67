#include "child_render.hpp"

#include <string>
#include <type_traits>
#include <variant>

#include "ppm.hpp"
#include "renderers.hpp"

namespace thumbnail::detail {
namespace {

// The widest P6 header of a size × size image, with room to spare.
constexpr std::size_t kHeaderBytes = 64;

std::string describe(const std::string& program, const bounded_command::Failure& failure) {
  return std::visit(
      [&](const auto& what) -> std::string {
        using T = std::decay_t<decltype(what)>;
        if constexpr (std::is_same_v<T, bounded_command::IoError>) {
          return what.program_not_found() ? program + " was not found"
                                          : program + ": " + what.message;
        } else if constexpr (std::is_same_v<T, bounded_command::OutputLimitExceeded>) {
          return program + " wrote more than one preview image on " +
                 std::string(bounded_command::stream_name(what.stream));
        } else if constexpr (std::is_same_v<T, bounded_command::TimeLimitExceeded>) {
          return program + " ran out of time";
        } else {
          return program + ": " + what.message;
        }
      },
      failure);
}

}  // namespace

generate::Result render_in_child(const bounded_command::PreparedCommand& command,
                                 std::uint32_t size, const RendererLimits& limits,
                                 bool limit_address_space) {
  bounded_command::Limits child;
  child.stdout_bytes = std::size_t{size} * size * 3 + kHeaderBytes;
  child.stderr_bytes = limits.error_bytes;
  child.time = limits.time;
  if (limit_address_space) child.address_space_bytes = limits.address_space_bytes;
  auto finished = bounded_command::run_prepared_with_limits(command, {}, child);
  if (!finished) return std::unexpected(describe(command.program, finished.error()));
  if (!finished->status.success()) {
    const std::string how =
        finished->status.signal
            ? "was ended by signal " + std::to_string(*finished->status.signal)
            : "failed with status " + std::to_string(finished->status.code.value_or(-1));
    return std::unexpected(command.program + " " + how);
  }
  auto image = parse_ppm(finished->standard_output, size);
  if (!image) return std::unexpected(command.program + ": " + image.error());
  return image;
}

}  // namespace thumbnail::detail
