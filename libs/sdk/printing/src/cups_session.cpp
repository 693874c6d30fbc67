#include "cups_session.hpp"

#include <algorithm>
#include <cstring>

namespace os_actions::printing::detail {
namespace {

// libcups asks on the terminal for a password when an operation needs one; a desktop
// program must fail instead of waiting on a prompt nobody sees.
const char* no_password(const char*, http_t*, const char*, const char*, void*) {
  return nullptr;
}

void install_password_refusal() {
  // The callback is per thread in libcups; set it on every thread that sends requests.
  cupsSetPasswordCB2(no_password, nullptr);
}

int milliseconds_of(std::chrono::milliseconds timeout) {
  return static_cast<int>(std::max<long long>(1, timeout.count()));
}

}  // namespace

std::expected<HttpPtr, std::string> connect_scheduler(std::chrono::milliseconds connect_timeout,
                                                      std::chrono::milliseconds response_timeout) {
  install_password_refusal();
  const char* server = cupsServer();
  http_t* http = httpConnect2(server, ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              milliseconds_of(connect_timeout), nullptr);
  if (!http) {
    return std::unexpected(std::string("could not connect to the print scheduler at ") +
                           (server ? server : "?") + ": " + cupsLastErrorString());
  }
  httpSetTimeout(http, static_cast<double>(response_timeout.count()) / 1000.0, nullptr, nullptr);
  return HttpPtr(http);
}

std::expected<HttpPtr, std::string> connect_device(const std::string& device_uri,
                                                   std::chrono::milliseconds connect_timeout,
                                                   std::chrono::milliseconds response_timeout,
                                                   std::string& printer_uri,
                                                   std::string& resource) {
  char scheme[32], userpass[256], host[256], path[1024];
  int port = 0;
  if (httpSeparateURI(HTTP_URI_CODING_ALL, device_uri.c_str(), scheme, sizeof(scheme), userpass,
                      sizeof(userpass), host, sizeof(host), &port, path,
                      sizeof(path)) < HTTP_URI_STATUS_OK) {
    return std::unexpected("malformed device uri");
  }
  std::string clean_path = path;
  clean_path = clean_path.substr(0, clean_path.find('?'));
  const std::string scheme_text = scheme;
  const auto encryption =
      scheme_text == "ipps" ? HTTP_ENCRYPTION_ALWAYS : HTTP_ENCRYPTION_IF_REQUESTED;
  http_t* http = httpConnect2(host, port, nullptr, AF_UNSPEC, encryption, 1,
                              milliseconds_of(connect_timeout), nullptr);
  if (!http)
    return std::unexpected(std::string("printer did not answer: ") + cupsLastErrorString());
  httpSetTimeout(http, static_cast<double>(response_timeout.count()) / 1000.0, nullptr, nullptr);
  char uri[2048];
  httpAssembleURI(HTTP_URI_CODING_ALL, uri, sizeof(uri), scheme, nullptr, host, port,
                  clean_path.c_str());
  printer_uri = uri;
  resource = clean_path.empty() ? "/" : clean_path;
  return HttpPtr(http);
}

std::string local_printer_uri(const std::string& queue) {
  char uri[2048];
  if (queue.empty()) {
    httpAssembleURI(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", ippPort(),
                    "/");
  } else {
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", queue.c_str());
  }
  return uri;
}

IppPtr new_request(ipp_op_t operation, const std::string& printer_uri) {
  IppPtr request(ippNewRequest(operation));
  ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
               printer_uri.c_str());
  ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  return request;
}

void add_requested_attributes(ipp_t* request, const std::vector<const char*>& names) {
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(names.size()), nullptr, names.data());
}

std::expected<IppPtr, std::string> send_request(http_t* http, IppPtr request, const char* resource,
                                                const std::string& what) {
  install_password_refusal();
  // cupsDoRequest frees the request and answers authentication challenges that need no
  // password itself (peer credentials on the local socket, the local certificate).
  IppPtr response(cupsDoRequest(http, request.release(), resource));
  const auto status = cupsLastError();
  if (status > IPP_STATUS_OK_EVENTS_COMPLETE)
    return std::unexpected(what + ": " + cupsLastErrorString());
  if (!response) {
    // A connection that timed out or broke leaves the IPP status at "successful".
    const int error = httpError(http);
    return std::unexpected(what + ": " + (error ? std::strerror(error) : "no answer"));
  }
  return response;
}

std::string string_value(ipp_attribute_t* attribute) {
  if (!attribute || ippGetCount(attribute) < 1) return {};
  const char* text = ippGetString(attribute, 0, nullptr);
  return text ? text : "";
}

std::vector<std::string> string_values(ipp_attribute_t* attribute) {
  std::vector<std::string> values;
  for (int i = 0; attribute && i < ippGetCount(attribute); ++i) {
    const char* text = ippGetString(attribute, i, nullptr);
    if (text) {
      values.emplace_back(text);
    } else if (ippGetValueTag(attribute) == IPP_TAG_STRING) {
      int length = 0;
      const auto* data = static_cast<const char*>(ippGetOctetString(attribute, i, &length));
      values.emplace_back(data ? std::string(data, static_cast<std::size_t>(length)) : "");
    }
  }
  return values;
}

std::vector<int> integer_values(ipp_attribute_t* attribute) {
  std::vector<int> values;
  const auto tag = attribute ? ippGetValueTag(attribute) : IPP_TAG_ZERO;
  if (tag != IPP_TAG_INTEGER && tag != IPP_TAG_ENUM) return values;
  for (int i = 0; i < ippGetCount(attribute); ++i) values.push_back(ippGetInteger(attribute, i));
  return values;
}

}  // namespace os_actions::printing::detail
