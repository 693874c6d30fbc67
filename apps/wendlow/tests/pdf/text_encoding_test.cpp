#include "pdf/text_encoding.hpp"

#include <gtest/gtest.h>

#include <string>

namespace wendlow::pdf {
namespace {

TEST(EncodeWinAnsi, MapsTypographicMarksToTheirWinAnsiCodes) {
  EXPECT_EQ(encode_win_ansi("\u2013\u2014\u2018\u2019\u201C\u201D\u2022\u2026"),
            "\x96\x97\x91\x92\x93\x94\x95\x85");
}

TEST(EncodeWinAnsi, CafeWithEnDashAndEuroSign) {
  EXPECT_EQ(encode_win_ansi("Café – 5 €"), std::string("Caf\xE9 \x96 5 ?"));
}

TEST(EncodeWinAnsi, TabAndNoBreakSpaceBecomeSpaces) {
  EXPECT_EQ(encode_win_ansi("a\tb\u00A0c"), "a b c");
}

TEST(EncodeWinAnsi, ControlsLineBreaksAndC1BecomeQuestionMarks) {
  EXPECT_EQ(encode_win_ansi("a\nb\r\nc"), "a?b??c");
  EXPECT_EQ(encode_win_ansi(std::string("\x00\x01\x1F\x7F", 4)), "????");
  EXPECT_EQ(encode_win_ansi("\u0080\u0085\u009F"), "???");
}

TEST(EncodeWinAnsi, KeepsPrintableAsciiAndLatin1) {
  std::string ascii;
  for (char c = 0x20; c < 0x7F; ++c) ascii.push_back(c);
  EXPECT_EQ(encode_win_ansi(ascii), ascii);
  EXPECT_EQ(encode_win_ansi("\u00A1\u00E9\u00FF"), "\xA1\xE9\xFF");
}

TEST(EncodeWinAnsi, ValuesAboveLatin1WithoutMappingBecomeOneQuestionMarkEach) {
  EXPECT_EQ(encode_win_ansi("\u0100\u20AC\u4E2D\U0001F600"), "????");
}

TEST(EncodeWinAnsi, MalformedUtf8GivesOneQuestionMarkPerMaximalSubpart) {
  EXPECT_EQ(encode_win_ansi("a\xE2\x82z"), "a?z");         // cut-short euro sign
  EXPECT_EQ(encode_win_ansi("\xC0\xAF"), "??");            // overlong slash
  EXPECT_EQ(encode_win_ansi("\xED\xA0\x80"), "???");       // surrogate
  EXPECT_EQ(encode_win_ansi("\xF4\x90\x80\x80"), "????");  // above U+10FFFF
  EXPECT_EQ(encode_win_ansi("\xFF\xC3"), "??");            // bad lead, cut at the end
  EXPECT_EQ(encode_win_ansi("\xF0\x9F\x98"), "?");         // cut-short 4-byte sequence
}

TEST(EscapePdfString, EscapesParenthesesAndBackslashOnly) {
  EXPECT_EQ(escape_pdf_string("a(b)c\\d"), "a\\(b\\)c\\\\d");
  EXPECT_EQ(escape_pdf_string("\x96?%<>"), "\x96?%<>");
  EXPECT_EQ(escape_pdf_string(""), "");
}

TEST(HasVisibleText, WhiteSpaceOnlyIsBlank) {
  EXPECT_FALSE(has_visible_text(""));
  EXPECT_FALSE(has_visible_text(" \t\r\n\v\f"));
  EXPECT_FALSE(has_visible_text("\u00A0\u0085\u1680\u2000\u200A\u2028\u2029\u202F\u205F\u3000"));
}

TEST(HasVisibleText, AnythingElseIsVisible) {
  EXPECT_TRUE(has_visible_text("  x  "));
  EXPECT_TRUE(has_visible_text("\u200B"));  // zero width space is not White_Space
  EXPECT_TRUE(has_visible_text(" \xFF "));  // a malformed byte still shows as "?"
}

}  // namespace
}  // namespace wendlow::pdf
