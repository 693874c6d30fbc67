#pragma once
// Every change of application state is one Operation. The variant's alternatives are in
// a fixed order (the tag is the index).
#include <expected>
#include <string>
#include <variant>
#include <vector>

#include "notice.hpp"
#include "os_actions/printing/records.hpp"
#include "scanning/page.hpp"

namespace wendlow::op {

struct Refresh {};
struct ShowDashboard {};
struct ShowQueue {};
struct ShowHistory {};
struct ShowDiagnostics {};
struct FindPrinters {};
struct DiscoveryFinished {
  std::expected<std::vector<os_actions::printing::DriverlessPrinter>, std::string> result;
};
struct AddPrinter {
  os_actions::printing::DriverlessPrinter printer;
};
struct OpenPrinter {
  std::string queue;
};
struct SetDefaultPrinter {
  std::string queue;
};
struct SetPrinterEnabled {
  std::string queue;
  bool enabled = false;  // true resumes, false pauses
};
struct RequestCancel {
  std::string job_id;
};
struct CancelJob {
  std::string job_id;
};
struct RetryJob {
  std::string job_id;
};
struct TaskFinished {
  Notice notice;
};
struct ChooseDocument {};
struct ChoosePrintPrinter {
  std::string queue;
};
struct SubmitPrint {};
struct CancelPrint {};
struct StartScanning {};
struct ChooseScanner {
  std::string scanner_id;
};
struct ScanPage {};
struct PageScanned {
  std::expected<ScannedPage, std::string> result;
  // False while more sheets of the same feeder stack are still to come.
  bool last = true;
};
struct SavePage {};
struct SaveDocument {};
struct CopyText {};
struct ScanAnother {};
struct PreviousPage {};
struct NextPage {};
struct MovePageEarlier {};
struct MovePageLater {};
struct DeletePage {};
struct RotatePage {};
struct ApplyCrop {};
struct RecognizePage {};
struct PageRecognized {
  PageId page;
  RecognitionOutcome outcome;
};

}  // namespace wendlow::op

namespace wendlow {

using Operation = std::variant<
    op::Refresh, op::ShowDashboard, op::ShowQueue, op::ShowHistory, op::ShowDiagnostics,
    op::FindPrinters, op::DiscoveryFinished, op::AddPrinter, op::OpenPrinter, op::SetDefaultPrinter,
    op::SetPrinterEnabled, op::RequestCancel, op::CancelJob, op::RetryJob, op::TaskFinished,
    op::ChooseDocument, op::ChoosePrintPrinter, op::SubmitPrint, op::CancelPrint, op::StartScanning,
    op::ChooseScanner, op::ScanPage, op::PageScanned, op::SavePage, op::SaveDocument, op::CopyText,
    op::ScanAnother, op::PreviousPage, op::NextPage, op::MovePageEarlier, op::MovePageLater,
    op::DeletePage, op::RotatePage, op::ApplyCrop, op::RecognizePage, op::PageRecognized>;

static_assert(std::variant_size_v<Operation> == 36);
static_assert(std::is_same_v<std::variant_alternative_t<14, Operation>, op::TaskFinished>);
static_assert(std::is_same_v<std::variant_alternative_t<35, Operation>, op::PageRecognized>);

}  // namespace wendlow
