#pragma once
// Replacing a file so that a failure never harms what was there: the new content goes to a
// fresh file beside the destination and takes the destination's name only once it is
// complete and on the device.
#include <cstdint>
#include <expected>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

namespace vesk_os {

// Takes the next piece of the file's content; the error text of a failed write.
using FileWriter = std::function<std::expected<void, std::string>(std::span<const std::uint8_t>)>;

// Writes `destination` durably: a new file (permission bits 0600) is created in the
// destination's folder, `produce` writes the content through the writer it gets, data and
// metadata are flushed, the file is renamed over the destination and the folder is flushed.
// A destination that exists keeps its permission bits (as an in-place rewrite would); a
// symbolic link is followed, so the link stays and its target is replaced. On any failure
// (including one that `produce` returns) the new file is removed and the destination is left
// exactly as it was. Error texts are the system's, for logs.
std::expected<void, std::string> save_durably(
    const std::filesystem::path& destination,
    const std::function<std::expected<void, std::string>(const FileWriter& write)>& produce);

// The same with the whole content at hand.
std::expected<void, std::string> save_durably(const std::filesystem::path& destination,
                                              std::span<const std::uint8_t> content);

}  // namespace vesk_os
