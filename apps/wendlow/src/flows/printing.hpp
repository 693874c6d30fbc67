#pragma once
// Printing a document: the picker, the preview, the print screen's choices and the
// submission.
#include <filesystem>
#include <vector>

#include "document.hpp"
#include "operation.hpp"
#include "thumbnail/generate.hpp"
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
// A local file dropped on the window: the options are reset as for ChooseDocument, then
// it goes the way of a document chosen in the picker.
void document_dropped(Wendlow& state, const std::filesystem::path& path);
// The preview task's answer: an image becomes the ready preview, an error "Preview
// unavailable"; either way the print screen is shown again while a document is chosen.
// Files handed over from outside (the command line, the desktop's Open): each gets the
// print screen in turn, as if chosen in the picker; the next one follows when the current
// one is printed or canceled.
void files_opened(Wendlow& state, const std::vector<std::filesystem::path>& paths);
// Shows the next waiting file's print screen when no document is on its way.
void print_next_file(Wendlow& state);
// The print screen of a document chosen before the first printer list arrived, with the
// initial printer chosen now.
void show_waiting_document(Wendlow& state);
void preview_arrived(Wendlow& state, thumbnail::generate::Result preview);

}  // namespace wendlow::flows
