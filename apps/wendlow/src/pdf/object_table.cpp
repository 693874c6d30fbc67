#include "pdf/object_table.hpp"

namespace wendlow::pdf {
namespace {

std::string stream_head(std::string_view extras, std::size_t length) {
  std::string head = "<< /Length " + std::to_string(length);
  head += extras;
  head += " >>\nstream\n";
  return head;
}

constexpr std::string_view kStreamTail = "\nendstream";

}  // namespace

ObjectBody stream_object(std::string_view extras, std::string_view data) {
  ObjectBody body;
  body.head = stream_head(extras, data.size());
  body.head += data;
  body.head += kStreamTail;
  return body;
}

ObjectBody stream_object(std::string_view extras, CompressedImage data) {
  ObjectBody body;
  body.head = stream_head(extras, data.size);
  body.image = std::move(data);
  body.tail = kStreamTail;
  return body;
}

std::size_t ObjectTable::append(ObjectBody body) {
  bodies_.push_back(std::move(body));
  return bodies_.size();
}

}  // namespace wendlow::pdf
