#pragma once
// What the scan helper needs to be checked by AddressSanitizer's leak check. Nothing in
// other builds.
#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>

#include <string>
#include <vector>

namespace os_actions::printing::detail {

// The leak check runs at exit, after sane_exit has unloaded SANE's backends and the
// libraries they pulled in. Unloaded, their globals no longer reach what they hold (so it
// all counts as leaked) and their frames have no module to be named by, so a suppression
// cannot tell them from the helper's own. Kept mapped, only their real leaks remain, named
// by module, and lsan-suppressions.txt keeps those out of the verdict.
inline void keep_libraries_mapped_for_leak_check() {
  std::vector<std::string> loaded;
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* names) {
        if (info->dlpi_name && info->dlpi_name[0] == '/') {
          static_cast<std::vector<std::string>*>(names)->emplace_back(info->dlpi_name);
        }
        return 0;
      },
      &loaded);
  for (const auto& name : loaded) dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}

// Named in the helper's build: the file of suppressions for leaks inside SANE.
#ifdef OS_PRINTING_LSAN_SUPPRESSIONS
extern "C" const char* __lsan_default_options() {
  return "suppressions=" OS_PRINTING_LSAN_SUPPRESSIONS;
}
#endif

}  // namespace os_actions::printing::detail
#else
namespace os_actions::printing::detail {
inline void keep_libraries_mapped_for_leak_check() {}
}  // namespace os_actions::printing::detail
#endif
