#include "vesk_os/utf8.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace vesk_os::utf8 {
namespace {

TEST(Utf8Decode, ConsumesEveryByteExactlyOnce) {
  const std::string text = "\xE2\x82\xAC\xE2\x82\xF0\x9F\x98\x80x";
  std::vector<char32_t> scalars;
  std::size_t position = 0;
  while (position < text.size()) {
    const Scalar scalar = decode(text, position);
    ASSERT_GE(scalar.length, 1u);
    scalars.push_back(scalar.value);
    position += scalar.length;
  }
  EXPECT_EQ(position, text.size());
  EXPECT_EQ(scalars, (std::vector<char32_t>{U'\u20AC', kReplacement, U'\U0001F600', U'x'}));
}

TEST(Utf8Validity, RejectsOverlongSurrogatesTooLargeAndCutSequences) {
  EXPECT_TRUE(is_valid(""));
  EXPECT_TRUE(is_valid("Itin\xC3\xA9raire \xE2\x82\xAC \xF0\x9F\x98\x80"));
  EXPECT_FALSE(is_valid("\xC0\xAF"));          // overlong '/'
  EXPECT_FALSE(is_valid("\xE0\x80\xAF"));      // overlong, three bytes
  EXPECT_FALSE(is_valid("\xF0\x80\x80\xAF"));  // overlong, four bytes
  EXPECT_FALSE(is_valid("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(is_valid("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(is_valid("ab\xE2\x82"));        // cut at the end
  EXPECT_FALSE(is_valid("\xFF"));
}

TEST(Utf8Repair, ReplacesEachMaximalBadPrefixOnce) {
  EXPECT_EQ(to_valid("a\xC3\xA9"
                     "b"),
            "a\xC3\xA9"
            "b");
  EXPECT_EQ(to_valid("a\xFF"
                     "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(to_valid("\xE2\x82x"), "\xEF\xBF\xBDx");
  EXPECT_EQ(to_valid("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(to_valid(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Utf8Prefix, CountsScalarsAndNeverCutsASequence) {
  const std::string text = "\xC3\xA9t\xC3\xA9\xF0\x9F\x98\x80";
  EXPECT_EQ(first_scalars(text, 0), "");
  EXPECT_EQ(first_scalars(text, 1), "\xC3\xA9");
  EXPECT_EQ(first_scalars(text, 3), "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(first_scalars(text, 4), text);
  EXPECT_EQ(first_scalars(text, 99), text);
}

TEST(Utf8WhiteSpace, CoversTheUnicodeSpaces) {
  for (char32_t space : {U' ', U'\t', U'\n', U'\u00A0', U'\u2003', U'\u3000'}) {
    EXPECT_TRUE(is_white_space(space)) << static_cast<unsigned>(space);
  }
  for (char32_t other : {U'a', U'\u200B', U'\uFEFF', U'\0'}) {
    EXPECT_FALSE(is_white_space(other)) << static_cast<unsigned>(other);
  }
}

}  // namespace
}  // namespace vesk_os::utf8
