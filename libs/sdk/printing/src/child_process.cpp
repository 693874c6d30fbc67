#include "child_process.hpp"

#include <type_traits>
#include <variant>

#include "bounded_command/run.hpp"

namespace os_actions::printing::detail {

std::expected<ChildOutput, std::string> run_child(const std::vector<std::string>& argv,
                                                  const ChildLimits& limits) {
  if (argv.empty()) return std::unexpected("no program to run");
  bounded_command::PreparedCommand command{argv.front(), {argv.begin() + 1, argv.end()}, {}};
  auto finished = bounded_command::run_prepared_with_limits(command, {}, limits.stdout_bytes,
                                                            limits.stderr_bytes, limits.time);
  if (!finished) {
    return std::unexpected(std::visit(
        [&](const auto& failure) -> std::string {
          using T = std::decay_t<decltype(failure)>;
          if constexpr (std::is_same_v<T, bounded_command::IoError>) {
            return failure.program_not_found() ? argv.front() + " was not found"
                                               : argv.front() + ": " + failure.message;
          } else if constexpr (std::is_same_v<T, bounded_command::OutputLimitExceeded>) {
            return argv.front() + " wrote more than allowed on " +
                   std::string(bounded_command::stream_name(failure.stream));
          } else if constexpr (std::is_same_v<T, bounded_command::TimeLimitExceeded>) {
            return argv.front() + " ran out of time";
          } else {
            return argv.front() + ": " + failure.message;
          }
        },
        finished.error()));
  }
  ChildOutput output;
  output.exit_code = finished->status.code.value_or(0);
  output.signal = finished->status.signal.value_or(0);
  output.out = std::move(finished->standard_output);
  output.err.assign(finished->standard_error.begin(), finished->standard_error.end());
  return output;
}

}  // namespace os_actions::printing::detail
