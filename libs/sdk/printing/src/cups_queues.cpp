// Queues: the scheduler's list, completed by a direct, bounded status check of every
// printer that speaks IPP itself.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "cups_client.hpp"
#include "cups_session.hpp"
#include "dnssd_resolve.hpp"
#include "queue_mapping.hpp"

namespace os_actions::printing::detail {
namespace {

using namespace std::chrono_literals;

// The whole live check of all printers, however many are dead, ends within this.
constexpr auto kProbeBudget = 1500ms;
constexpr auto kSchedulerConnect = 2000ms;
constexpr auto kSchedulerResponse = 10000ms;

void read_supply_attribute(SupplyAttributes& supplies, const std::string& name,
                           ipp_attribute_t* attribute) {
  if (name == "marker-names")
    supplies.marker_names = string_values(attribute);
  else if (name == "marker-colors")
    supplies.marker_colors = string_values(attribute);
  else if (name == "marker-levels")
    supplies.marker_levels = integer_values(attribute);
  else if (name == "printer-supply")
    supplies.printer_supply = string_values(attribute);
  else if (name == "printer-supply-description")
    supplies.printer_supply_description = string_values(attribute);
}

std::optional<LiveStatus> probe_printer(const std::string& device_uri) {
  std::string target = device_uri;
  if (auto service = service_from_uri(device_uri)) {
    auto resolved = resolve_services({*service}, kProbeBudget);
    if (!resolved.front()) return std::nullopt;
    target = resolved.front()->uri;
  }
  std::string printer_uri, resource;
  auto http = connect_device(target, kProbeBudget, kProbeBudget, printer_uri, resource);
  if (!http) return std::nullopt;
  auto request = new_request(IPP_OP_GET_PRINTER_ATTRIBUTES, printer_uri);
  add_requested_attributes(
      request.get(), {"printer-state", "printer-state-reasons", "marker-names", "marker-colors",
                      "marker-levels", "printer-supply", "printer-supply-description"});
  auto response = send_request(http->get(), std::move(request), resource.c_str(), "status");
  if (!response) return std::nullopt;
  LiveStatus status;
  for (auto* attribute = ippFirstAttribute(response->get()); attribute;
       attribute = ippNextAttribute(response->get())) {
    if (ippGetGroupTag(attribute) != IPP_TAG_PRINTER || !ippGetName(attribute)) continue;
    const std::string name = ippGetName(attribute);
    if (name == "printer-state") {
      auto values = integer_values(attribute);
      if (!values.empty()) status.state = values.front();
    } else if (name == "printer-state-reasons") {
      status.state_reasons = string_values(attribute);
    } else {
      read_supply_attribute(status.supplies, name, attribute);
    }
  }
  return status;
}

// Asks every device at once. A printer that has not answered by the deadline counts as
// silent; its check goes on in the background and its answer is dropped.
std::map<std::string, std::optional<LiveStatus>> probe_all(const std::vector<std::string>& uris) {
  struct Shared {
    std::mutex mutex;
    std::condition_variable done;
    std::map<std::string, std::optional<LiveStatus>> answers;
    std::size_t remaining = 0;
  };
  auto shared = std::make_shared<Shared>();
  shared->remaining = uris.size();
  for (const auto& uri : uris) {
    std::thread([shared, uri] {
      auto answer = probe_printer(uri);
      std::lock_guard lock(shared->mutex);
      shared->answers[uri] = std::move(answer);
      if (--shared->remaining == 0) shared->done.notify_all();
    }).detach();
  }
  std::unique_lock lock(shared->mutex);
  shared->done.wait_for(lock, kProbeBudget + 200ms, [&] { return shared->remaining == 0; });
  return shared->answers;
}

std::string scheduler_default(http_t* http) {
  auto response = send_request(http, IppPtr(ippNewRequest(IPP_OP_CUPS_GET_DEFAULT)), "/",
                               "could not read the default printer");
  if (!response) return {};  // no default set is answered with not-found
  return string_value(ippFindAttribute(response->get(), "printer-name", IPP_TAG_NAME));
}

CupsQueueAttributes read_queue(const std::vector<ipp_attribute_t*>& group) {
  CupsQueueAttributes queue;
  for (auto* attribute : group) {
    const std::string name = ippGetName(attribute);
    if (name == "printer-name")
      queue.name = string_value(attribute);
    else if (name == "device-uri")
      queue.device_uri = string_value(attribute);
    else if (name == "printer-info")
      queue.info = string_value(attribute);
    else if (name == "printer-location")
      queue.location = string_value(attribute);
    else if (name == "printer-make-and-model")
      queue.make_and_model = string_value(attribute);
    else if (name == "printer-state") {
      auto values = integer_values(attribute);
      if (!values.empty()) queue.state = values.front();
    } else if (name == "printer-state-reasons")
      queue.state_reasons = string_values(attribute);
    else if (name == "printer-is-accepting-jobs")
      queue.accepting = ippGetBoolean(attribute, 0) != 0;
    else
      read_supply_attribute(queue.supplies, name, attribute);
  }
  return queue;
}

}  // namespace

std::expected<std::vector<PrintQueue>, std::string> cups_queues() {
  auto http = connect_scheduler(kSchedulerConnect, kSchedulerResponse);
  if (!http) return std::unexpected(http.error());
  auto request = IppPtr(ippNewRequest(IPP_OP_CUPS_GET_PRINTERS));
  ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  add_requested_attributes(
      request.get(),
      {"printer-name", "device-uri", "printer-info", "printer-location", "printer-make-and-model",
       "printer-state", "printer-state-reasons", "printer-is-accepting-jobs", "marker-names",
       "marker-colors", "marker-levels"});
  auto response = send_request(http->get(), std::move(request), "/", "could not list printers");
  std::vector<CupsQueueAttributes> found;
  if (!response) {
    // A scheduler without any queue answers not-found: that is an empty list.
    if (cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND) return std::unexpected(response.error());
  } else {
    for_each_group(response->get(), IPP_TAG_PRINTER, [&](const auto& group) {
      auto queue = read_queue(group);
      if (!queue.name.empty()) found.push_back(std::move(queue));
    });
  }
  const auto default_name = scheduler_default(http->get());
  http->reset();

  std::vector<std::string> devices;
  for (const auto& queue : found) {
    if (is_ipp_device(queue.device_uri) &&
        std::find(devices.begin(), devices.end(), queue.device_uri) == devices.end()) {
      devices.push_back(queue.device_uri);
    }
  }
  const auto answers = probe_all(devices);

  std::vector<PrintQueue> queues;
  for (const auto& queue : found) {
    const bool probed = is_ipp_device(queue.device_uri);
    std::optional<LiveStatus> live;
    if (auto it = answers.find(queue.device_uri); probed && it != answers.end()) live = it->second;
    queues.push_back(map_queue(queue, queue.name == default_name, probed, live));
  }
  return queues;
}

}  // namespace os_actions::printing::detail
