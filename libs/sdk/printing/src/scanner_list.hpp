#pragma once
// The scanner list, enumerated ahead of the ask that shows it.
//
// Asking SANE for its devices takes seconds on a default configuration with no scanner
// attached: backends broadcast network probes and wait out their timeouts (magicolor's SNMP
// 1.5 s, epson2 1 s, pixma's BJNP 0.5 s, dell1600n_net 0.3 s), and they do so on every ask,
// however long SANE stays initialised. So only the first ask waits for an enumeration.
// Every later one answers with the list of the enumeration the previous ask started
// (waiting only while that one still runs) and starts the next in the background. The
// answer is therefore what SANE reported at most one ask ago, and a scanner attached before
// an ask is listed by the ask after it.
#include <expected>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "os_actions/printing/records.hpp"

namespace os_actions::printing::detail {

class ScannerList {
 public:
  using Answer = std::expected<std::vector<Scanner>, std::string>;
  using Enumerate = std::function<Answer()>;

  // `enumerate` runs on the asking thread for the first ask, else on a background thread
  // named `worker_name`; it may throw (the answer is then an error).
  explicit ScannerList(Enumerate enumerate, std::string worker_name = "vesk-scanner-list");

  Answer get();

 private:
  struct State;
  std::shared_ptr<State> state_;  // shared with the background enumeration
};

}  // namespace os_actions::printing::detail
