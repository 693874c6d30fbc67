#pragma once
// The toolkit's icon codes. Hosts map each code to a picture of their bundled icon set;
// an unknown code shows no icon.
#include <cstdint>

namespace vesk_ui::icon {

inline constexpr std::uint16_t kPrinter = 12;
inline constexpr std::uint16_t kAdd = 14;
inline constexpr std::uint16_t kPrint = 16;
inline constexpr std::uint16_t kScanner = 18;
inline constexpr std::uint16_t kDocument = 20;
inline constexpr std::uint16_t kHistory = 22;
inline constexpr std::uint16_t kHelp = 24;
inline constexpr std::uint16_t kSearch = 26;
inline constexpr std::uint16_t kOpen = 28;
inline constexpr std::uint16_t kSettings = 30;
inline constexpr std::uint16_t kPause = 32;
inline constexpr std::uint16_t kResume = 34;
inline constexpr std::uint16_t kStar = 36;
inline constexpr std::uint16_t kBack = 38;
inline constexpr std::uint16_t kCancel = 40;
inline constexpr std::uint16_t kRotate = 42;
inline constexpr std::uint16_t kCrop = 44;
inline constexpr std::uint16_t kCopy = 46;
inline constexpr std::uint16_t kSave = 48;
inline constexpr std::uint16_t kDelete = 50;
inline constexpr std::uint16_t kPrevious = 52;
inline constexpr std::uint16_t kNext = 54;
inline constexpr std::uint16_t kImage = 56;
inline constexpr std::uint16_t kNetwork = 58;
inline constexpr std::uint16_t kSuccess = 60;
inline constexpr std::uint16_t kInfo = 62;
inline constexpr std::uint16_t kWarning = 64;
inline constexpr std::uint16_t kError = 66;
inline constexpr std::uint16_t kQueue = 68;
inline constexpr std::uint16_t kText = 70;
inline constexpr std::uint16_t kDone = 72;
inline constexpr std::uint16_t kMoveUp = 74;
inline constexpr std::uint16_t kRefresh = 76;
inline constexpr std::uint16_t kMoveDown = 78;

}  // namespace vesk_ui::icon
