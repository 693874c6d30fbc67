#pragma once
// Printing a document: the picker, the preview, the print screen's choices and the
// submission.
#include "document.hpp"
#include "operation.hpp"
#include "vesk_ui/portal.hpp"

namespace wendlow::surface {
class Wendlow;
}

namespace wendlow::flows {

using surface::Wendlow;

void apply(Wendlow& state, op::ChooseDocument);
void apply(Wendlow& state, op::ChoosePrintPrinter choose);
void apply(Wendlow& state, op::SubmitPrint);
void apply(Wendlow& state, op::CancelPrint);

void document_picked(Wendlow& state, vesk_ui::portal::PickResult picked);
void preview_arrived(Wendlow& state, DocumentPreview preview);

}  // namespace wendlow::flows
