// Driverless printers: DNS-SD discovery through libcups and adding a queue with the
// IPP Everywhere model.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "cups_client.hpp"
#include "cups_session.hpp"
#include "dnssd_resolve.hpp"
#include "queue_names.hpp"

namespace os_actions::printing::detail {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kBrowse = 2500ms;           // DNS-SD browsing
constexpr auto kDiscoveryBudget = 5000ms;  // browsing and resolving together
constexpr auto kReadyWait = 10000ms;       // until an added queue's model is built

struct Browse {
  int count = 0;
  cups_dest_t* dests = nullptr;  // copies of what was found
};

int keep_discovered(void* data, unsigned flags, cups_dest_t* dest) {
  auto* browse = static_cast<Browse*>(data);
  if (flags & CUPS_DEST_FLAGS_REMOVED) return 1;
  const char* type = cupsGetOption("printer-type", dest->num_options, dest->options);
  const unsigned long bits = type ? std::strtoul(type, nullptr, 10) : 0;
  if (bits & CUPS_PRINTER_DISCOVERED)
    browse->count = cupsCopyDest(dest, browse->count, &browse->dests);
  return 1;
}

std::string option(const cups_dest_t& dest, const char* name) {
  const char* value = cupsGetOption(name, dest.num_options, dest.options);
  return value ? value : "";
}

// Asks the scheduler for every queue's name and device URI.
std::expected<std::vector<std::pair<std::string, std::string>>, std::string> existing_queues(
    http_t* http) {
  auto request = IppPtr(ippNewRequest(IPP_OP_CUPS_GET_PRINTERS));
  ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  add_requested_attributes(request.get(), {"printer-name", "device-uri"});
  auto response = send_request(http, std::move(request), "/", "could not list printers");
  std::vector<std::pair<std::string, std::string>> queues;
  if (!response) {
    if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) return queues;
    return std::unexpected(response.error());
  }
  for_each_group(response->get(), IPP_TAG_PRINTER, [&](const auto& group) {
    std::string name, device;
    for (auto* attribute : group) {
      const std::string key = ippGetName(attribute);
      if (key == "printer-name") name = string_value(attribute);
      if (key == "device-uri") device = string_value(attribute);
    }
    queues.emplace_back(name, device);
  });
  return queues;
}

// The scheduler builds the IPP Everywhere model after the add request has returned; the
// queue prints only once the model is there.
bool wait_until_ready(http_t* http, const std::string& queue) {
  const auto deadline = Clock::now() + kReadyWait;
  while (Clock::now() < deadline) {
    auto request = new_request(IPP_OP_GET_PRINTER_ATTRIBUTES, local_printer_uri(queue));
    add_requested_attributes(request.get(), {"printer-make-and-model", "printer-state-reasons"});
    auto response = send_request(http, std::move(request), "/", "status");
    if (response) {
      const auto model =
          string_value(ippFindAttribute(response->get(), "printer-make-and-model", IPP_TAG_ZERO));
      if (!model.empty() && model != "Local Raw Printer") return true;
    }
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

}  // namespace

std::expected<std::vector<DriverlessPrinter>, std::string> cups_discover_driverless() {
  const auto deadline = Clock::now() + kDiscoveryBudget;
  Browse browse;
  int cancel = 0;
  cupsEnumDests(CUPS_DEST_FLAGS_NONE, static_cast<int>(kBrowse.count()), &cancel, 0, 0,
                keep_discovered, &browse);

  // Every service is resolved at once through the DNS-SD daemon; libcups resolves one at a
  // time and now and then stalls for seconds on one.
  std::vector<const cups_dest_t*> dests;
  std::vector<ServiceName> services;
  for (int i = 0; i < browse.count; ++i) {
    if (auto service = service_from_uri(option(browse.dests[i], "device-uri"))) {
      dests.push_back(&browse.dests[i]);
      services.push_back(std::move(*service));
    }
  }
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  const auto resolved = resolve_services(services, std::max(left, 200ms));

  std::vector<DriverlessPrinter> printers;
  for (std::size_t i = 0; i < dests.size(); ++i) {
    if (!resolved[i] || !is_resolved_printer_uri(resolved[i]->uri)) continue;
    DriverlessPrinter printer;
    printer.uri = resolved[i]->uri;
    printer.name = option(*dests[i], "printer-info");
    if (printer.name.empty()) printer.name = services[i].instance;
    auto location = option(*dests[i], "printer-location");
    if (location.empty()) {
      if (auto note = resolved[i]->txt.find("note"); note != resolved[i]->txt.end()) {
        location = note->second;
      }
    }
    if (!location.empty()) printer.location = location;
    const bool duplicate = std::any_of(printers.begin(), printers.end(),
                                       [&](const auto& other) { return other.uri == printer.uri; });
    if (!duplicate) printers.push_back(std::move(printer));
  }
  cupsFreeDests(browse.count, browse.dests);
  return printers;
}

std::expected<void, std::string> cups_add_driverless(const std::string& uri,
                                                     const std::string& name) {
  // An unresolved DNS-SD service URI would make the scheduler crash when the queue is
  // deleted later; only plain host URIs are added.
  if (!is_resolved_printer_uri(uri)) {
    return std::unexpected("not a resolved ipp or ipps printer uri: " + uri);
  }
  auto http = connect_scheduler(2000ms, 15000ms);
  if (!http) return std::unexpected(http.error());
  auto queues = existing_queues(http->get());
  if (!queues) return std::unexpected(queues.error());
  for (const auto& [queue, device] : *queues) {
    if (device == uri) return {};  // already added
  }
  std::vector<std::string> taken;
  for (const auto& entry : *queues) taken.push_back(entry.first);
  const auto queue = unique_queue_name(queue_name_for(name), taken);

  auto request = new_request(IPP_OP_CUPS_ADD_MODIFY_PRINTER, local_printer_uri(queue));
  ippAddString(request.get(), IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, uri.c_str());
  ippAddString(request.get(), IPP_TAG_PRINTER, IPP_TAG_NAME, "ppd-name", nullptr, "everywhere");
  ippAddString(request.get(), IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-info", nullptr, name.c_str());
  ippAddInteger(request.get(), IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
  ippAddBoolean(request.get(), IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
  auto response = send_request(http->get(), std::move(request), "/admin/", "could not add " + name);
  if (!response) return std::unexpected(response.error());
  if (!wait_until_ready(http->get(), queue)) {
    return std::unexpected("the new queue " + queue + " did not become ready");
  }
  return {};
}

}  // namespace os_actions::printing::detail
