// What another program may hand the registry: sizes, nesting, ids with NUL, and how much of
// the input an error text quotes.
#include "vesk_actions/limits.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vesk_ui/controls.hpp"
#include "vesk_ui/widgets.hpp"

namespace vesk_actions::limits {
namespace {

using resource::ExecutionKind;
using resource::OperationOutcome;

TEST(JsonDepth, CountsBracketsOutsideStringsOnly) {
  EXPECT_EQ(json_depth(R"("refresh")"), 0u);
  EXPECT_EQ(json_depth(R"({"id": "a", "index": 1})"), 1u);
  EXPECT_EQ(json_depth(R"([[1], {"a": [2]}])"), 3u);
  EXPECT_EQ(json_depth(R"("[[[[" )"), 0u) << "brackets inside a string";
  EXPECT_EQ(json_depth(R"("a \"[[[" )"), 0u) << "an escaped quote does not end the string";
  EXPECT_EQ(json_depth(R"(["\\", [[]]])"), 3u) << "an escaped backslash does";
  EXPECT_EQ(json_depth("]]]["), 1u) << "closing brackets never go below zero";
  EXPECT_EQ(json_depth(std::string(5'000'000, '['), 40), 40u) << "counting stops early";
}

TEST(CheckPayload, RefusesOversizedAndDeepPayloadsWithClearTexts) {
  EXPECT_TRUE(check_payload(std::string(kMaxArgumentBytes, 'a')));
  const auto large = check_payload(std::string(kMaxArgumentBytes + 1, 'a'));
  ASSERT_FALSE(large);
  EXPECT_EQ(large.error(), "the payload is too large: 1048577 bytes, at most 1048576");

  EXPECT_TRUE(check_payload(std::string(kMaxJsonDepth, '[') + std::string(kMaxJsonDepth, ']')));
  const auto deep = check_payload(std::string(kMaxJsonDepth + 1, '['));
  ASSERT_FALSE(deep);
  EXPECT_EQ(deep.error(), "the payload nests deeper than 32 levels");
}

TEST(Excerpt, CutsAtACharacterBoundaryAndShowsNul) {
  EXPECT_EQ(excerpt("short"), "short");
  EXPECT_EQ(excerpt(std::string(10'000'000, 'x'), 8), "xxxxxxxx…");
  // "é" is two bytes; a limit falling inside it keeps the character out whole.
  EXPECT_EQ(excerpt("ab\xC3\xA9", 3), "ab…");
  EXPECT_EQ(excerpt(std::string("id\0tail", 7)), "id\\0tail");
}

// A root that records every operation offered to it.
class RecordingRoot final : public vesk_ui::widget::Widget {
 public:
  std::vector<int> kinds;
  std::string_view type_name() const override { return "RecordingRoot"; }
  OperationOutcome handle_resource_operation(ExecutionKind kind, std::string_view,
                                             std::span<const std::uint8_t>) override {
    kinds.push_back(static_cast<int>(kind));
    return OperationOutcome::handled();
  }
};

std::span<const std::uint8_t> bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(RunResourceOperation, EveryKindByteReachesTheHandlersAsItCame) {
  RecordingRoot root;
  for (int kind : {0, 1, 2, 3, 255}) {
    EXPECT_EQ(vesk_ui::controls::run_resource_operation(root, static_cast<ExecutionKind>(kind),
                                                        "app.op", bytes("\"x\"")),
              OperationOutcome::handled());
  }
  EXPECT_EQ(root.kinds, (std::vector<int>{0, 1, 2, 3, 255}));
}

TEST(RunResourceOperation, PayloadsOverTheLimitsNeverReachAHandler) {
  RecordingRoot root;
  const auto large = vesk_ui::controls::run_resource_operation(
      root, ExecutionKind::Command, "app.op", bytes(std::string(kMaxArgumentBytes + 1, ' ')));
  EXPECT_EQ(large.kind, OperationOutcome::Kind::Error);
  const auto deep = vesk_ui::controls::run_resource_operation(
      root, ExecutionKind::Command, "app.op", bytes(std::string(1000, '[')));
  EXPECT_EQ(deep, OperationOutcome::failed("the payload nests deeper than 32 levels"));
  EXPECT_TRUE(root.kinds.empty());
}

TEST(SelectPayload, ParsesTheIdAndIndex) {
  const auto request = vesk_ui::controls::parse_select_payload(R"({"id": "app.mode", "index": 2})");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->id, "app.mode");
  EXPECT_EQ(request->index, 2);
  const auto huge = vesk_ui::controls::parse_select_payload(
      R"({"id": "app.mode", "index": 18446744073709551615})");
  ASSERT_TRUE(huge);
  EXPECT_LT(huge->index, 0) << "an index beyond the signed range is out of range";
}

TEST(SelectPayload, RefusesMalformedDeepAndNulBearingPayloads) {
  const std::string shape = R"(a select payload is {"id": "<control id>", "index": <segment>})";
  for (const char* bad : {"", "[]", R"({"id": 3, "index": 1})", R"({"id": "a", "index": 1.5})",
                          R"({"id": "a"})", R"({"index": 0})", "{\"id\": \"a\", \"index\": 0"}) {
    const auto request = vesk_ui::controls::parse_select_payload(bad);
    ASSERT_FALSE(request) << bad;
    EXPECT_EQ(request.error(), shape) << bad;
  }
  const auto deep = vesk_ui::controls::parse_select_payload(
      R"({"id": "a", "index": 0, "x": )" + std::string(100, '[') + std::string(100, ']') + "}");
  ASSERT_FALSE(deep);
  EXPECT_EQ(deep.error(), "the payload nests deeper than 32 levels");

  // The JSON escape \u0000 puts a NUL inside the id: refused, and the text shows all of it.
  const auto nul =
      vesk_ui::controls::parse_select_payload(R"({"id": "app.mode\u0000junk", "index": 0})");
  ASSERT_FALSE(nul);
  EXPECT_EQ(nul.error(), "a control id holds no NUL character: app.mode\\0junk");
}

TEST(CropPayload, ParsesTheIdAndFourEdgesAndRefusesAnythingElse) {
  const auto request = vesk_ui::controls::parse_crop_payload(
      R"({"id": "app.crop", "left": 0.1, "top": 0, "right": 1, "bottom": 0.75})");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->id, "app.crop");
  EXPECT_EQ(request->selection, (vesk_ui::widget::image_crop::CropSelection{0.1, 0, 1, 0.75}));

  const std::string shape =
      R"(a crop payload is {"id": "<control id>", "left": l, "top": t, "right": r, "bottom": b})";
  for (const char* bad : {"", "[]", R"({"id": "a", "left": 0, "top": 0, "right": 1})",
                          R"({"id": "a", "left": "0", "top": 0, "right": 1, "bottom": 1})",
                          R"({"left": 0, "top": 0, "right": 1, "bottom": 1})"}) {
    const auto refused = vesk_ui::controls::parse_crop_payload(bad);
    ASSERT_FALSE(refused) << bad;
    EXPECT_EQ(refused.error(), shape) << bad;
  }
  EXPECT_EQ(vesk_ui::controls::parse_crop_payload(std::string(100, '[')).error(),
            "the payload nests deeper than 32 levels");
  EXPECT_FALSE(vesk_ui::controls::parse_crop_payload(
      R"({"id": "a\u0000b", "left": 0, "top": 0, "right": 1, "bottom": 1})"));
}

TEST(ControlErrors, QuoteOnlyAnExcerptOfTheId) {
  const vesk_ui::widget::Column screen;
  const std::string id(10'000'000, 'q');
  const auto invoked = vesk_ui::controls::invoke(screen, id);
  ASSERT_FALSE(invoked);
  EXPECT_EQ(invoked.error(), "no control with id " + std::string(kMaxEchoBytes, 'q') + "…");
  const auto selected = vesk_ui::controls::select(screen, id, 0);
  ASSERT_FALSE(selected);
  EXPECT_LT(selected.error().size(), 100u);
}

}  // namespace
}  // namespace vesk_actions::limits
