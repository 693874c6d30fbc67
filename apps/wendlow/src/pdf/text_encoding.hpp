#pragma once
#include <string>
#include <string_view>

namespace wendlow::pdf {

// One WinAnsi byte per scalar value of the UTF-8 `text`: printable Latin-1 stays, a few
// typographic marks map to their WinAnsi codes, tab and no-break space become a space and
// everything else (controls, line breaks, malformed bytes, values above U+00FF) becomes "?".
std::string encode_win_ansi(std::string_view text);

// Escapes "(", ")" and backslash for a PDF literal string; other bytes are copied.
std::string escape_pdf_string(std::string_view bytes);

// Whether `text` holds anything besides Unicode White_Space characters.
bool has_visible_text(std::string_view text);

}  // namespace wendlow::pdf
