#include "scanning/save.hpp"

#include <thread>

#include "pdf/write_searchable_pdf.hpp"
#include "vesk_os/durable_file.hpp"
#include "vesk_os/utf8.hpp"

namespace wendlow::scanning {

std::filesystem::path with_default_extension(std::filesystem::path path,
                                             std::string_view extension) {
  if (!path.filename().empty() && !path.has_extension()) {
    path.replace_extension(std::string(extension));
  }
  return path;
}

std::string saved_file_label(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  if (name.empty()) return "the page";
  return vesk_os::utf8::to_valid(name);
}

namespace {

std::expected<void, std::string> save_page(const std::filesystem::path& path,
                                           const EncodedImage& encoded) {
  // An edited page's PNG may still be on its way; waiting here keeps the window free.
  auto bytes = encoded.wait();
  if (!bytes) return std::unexpected(std::move(bytes.error()));
  if (!*bytes) return std::unexpected(std::string("the page has no image file"));
  return vesk_os::save_durably(path, **bytes);
}

std::expected<void, std::string> save_document(const std::filesystem::path& path,
                                               const std::vector<ScannedPage>& pages) {
  std::vector<pdf::RgbaPdfPage> pdf_pages;
  pdf_pages.reserve(pages.size());
  for (const ScannedPage& page : pages) {
    pdf_pages.push_back({page.pixels, page.text.value_or(""), page.width, page.height});
  }
  return vesk_os::save_durably(path, [&](const vesk_os::FileWriter& write) {
    return pdf::write_searchable_pdf_to(pdf_pages, std::thread::hardware_concurrency(), write);
  });
}

}  // namespace

std::expected<void, std::string> write_save(const std::filesystem::path& path,
                                            const SaveContent& content) {
  if (const auto* page = std::get_if<EncodedImage>(&content)) return save_page(path, *page);
  return save_document(path, std::get<std::vector<ScannedPage>>(content));
}

}  // namespace wendlow::scanning
