#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/compressed_image.hpp"

namespace wendlow::pdf {

// The body of one indirect object: `head`, then the compressed image bytes (stream objects of
// images only), then `tail`. Image data stays in its own buffer until the file is assembled.
struct ObjectBody {
  std::string head;
  CompressedImage image;
  std::string tail;

  std::size_t size() const { return head.size() + image.size + tail.size(); }
};

// A stream object: "<< /Length L<extras> >>\nstream\n" + data + "\nendstream".
ObjectBody stream_object(std::string_view extras, std::string_view data);
ObjectBody stream_object(std::string_view extras, CompressedImage data);

// Object bodies in number order. An object's number is its 1-based position; a reserved slot
// keeps its number and is filled later.
class ObjectTable {
 public:
  std::size_t append(ObjectBody body);
  std::size_t reserve() { return append(ObjectBody{}); }
  void fill(std::size_t number, ObjectBody body) { bodies_.at(number - 1) = std::move(body); }

  std::size_t size() const { return bodies_.size(); }
  std::vector<ObjectBody>& bodies() { return bodies_; }
  const std::vector<ObjectBody>& bodies() const { return bodies_; }

 private:
  std::vector<ObjectBody> bodies_;
};

}  // namespace wendlow::pdf
