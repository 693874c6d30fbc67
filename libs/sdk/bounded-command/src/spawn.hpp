#pragma once
// Starting the child: pipes, process group and environment.
#include <sys/types.h>

#include <expected>

#include "bounded_command/run.hpp"
#include "unique_fd.hpp"

namespace bounded_command::detail {

struct Child {
  pid_t pid = -1;
  UniqueFd input;   // parent's write end; empty when the child reads /dev/null
  UniqueFd output;  // parent's read end of the child's standard output
  UniqueFd error;   // parent's read end of the child's standard error
};

std::expected<Child, IoError> spawn_child(const PreparedCommand& command, bool with_input);

}  // namespace bounded_command::detail
