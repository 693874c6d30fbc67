#pragma once
// Starting the child: pipes, process group and environment.
#include <sys/types.h>

#include <cstdint>
#include <expected>
#include <optional>

#include "bounded_command/run.hpp"
#include "unique_fd.hpp"

namespace bounded_command::detail {

struct Child {
  pid_t pid = -1;
  UniqueFd input;   // parent's write end; empty when the child reads /dev/null
  UniqueFd output;  // parent's read end of the child's standard output
  UniqueFd error;   // parent's read end of the child's standard error
};

// With an address-space limit the child is forked and sets the limit on itself before it
// executes the program (posix_spawn cannot set limits); without one it is spawned.
std::expected<Child, IoError> spawn_child(const PreparedCommand& command, bool with_input,
                                          std::optional<std::uint64_t> address_space_bytes);

}  // namespace bounded_command::detail
