#pragma once
// What the application publishes to other programs: its resources and actions, and the
// "wendlow.operation" request that running an action sends back.
#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "operation.hpp"
#include "vesk_actions/resource.hpp"

namespace wendlow {

namespace surface {
class Wendlow;
}

inline constexpr std::string_view kOperationName = "wendlow.operation";

// Lowercase hex of the UTF-8 bytes: the key of a per-item resource id.
std::string resource_key(std::string_view name);

// The resource list, rebuilt from the state on every call.
std::vector<vesk_actions::resource::Resource> resources(const surface::Wendlow& state);

// Parses a "wendlow.operation" request into the operation it names.
std::expected<Operation, std::string> parse_operation_request(
    vesk_actions::resource::ExecutionKind kind, std::span<const std::uint8_t> payload);

// Not mine, handled (the operation was applied at once), or the error text.
vesk_actions::resource::OperationOutcome handle_resource_operation(
    surface::Wendlow& state, vesk_actions::resource::ExecutionKind kind,
    std::string_view operation_type, std::span<const std::uint8_t> payload);

}  // namespace wendlow
