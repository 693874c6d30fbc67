#pragma once
// Resolves DNS-SD printer services to plain host URIs through the Avahi daemon, all at
// once and within one deadline.
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace os_actions::printing::detail {

// A service named by a DNS-SD URI such as ipps://Hall%20Printer._ipps._tcp.local/.
struct ServiceName {
  std::string instance;  // "Hall Printer"
  std::string type;      // "_ipps._tcp"
  std::string domain;    // "local"
};
std::optional<ServiceName> service_from_uri(const std::string& uri);

struct ResolvedService {
  std::string uri;  // ipps://host:port/resource
  std::map<std::string, std::string> txt;
};

// One answer per service, in order; absent for services not resolved by the deadline.
std::vector<std::optional<ResolvedService>> resolve_services(
    const std::vector<ServiceName>& services, std::chrono::milliseconds timeout);

}  // namespace os_actions::printing::detail
