#pragma once
// The visual language in one table: spacing, type sizes and the two palettes. Hosts read
// it; nothing else hard-codes a colour or a size.
#include <string>

namespace vesk_ui::theme {

struct Palette {
  std::string window;
  std::string card;
  std::string hairline;
  std::string text;
  std::string secondary_text;
  std::string accent;
  std::string on_accent;
  std::string success_background, success_text;
  std::string warning_background, warning_text;
  std::string error_background, error_text;
  std::string info_background, info_text;
};

struct Metrics {
  int unit = 8;
  int card_gap = 16;
  int page_margin = 24;
  int narrow_page_margin = 16;
  int narrow_width = 640;  // below this, grids use one column and margins shrink
  int card_radius = 12;
  int card_padding = 16;
  int content_max_width = 1120;
  int large_title = 28;
  int heading = 17;
  int body = 14;
  int caption = 12;
  int button_height = 36;
  int button_padding = 16;
  int progress_height = 6;
};

struct Theme {
  bool is_dark = false;
  Palette palette;
  Metrics metrics;

  static Theme light();
  static Theme dark();
};

}  // namespace vesk_ui::theme
