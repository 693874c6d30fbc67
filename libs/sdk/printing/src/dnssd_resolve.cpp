#include "dnssd_resolve.hpp"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/malloc.h>
#include <avahi-common/simple-watch.h>

#include <memory>

namespace os_actions::printing::detail {
namespace {

using Clock = std::chrono::steady_clock;

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string percent_decoded(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 &&
        hex_digit(text[i + 2]) >= 0) {
      out += static_cast<char>(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

struct Pending {
  std::optional<ResolvedService>* answer = nullptr;
  std::string scheme;
  int* remaining = nullptr;
};

void on_resolved(AvahiServiceResolver* resolver, AvahiIfIndex, AvahiProtocol,
                 AvahiResolverEvent event, const char*, const char*, const char*,
                 const char* host_name, const AvahiAddress*, uint16_t port, AvahiStringList* txt,
                 AvahiLookupResultFlags, void* data) {
  auto* pending = static_cast<Pending*>(data);
  if (event == AVAHI_RESOLVER_FOUND && host_name && !pending->answer->has_value()) {
    ResolvedService service;
    for (auto* item = txt; item; item = avahi_string_list_get_next(item)) {
      char* key = nullptr;
      char* value = nullptr;
      if (avahi_string_list_get_pair(item, &key, &value, nullptr) == 0 && key) {
        service.txt[key] = value ? value : "";
      }
      avahi_free(key);
      avahi_free(value);
    }
    std::string resource = service.txt.count("rp") ? service.txt["rp"] : "ipp/print";
    if (!resource.empty() && resource.front() == '/') resource.erase(0, 1);
    service.uri = pending->scheme + "://" + host_name + ":" + std::to_string(port) + "/" + resource;
    *pending->answer = std::move(service);
  }
  --*pending->remaining;
  avahi_service_resolver_free(resolver);
}

}  // namespace

std::optional<ServiceName> service_from_uri(const std::string& uri) {
  const auto scheme_end = uri.find("://");
  if (scheme_end == std::string::npos) return std::nullopt;
  auto host = uri.substr(scheme_end + 3);
  host = percent_decoded(host.substr(0, host.find('/')));
  for (const char* type : {"._ipps._tcp", "._ipp._tcp"}) {
    const auto at = host.rfind(type);
    if (at == std::string::npos || at == 0) continue;
    ServiceName name;
    name.instance = host.substr(0, at);
    name.type = std::string(type).substr(1);
    auto domain = host.substr(at + std::string(type).size());
    if (!domain.empty() && domain.front() == '.') domain.erase(0, 1);
    if (!domain.empty() && domain.back() == '.') domain.pop_back();
    name.domain = domain.empty() ? "local" : domain;
    return name;
  }
  return std::nullopt;
}

std::vector<std::optional<ResolvedService>> resolve_services(
    const std::vector<ServiceName>& services, std::chrono::milliseconds timeout) {
  std::vector<std::optional<ResolvedService>> answers(services.size());
  if (services.empty()) return answers;
  const auto deadline = Clock::now() + timeout;
  // Declared before the client: the client frees unfinished resolvers, which point here.
  int remaining = 0;
  std::vector<Pending> pending(services.size());

  std::unique_ptr<AvahiSimplePoll, decltype(&avahi_simple_poll_free)> poll(avahi_simple_poll_new(),
                                                                           avahi_simple_poll_free);
  if (!poll) return answers;
  int error = 0;
  std::unique_ptr<AvahiClient, decltype(&avahi_client_free)> client(
      avahi_client_new(avahi_simple_poll_get(poll.get()), AvahiClientFlags(0), nullptr, nullptr,
                       &error),
      avahi_client_free);
  if (!client) return answers;  // no DNS-SD daemon: nothing resolves

  for (std::size_t i = 0; i < services.size(); ++i) {
    pending[i] = {&answers[i], services[i].type == "_ipps._tcp" ? "ipps" : "ipp", &remaining};
    if (avahi_service_resolver_new(client.get(), AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC,
                                   services[i].instance.c_str(), services[i].type.c_str(),
                                   services[i].domain.c_str(), AVAHI_PROTO_UNSPEC,
                                   AvahiLookupFlags(0), on_resolved, &pending[i])) {
      ++remaining;
    }
  }
  while (remaining > 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    if (avahi_simple_poll_iterate(poll.get(), static_cast<int>(left)) != 0) break;
  }
  // Resolvers still running are freed with the client.
  return answers;
}

}  // namespace os_actions::printing::detail
