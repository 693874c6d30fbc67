#include "scanning/settings.hpp"

#include <gtest/gtest.h>

namespace wendlow {
namespace {

TEST(Scanning, SettingsMapIndicesWithSafeDefaults) {
  EXPECT_EQ(scanning::scan_settings_for(1, 0, 0), (os_actions::printing::ScanSettings{300, 0, 0}));
  EXPECT_EQ(scanning::scan_settings_for(7, 2, 1), (os_actions::printing::ScanSettings{300, 2, 1}));
  EXPECT_EQ(scanning::scan_settings_for(0, 9, 9), (os_actions::printing::ScanSettings{150, 0, 0}));
  EXPECT_EQ(scanning::resolution_for(2), 600);
  EXPECT_EQ(scanning::language_for(0), (scanning::TextLanguage{"eng", "English"}));
  EXPECT_EQ(scanning::language_for(3), (scanning::TextLanguage{"spa", "Spanish"}));
  EXPECT_EQ(scanning::language_for(7), (scanning::TextLanguage{"eng", "English"}));
}

}  // namespace
}  // namespace wendlow
