#include "pdf/zlib_compression.hpp"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace wendlow::pdf {
namespace {

constexpr int kCompressionLevel = 6;

class DeflateStream {
 public:
  DeflateStream() { ready_ = deflateInit(&stream_, kCompressionLevel) == Z_OK; }
  ~DeflateStream() {
    if (ready_) deflateEnd(&stream_);
  }
  DeflateStream(const DeflateStream&) = delete;
  DeflateStream& operator=(const DeflateStream&) = delete;

  bool ready() const { return ready_; }
  z_stream& get() { return stream_; }

 private:
  z_stream stream_{};
  bool ready_ = false;
};

}  // namespace

std::optional<CompressedImage> compress_zlib(std::span<const std::uint8_t> data) {
  DeflateStream deflater;
  if (!deflater.ready()) return std::nullopt;
  z_stream& stream = deflater.get();

  std::size_t capacity = deflateBound(&stream, data.size());
  CompressedImage image{std::make_unique_for_overwrite<std::uint8_t[]>(capacity), 0};

  // zlib counts in 32-bit units, so very large buffers are fed and drained in pieces.
  constexpr std::size_t kMaxPiece = UINT_MAX;
  std::size_t consumed = 0;
  std::size_t produced = 0;
  int result = Z_OK;
  while (result == Z_OK && produced < capacity) {
    std::size_t in_piece = std::min(kMaxPiece, data.size() - consumed);
    std::size_t out_piece = std::min(kMaxPiece, capacity - produced);
    bool last_input = consumed + in_piece == data.size();
    // zlib takes a non-const pointer but never writes through next_in.
    stream.next_in = const_cast<Bytef*>(data.data() + consumed);
    stream.avail_in = static_cast<uInt>(in_piece);
    stream.next_out = image.buffer.get() + produced;
    stream.avail_out = static_cast<uInt>(out_piece);
    result = deflate(&stream, last_input ? Z_FINISH : Z_NO_FLUSH);
    consumed += in_piece - stream.avail_in;
    produced += out_piece - stream.avail_out;
  }
  if (result != Z_STREAM_END) return std::nullopt;
  image.size = produced;
  return image;
}

std::optional<CompressedImage> compress_zlib_rgb_of_rgba(std::span<const std::uint8_t> rgba) {
  if (rgba.size() % 4 != 0) return std::nullopt;
  DeflateStream deflater;
  if (!deflater.ready()) return std::nullopt;
  z_stream& stream = deflater.get();

  const std::size_t pixel_count = rgba.size() / 4;
  const std::size_t capacity = deflateBound(&stream, pixel_count * 3);
  CompressedImage image{std::make_unique_for_overwrite<std::uint8_t[]>(capacity), 0};

  // Deflate's output does not depend on how its input is split, so feeding converted pieces
  // gives the bytes of one pass over the whole RGB image.
  constexpr std::size_t kPiecePixels = 16 * 1024;
  std::vector<std::uint8_t> rgb(kPiecePixels * 3);
  std::size_t done = 0;
  int result = Z_OK;
  do {
    const std::size_t count = std::min(kPiecePixels, pixel_count - done);
    const std::uint8_t* source = rgba.data() + done * 4;
    for (std::size_t i = 0; i < count; ++i) {
      rgb[3 * i] = source[4 * i];
      rgb[3 * i + 1] = source[4 * i + 1];
      rgb[3 * i + 2] = source[4 * i + 2];
    }
    done += count;
    const bool last = done == pixel_count;
    stream.next_in = rgb.data();
    stream.avail_in = static_cast<uInt>(count * 3);
    do {
      const std::size_t room = std::min<std::size_t>(UINT_MAX, capacity - image.size);
      stream.next_out = image.buffer.get() + image.size;
      stream.avail_out = static_cast<uInt>(room);
      result = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
      image.size += room - stream.avail_out;
    } while (result == Z_OK && (stream.avail_in > 0 || (last && image.size < capacity)));
  } while (result == Z_OK && done < pixel_count);
  if (result != Z_STREAM_END) return std::nullopt;
  return image;
}

std::size_t zlib_size_bound(std::size_t length) {
  return compressBound(length);
}

}  // namespace wendlow::pdf
