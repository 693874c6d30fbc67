#pragma once
// The engine's command line and the meaning of how its run ended.
#include <expected>
#include <filesystem>
#include <string>
#include <string_view>

#include "bounded_command/run.hpp"
#include "ocr/recognize.hpp"

namespace ocr {

// `program` IMAGE stdout -l LANGUAGE tsv, with the engine held to one thread: on small
// machines its own threading makes it several times slower.
bounded_command::PreparedCommand engine_command(std::string_view program,
                                                const std::filesystem::path& image,
                                                std::string_view language);

// The engine's report as text, or the error its run ended with.
std::expected<std::string, OcrError> engine_report(
    const std::expected<bounded_command::Finished, bounded_command::Failure>& outcome);

}  // namespace ocr
