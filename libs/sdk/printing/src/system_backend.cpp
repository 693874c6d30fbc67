#include "os_actions/printing/printing.hpp"

namespace os_actions::printing {

// Until the CUPS and SANE backend exists the program reports the service as unavailable;
// it never serves sample data.
std::shared_ptr<Backend> make_system_backend() {
  return std::make_shared<UnavailableBackend>();
}

}  // namespace os_actions::printing
