#include "ocr/recognize.hpp"

#include "ocr/engine.hpp"
#include "ocr/language.hpp"
#include "ocr/prepare.hpp"
#include "ocr/tsv_report.hpp"
#include "vesk_image/encode.hpp"
#include "vesk_os/temp_file.hpp"

namespace ocr {

std::expected<OcrResult, OcrError> recognize_text(const vesk_image::Image& image,
                                                  std::string_view language) {
  return recognize_text(image, language, EngineSetup{});
}

std::expected<OcrResult, OcrError> recognize_text(const vesk_image::Image& image,
                                                  std::string_view language,
                                                  const EngineSetup& engine) {
  if (!is_valid_language_code(language)) {
    return std::unexpected(OcrError{OcrErrorKind::InvalidLanguage, {}});
  }
  const std::uint64_t width = image.width();
  const std::uint64_t height = image.height();
  if (width > OcrLimits::kMaxImageSide || height > OcrLimits::kMaxImageSide ||
      width * height > OcrLimits::kMaxImagePixels) {
    return std::unexpected(OcrError{OcrErrorKind::ImageTooLarge, {}});
  }
  const vesk_image::Image prepared = prepare_page(image);

  auto file = engine.temp_directory.empty()
                  ? vesk_os::TempFile::create(".tmp", ".png")
                  : vesk_os::TempFile::create_in(engine.temp_directory, ".tmp", ".png");
  if (!file) return std::unexpected(OcrError{OcrErrorKind::Io, file.error()});
  // Any lossless PNG will do for the engine. Stored without compression, the page is written
  // in a fraction of the default settings' time and read back faster by the engine.
  const auto encoded = vesk_image::encode_for_file_name(prepared, file->path().filename().string(),
                                                        vesk_image::PngOptions::stored());
  if (!encoded) return std::unexpected(OcrError{OcrErrorKind::Image, encoded.error()});
  if (auto written = file->write_all(*encoded); !written) {
    return std::unexpected(OcrError{OcrErrorKind::Image, written.error()});
  }

  const auto outcome = bounded_command::run_prepared_with_limits(
      engine_command(engine.program, file->path(), language), {}, engine.stdout_limit,
      engine.stderr_limit, engine.time_limit);
  const auto report = engine_report(outcome);
  if (!report) return std::unexpected(report.error());
  return parse_tsv_report(*report, language);
}

}  // namespace ocr
