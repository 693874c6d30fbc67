#pragma once
// Queue names for added printers and the device URIs that may be added.
#include <string>
#include <vector>

namespace os_actions::printing::detail {

// A queue name made from a printer's name with only characters CUPS allows in names:
// ASCII letters, digits, "-", "_" and "."; every other run becomes one "_". At most 127
// bytes; "Printer" when nothing usable is left.
std::string queue_name_for(const std::string& printer_name);

// The name itself when no existing queue has it, else the first free "<name>_2", "_3", ….
std::string unique_queue_name(const std::string& wanted, const std::vector<std::string>& taken);

// A resolved ipp:// or ipps:// URI with a host and no DNS-SD service name in it.
bool is_resolved_printer_uri(const std::string& uri);

}  // namespace os_actions::printing::detail
