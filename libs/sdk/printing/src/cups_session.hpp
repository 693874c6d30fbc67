#pragma once
// RAII handles and one-request helpers over libcups. Every connection has a connect and a
// response timeout, so no call waits on a silent server for longer than its bound.
#include <cups/cups.h>

#include <chrono>
#include <expected>
#include <memory>
#include <string>
#include <vector>

namespace os_actions::printing::detail {

struct IppDeleter {
  void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
struct HttpDeleter {
  void operator()(http_t* http) const { httpClose(http); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;
using HttpPtr = std::unique_ptr<http_t, HttpDeleter>;

// The scheduler the process is configured for (CUPS_SERVER, client.conf, or the local
// socket), with the given bounds.
std::expected<HttpPtr, std::string> connect_scheduler(std::chrono::milliseconds connect_timeout,
                                                      std::chrono::milliseconds response_timeout);

// A printer's own IPP service, from a device URI such as ipp://host:631/ipp/print?x=y.
std::expected<HttpPtr, std::string> connect_device(const std::string& device_uri,
                                                   std::chrono::milliseconds connect_timeout,
                                                   std::chrono::milliseconds response_timeout,
                                                   std::string& printer_uri, std::string& resource);

// ipp://localhost/printers/NAME (the name percent-encoded), or ipp://localhost/ when empty.
std::string local_printer_uri(const std::string& queue);

// A request with the printer-uri and requesting-user-name operation attributes.
IppPtr new_request(ipp_op_t operation, const std::string& printer_uri);
void add_requested_attributes(ipp_t* request, const std::vector<const char*>& names);

// Sends the request; an IPP error becomes "<what>: <server's message>".
std::expected<IppPtr, std::string> send_request(http_t* http, IppPtr request, const char* resource,
                                                const std::string& what);

// Attribute readers that tolerate absent attributes and wrong value tags.
std::string string_value(ipp_attribute_t* attribute);
std::vector<std::string> string_values(ipp_attribute_t* attribute);
std::vector<int> integer_values(ipp_attribute_t* attribute);

// Calls `each` with the attributes of every group of the given tag in a response.
template <class Each>
void for_each_group(ipp_t* response, ipp_tag_t group, Each each) {
  std::vector<ipp_attribute_t*> current;
  for (auto* attribute = ippFirstAttribute(response); attribute;
       attribute = ippNextAttribute(response)) {
    if (ippGetGroupTag(attribute) != group || !ippGetName(attribute)) {
      if (!current.empty()) each(current);
      current.clear();
      continue;
    }
    current.push_back(attribute);
  }
  if (!current.empty()) each(current);
}

}  // namespace os_actions::printing::detail
