#include "scanning/settings.hpp"

#include <array>

namespace wendlow::scanning {

std::uint16_t resolution_for(std::size_t index) {
  constexpr std::array<std::uint16_t, 3> kResolutions = {150, 300, 600};
  return index < kResolutions.size() ? kResolutions[index] : 300;
}

os_actions::printing::ScanSettings scan_settings_for(std::size_t resolution, std::size_t color,
                                                     std::size_t source) {
  auto pick = [](std::size_t index) -> std::uint8_t {
    return index <= 2 ? static_cast<std::uint8_t>(index) : 0;
  };
  return {resolution_for(resolution), pick(color), pick(source)};
}

TextLanguage language_for(std::size_t index) {
  switch (index) {
    case 1:
      return {"deu", "German"};
    case 2:
      return {"fra", "French"};
    case 3:
      return {"spa", "Spanish"};
    default:
      return {"eng", "English"};
  }
}

std::string language_code_for(const std::string& label) {
  for (std::size_t index = 1; index <= 3; ++index) {
    TextLanguage language = language_for(index);
    if (language.label == label) return std::move(language.code);
  }
  return "eng";
}

}  // namespace wendlow::scanning
