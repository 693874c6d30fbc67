#include "queue_names.hpp"

#include <algorithm>
#include <cctype>

namespace os_actions::printing::detail {
namespace {

bool allowed(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.';
}

}  // namespace

std::string queue_name_for(const std::string& printer_name) {
  std::string name;
  for (char c : printer_name) {
    if (allowed(c)) {
      name += c;
    } else if (!name.empty() && name.back() != '_') {
      name += '_';
    }
  }
  while (!name.empty() && name.back() == '_') name.pop_back();
  if (name.size() > 127) name.resize(127);
  return name.empty() ? "Printer" : name;
}

std::string unique_queue_name(const std::string& wanted, const std::vector<std::string>& taken) {
  auto is_taken = [&](const std::string& name) {
    // CUPS compares queue names without regard to case.
    return std::any_of(taken.begin(), taken.end(), [&](const std::string& other) {
      return other.size() == name.size() &&
             std::equal(other.begin(), other.end(), name.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
             });
    });
  };
  if (!is_taken(wanted)) return wanted;
  for (int suffix = 2;; ++suffix) {
    auto candidate = wanted.substr(0, 120) + "_" + std::to_string(suffix);
    if (!is_taken(candidate)) return candidate;
  }
}

bool is_resolved_printer_uri(const std::string& uri) {
  std::string rest;
  if (uri.rfind("ipp://", 0) == 0) {
    rest = uri.substr(6);
  } else if (uri.rfind("ipps://", 0) == 0) {
    rest = uri.substr(7);
  } else {
    return false;
  }
  const auto host = rest.substr(0, rest.find('/'));
  if (host.empty() || host.front() == ':') return false;
  return host.find("._tcp") == std::string::npos && host.find("%2E_tcp") == std::string::npos &&
         host.find(' ') == std::string::npos;
}

}  // namespace os_actions::printing::detail
