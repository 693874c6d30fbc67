#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wendlow::pdf {

// The body of one indirect object. An image stream is only complete once its image has been
// compressed, so the table holds the extras of its dictionary and the serialiser adds the
// length and the data when it reaches the object.
struct ObjectBody {
  std::string text;  // the whole body, or an image stream's dictionary extras
  bool image_stream = false;
};

// "<< /Length L<extras> >>\nstream\n", the part of a stream object before its data.
std::string stream_head(std::string_view extras, std::size_t length);
inline constexpr std::string_view kStreamTail = "\nendstream";

// A complete stream object holding `data`.
ObjectBody stream_object(std::string_view extras, std::string_view data);
// A stream object whose data is the next compressed page image.
ObjectBody image_stream_object(std::string extras);

// Object bodies in number order. An object's number is its 1-based position; a reserved slot
// keeps its number and is filled later.
class ObjectTable {
 public:
  std::size_t append(ObjectBody body);
  std::size_t reserve() { return append(ObjectBody{}); }
  void fill(std::size_t number, ObjectBody body) { bodies_.at(number - 1) = std::move(body); }

  std::size_t size() const { return bodies_.size(); }
  const std::vector<ObjectBody>& bodies() const { return bodies_; }

 private:
  std::vector<ObjectBody> bodies_;
};

}  // namespace wendlow::pdf
