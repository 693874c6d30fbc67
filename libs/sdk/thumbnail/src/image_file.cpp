// Images are decoded by the image library inside the helper program, not in Wendlow: a
// decompression bomb or a slow progressive file within the decoder's size limits then costs
// the helper's memory and time, under the renderer limits, and never Wendlow's.
#include <unistd.h>

#include <system_error>

#include "child_render.hpp"
#include "renderers.hpp"

namespace thumbnail::detail {
namespace {

constexpr const char* kHelperName = "thumbnail-image-helper";

// Next to the running program when installed together; else where the build put it.
std::string helper_path() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const auto beside = self.parent_path() / kHelperName;
    if (::access(beside.c_str(), X_OK) == 0) return beside.string();
  }
#ifdef THUMBNAIL_IMAGE_HELPER
  return THUMBNAIL_IMAGE_HELPER;
#else
  return kHelperName;
#endif
}

// An AddressSanitizer build of the helper reserves terabytes of address space at start, so
// there its own allocator enforces the memory limit instead.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kLimitAddressSpace = false;
#else
constexpr bool kLimitAddressSpace = true;
#endif

}  // namespace

generate::Result render_image(const std::filesystem::path& source, std::uint32_t size,
                              const RendererLimits& limits) {
  bounded_command::PreparedCommand command{
      helper_path(), {std::to_string(size), source.string()}, {}};
  if (!kLimitAddressSpace) {
    command.extra_environment.emplace_back(
        "ASAN_OPTIONS", "hard_rss_limit_mb=" + std::to_string(limits.address_space_bytes >> 20) +
                            ":allocator_may_return_null=1:detect_leaks=0");
  }
  return render_in_child(command, size, limits, kLimitAddressSpace);
}

}  // namespace thumbnail::detail
