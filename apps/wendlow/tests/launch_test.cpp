#include "launch.hpp"

#include <gtest/gtest.h>

#include <bit>

namespace wendlow::launch {
namespace {

TEST(Launch, ScenarioNamesMapToNumbersAndWindowSizes) {
  struct Case {
    std::optional<std::string> name;
    std::uint8_t number;
    std::uint32_t width, height;
  };
  const Case cases[] = {
      {std::nullopt, 0, 1280, 800},
      {"", 0, 1280, 800},
      {"narrow", 0, 520, 820},
      {"active", 1, 1280, 800},
      {"attention", 2, 1280, 800},
      {"empty", 3, 1280, 800},
      {"queue", 4, 1280, 800},
      {"device", 5, 1280, 800},
      {"discovery", 6, 1280, 800},
      {"print", 7, 1280, 800},
      {"print-narrow", 7, 520, 820},
      {"scan", 8, 1280, 800},
      {"scan-result", 9, 1280, 800},
      {"scan-result-narrow", 9, 520, 820},
      {"history", 10, 1280, 800},
      {"diagnostics", 11, 1280, 800},
      {"service-error", 12, 1280, 800},
      {"service-error-narrow", 12, 520, 820},
      // Byte-for-byte comparison: no case folding, no trimming.
      {"Print", 0, 1280, 800},
      {" print", 0, 1280, 800},
      {"print ", 0, 1280, 800},
      {"scan-narrow", 0, 1280, 800},
      {std::string("print\0x", 7), 0, 1280, 800},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name.value_or("(none)"));
    EXPECT_EQ(scenario_number(c.name), c.number);
    EXPECT_EQ(window_size(c.name), (vesk_ui::launch::WindowSize{c.width, c.height}));
  }
}

TEST(Launch, DescriptorOffersSixteenScenariosAndTheFixedFields) {
  auto d = descriptor();
  ASSERT_EQ(d.scenarios.size(), 16u);
  EXPECT_EQ(d.scenarios.front(), "active");
  EXPECT_EQ(d.scenarios[3], "narrow");
  EXPECT_EQ(d.scenarios.back(), "service-error-narrow");
  EXPECT_TRUE(d.app_id.ends_with(".wendlow"));
  EXPECT_EQ(d.flags, 0x01010001u);
  if constexpr (std::endian::native == std::endian::little) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&d.flags);
    EXPECT_EQ(bytes[0], 0x01);
    EXPECT_EQ(bytes[1], 0x00);
    EXPECT_EQ(bytes[2], 0x01);
    EXPECT_EQ(bytes[3], 0x01);
  }
  EXPECT_TRUE(d.always_true());
  EXPECT_TRUE(d.persist_open(d.app_id).has_value());
  EXPECT_EQ(d.window_size({"narrow"}), (vesk_ui::launch::WindowSize{520, 820}));
  EXPECT_TRUE(d.document_types.empty());
  EXPECT_FALSE(d.on_exit);
}

TEST(Launch, ScenarioRootHoldsNoSnapshotAndStartsNoRefresh) {
  auto d = descriptor();
  auto result = d.build_scenario_root({"active"});
  ASSERT_TRUE(result.root);
  EXPECT_EQ(result.root->type_name(), "Wendlow");
  EXPECT_FALSE(result.settings.has_value());
  EXPECT_FALSE(result.root->needs_idle_sync());
}

}  // namespace
}  // namespace wendlow::launch
