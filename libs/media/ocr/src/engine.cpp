#include "ocr/engine.hpp"

#include "text.hpp"

namespace ocr {
namespace {

OcrError failed(std::string message) {
  return OcrError{OcrErrorKind::Failed, std::move(message)};
}

struct FailureMapping {
  OcrError operator()(const bounded_command::IoError& error) const {
    if (error.program_not_found()) return OcrError{OcrErrorKind::NotInstalled, {}};
    return OcrError{OcrErrorKind::Io, error.message};
  }
  OcrError operator()(const bounded_command::OutputLimitExceeded& limit) const {
    return failed(limit.stream == bounded_command::Stream::Stdout
                      ? "OCR output exceeded the safety limit"
                      : "OCR diagnostics exceeded the safety limit");
  }
  OcrError operator()(const bounded_command::TimeLimitExceeded&) const {
    return failed("OCR engine timed out");
  }
  OcrError operator()(const bounded_command::OtherFailure&) const {
    return failed("OCR engine process failed");
  }
};

}  // namespace

bounded_command::PreparedCommand engine_command(std::string_view program,
                                                const std::filesystem::path& image,
                                                std::string_view language) {
  return bounded_command::PreparedCommand{
      std::string(program),
      {image.string(), "stdout", "-l", std::string(language), "tsv"},
      {{"OMP_THREAD_LIMIT", "1"}}};
}

std::expected<std::string, OcrError> engine_report(
    const std::expected<bounded_command::Finished, bounded_command::Failure>& outcome) {
  if (!outcome) return std::unexpected(std::visit(FailureMapping{}, outcome.error()));
  if (!outcome->status.success()) {
    const std::string diagnostics = detail::to_valid_utf8(outcome->standard_error);
    return std::unexpected(failed(std::string(detail::first_characters(
        detail::trim_white_space(diagnostics), OcrLimits::kDiagnosticCharacters))));
  }
  return detail::to_valid_utf8(outcome->standard_output);
}

}  // namespace ocr
