#pragma once
// Control identifiers and the helpers that give a control its operation.
#include <functional>
#include <string>
#include <string_view>

#include "operation.hpp"
#include "vesk_os/channel.hpp"
#include "vesk_ui/widgets.hpp"

namespace wendlow::ids {

inline constexpr std::string_view kRefresh = "wendlow.refresh";
inline constexpr std::string_view kAdd = "wendlow.add";
inline constexpr std::string_view kPrint = "wendlow.print";
inline constexpr std::string_view kQueue = "wendlow.queue";
inline constexpr std::string_view kDiscoverEmpty = "wendlow.discover.empty";
inline constexpr std::string_view kScanOpen = "wendlow.scan.open";
inline constexpr std::string_view kHistoryOpen = "wendlow.history.open";
inline constexpr std::string_view kDiagnosticsOpen = "wendlow.diagnostics.open";
inline constexpr std::string_view kDeviceOpenPrefix = "wendlow.device.open.";
inline constexpr std::string_view kJobCancel = "wendlow.job.cancel";
inline constexpr std::string_view kJobRetry = "wendlow.job.retry";
inline constexpr std::string_view kHistoryRepeatPrefix = "wendlow.history.repeat.";
inline constexpr std::string_view kDeviceEnabled = "wendlow.device.enabled";
inline constexpr std::string_view kDeviceDefault = "wendlow.device.default";
inline constexpr std::string_view kDeviceQueue = "wendlow.device.queue";
inline constexpr std::string_view kDeviceDiagnostics = "wendlow.device.diagnostics";
inline constexpr std::string_view kDiagnosticsRefresh = "wendlow.diagnostics.refresh";
inline constexpr std::string_view kDiagnosticsScan = "wendlow.diagnostics.scan";
inline constexpr std::string_view kDiagnosticsDevice = "wendlow.diagnostics.device";
inline constexpr std::string_view kDiscoverRetry = "wendlow.discover.retry";
inline constexpr std::string_view kDiscoverAddPrefix = "wendlow.discover.add.";
inline constexpr std::string_view kBack = "wendlow.back";
inline constexpr std::string_view kServiceRetry = "wendlow.service.retry";
inline constexpr std::string_view kPrintPrinter = "wendlow.print.printer";
inline constexpr std::string_view kPrintCopies = "wendlow.print.copies";
inline constexpr std::string_view kPrintTwoSided = "wendlow.print.two-sided";
inline constexpr std::string_view kPrintCancel = "wendlow.print.cancel";
inline constexpr std::string_view kPrintSubmit = "wendlow.print.submit";
inline constexpr std::string_view kScanDevice = "wendlow.scan.device";
inline constexpr std::string_view kScanResolution = "wendlow.scan.resolution";
inline constexpr std::string_view kScanColor = "wendlow.scan.color";
inline constexpr std::string_view kScanSource = "wendlow.scan.source";
inline constexpr std::string_view kScanLanguage = "wendlow.scan.language";
inline constexpr std::string_view kScanCancel = "wendlow.scan.cancel";
inline constexpr std::string_view kScanStart = "wendlow.scan.start";
inline constexpr std::string_view kScanSaveDocument = "wendlow.scan.save-document";
inline constexpr std::string_view kScanAgain = "wendlow.scan.again";
inline constexpr std::string_view kScanRotate = "wendlow.scan.rotate";
inline constexpr std::string_view kScanCrop = "wendlow.scan.crop";
inline constexpr std::string_view kScanApplyCrop = "wendlow.scan.apply-crop";
inline constexpr std::string_view kScanRecognize = "wendlow.scan.recognize";
inline constexpr std::string_view kScanCopyText = "wendlow.scan.copy-text";
inline constexpr std::string_view kScanPrevious = "wendlow.scan.previous";
inline constexpr std::string_view kScanNext = "wendlow.scan.next";
inline constexpr std::string_view kScanMoveEarlier = "wendlow.scan.move-earlier";
inline constexpr std::string_view kScanMoveLater = "wendlow.scan.move-later";
inline constexpr std::string_view kScanDeletePage = "wendlow.scan.delete-page";
inline constexpr std::string_view kScanSavePage = "wendlow.scan.save-page";
inline constexpr std::string_view kScanDone = "wendlow.scan.done";
inline constexpr std::string_view kAddFirst = "wendlow.add.first";
inline constexpr std::string_view kHelp = "wendlow.help";

}  // namespace wendlow::ids

namespace wendlow {

using EventSender = vesk_os::Sender<Operation>;

// A callback that posts a fresh copy of `operation` on the state's channel; a failed send
// (the state is gone) is ignored.
std::function<void()> sends(const EventSender& events, Operation operation);

// A button with its control id whose press posts `operation`.
vesk_ui::widget::Button operation_button(
    std::string label, std::string_view id, const EventSender& events, Operation operation,
    vesk_ui::widget::ButtonStyle style = vesk_ui::widget::ButtonStyle::Secondary);

// A button with its control id that carries no operation.
vesk_ui::widget::Button inert_button(
    std::string label, std::string_view id,
    vesk_ui::widget::ButtonStyle style = vesk_ui::widget::ButtonStyle::Secondary);

}  // namespace wendlow
