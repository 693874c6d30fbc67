// The application's unit tests never reach the machine's own print service: until a test
// installs a fake, and again after it, every service call answers "not available". A worker
// that outlives its test therefore finds nothing to change.
#include <memory>

#include "os_actions/printing/backend.hpp"
#include "os_actions/printing/printing.hpp"

namespace {

const bool kNoPrintService = [] {
  os_actions::printing::install_backend(
      std::make_shared<os_actions::printing::UnavailableBackend>());
  return true;
}();

}  // namespace
