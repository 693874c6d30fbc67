#pragma once
// Scanning: capture, the page list and its editing, recognition, copying and saving.
#include "operation.hpp"
#include "vesk_ui/portal.hpp"

namespace wendlow::surface {
class Wendlow;
}

namespace wendlow::flows {

using surface::Wendlow;

void apply(Wendlow& state, op::StartScanning);
void apply(Wendlow& state, op::ChooseScanner choose);
void apply(Wendlow& state, op::ScanPage);
void apply(Wendlow& state, op::PageScanned scanned);
void apply(Wendlow& state, op::SavePage);
void apply(Wendlow& state, op::SaveDocument);
void apply(Wendlow& state, op::CopyText);
void apply(Wendlow& state, op::ScanAnother);
void apply(Wendlow& state, op::PreviousPage);
void apply(Wendlow& state, op::NextPage);
void apply(Wendlow& state, op::MovePageEarlier);
void apply(Wendlow& state, op::MovePageLater);
void apply(Wendlow& state, op::DeletePage);
void apply(Wendlow& state, op::RotatePage);
void apply(Wendlow& state, op::ApplyCrop);
void apply(Wendlow& state, op::RecognizePage);
void apply(Wendlow& state, op::PageRecognized recognized);

void save_picked(Wendlow& state, vesk_ui::portal::PickResult picked);

}  // namespace wendlow::flows
