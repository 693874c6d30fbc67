#include "vesk_ui/theme.hpp"

namespace vesk_ui::theme {

Theme Theme::light() {
  Theme theme;
  theme.palette = Palette{
      .window = "#f6f6f4",
      .card = "#ffffff",
      .hairline = "#e2e2de",
      .text = "#1d1f23",
      .secondary_text = "#5e6470",
      .accent = "#2c5ba2",
      .on_accent = "#ffffff",
      .success_background = "#e5f4ea",
      .success_text = "#1f7a3d",
      .warning_background = "#fff4dc",
      .warning_text = "#8a5a00",
      .error_background = "#fde8e7",
      .error_text = "#a3231b",
      .info_background = "#e8eef8",
      .info_text = "#2c5ba2",
  };
  return theme;
}

Theme Theme::dark() {
  Theme theme;
  theme.is_dark = true;
  theme.palette = Palette{
      .window = "#1e1f22",
      .card = "#2a2b2f",
      .hairline = "#3a3b40",
      .text = "#ececef",
      .secondary_text = "#a5a9b2",
      .accent = "#6f9be3",
      .on_accent = "#ffffff",
      .success_background = "#1f3a29",
      .success_text = "#8fd6a5",
      .warning_background = "#3d311a",
      .warning_text = "#f1c46c",
      .error_background = "#42201e",
      .error_text = "#f3a19b",
      .info_background = "#23304a",
      .info_text = "#a9c4f0",
  };
  return theme;
}

}  // namespace vesk_ui::theme
