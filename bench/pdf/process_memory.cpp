#include "process_memory.hpp"

#include <malloc.h>

#include <fstream>
#include <string>

namespace wendlow::pdf::bench {
namespace {

std::size_t status_field_bytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::stoull(line.substr(field.size() + 1)) * 1024;
  }
  return 0;
}

}  // namespace

bool reset_peak_resident() {
  malloc_trim(0);
  std::ofstream clear_refs("/proc/self/clear_refs");
  clear_refs << "5";
  clear_refs.flush();
  return clear_refs.good();
}

std::size_t current_resident_bytes() {
  return status_field_bytes("VmRSS");
}
std::size_t peak_resident_bytes() {
  return status_field_bytes("VmHWM");
}

}  // namespace wendlow::pdf::bench
