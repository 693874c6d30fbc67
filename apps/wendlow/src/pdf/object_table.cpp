#include "pdf/object_table.hpp"

namespace wendlow::pdf {

std::string stream_head(std::string_view extras, std::size_t length) {
  std::string head = "<< /Length " + std::to_string(length);
  head += extras;
  head += " >>\nstream\n";
  return head;
}

ObjectBody stream_object(std::string_view extras, std::string_view data) {
  ObjectBody body;
  body.text = stream_head(extras, data.size());
  body.text += data;
  body.text += kStreamTail;
  return body;
}

ObjectBody image_stream_object(std::string extras) {
  return {std::move(extras), true};
}

std::size_t ObjectTable::append(ObjectBody body) {
  bodies_.push_back(std::move(body));
  return bodies_.size();
}

}  // namespace wendlow::pdf
