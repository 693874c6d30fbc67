#include "flows/scanning.hpp"

#include <algorithm>

#include "scanning/page_list.hpp"
#include "scanning/settings.hpp"
#include "surface.hpp"
#include "vesk_ui/text_selection.hpp"

namespace wendlow::flows {

namespace portal = vesk_ui::portal;

namespace {

// Shows the page at `page_index` (none when the list is empty) with a fresh crop.
void show_page(Wendlow& state) {
  if (state.page_index < state.pages.size()) {
    state.current_page = state.pages[state.page_index];
  } else {
    state.current_page.reset();
  }
  state.crop.set({});
  state.show_scan();
}

void start_save(Wendlow&, std::uint8_t, const std::filesystem::path&) {
  // Saving scans is not built yet; the save picker is never opened, so no path arrives.
}

}  // namespace

void save_picked(Wendlow& state, portal::PickResult picked) {
  const std::uint8_t kind = std::exchange(state.save_kind, 0);
  if (auto* chosen = std::get_if<portal::Chosen>(&picked)) {
    start_save(state, kind, chosen->path);
  } else if (std::holds_alternative<portal::Failed>(picked)) {
    state.notice =
        Notice{"Could not open the file picker", "Try saving the scanned page again.", false};
    state.show_scan();
  }
}

void apply(Wendlow& state, op::StartScanning) {
  state.notice.reset();
  state.current_page.reset();
  state.pages.clear();
  state.page_index = 0;
  state.scanning = false;
  state.scan_scanner.reset();
  if (state.snapshot && state.snapshot->scanners && !state.snapshot->scanners->empty()) {
    state.scan_scanner = state.snapshot->scanners->front().id;
  }
  state.show_scan();
}

void apply(Wendlow& state, op::ChooseScanner choose) {
  state.scan_scanner = std::move(choose.scanner_id);
  state.show_scan();
}

void apply(Wendlow& state, op::ScanPage) {
  if (!state.scan_scanner) return;
  // The settings are read now; the capture itself is not built yet.
  [[maybe_unused]] const auto settings = scanning::scan_settings_for(
      state.scan_resolution.get(), state.scan_color.get(), state.scan_source.get());
  [[maybe_unused]] const auto language = scanning::language_for(state.scan_language.get());
  state.scanning = true;
  state.show_scan();
}

void apply(Wendlow& state, op::PageScanned scanned) {
  state.scanning = false;
  if (!scanned.result) {
    state.notice = Notice{"Could not scan this page",
                          "Check that the scanner is connected and the paper is positioned, "
                          "then try again.",
                          false};
  } else {
    state.pages.push_back(std::move(*scanned.result));
    state.page_index = state.pages.size() - 1;
    state.current_page = state.pages.back();
    state.crop.set({});
  }
  state.show_scan();
}

void apply(Wendlow&, op::SavePage) {
  // Saving scans is not built yet.
}

void apply(Wendlow&, op::SaveDocument) {
  // Saving scans is not built yet.
}

void apply(Wendlow& state, op::CopyText) {
  if (!state.current_page || !state.current_page->text) return;
  const std::string& text = *state.current_page->text;
  if (text.find_first_not_of(" \t\n\r\f\v") == std::string::npos) return;
  // Only a copy that reached the clipboard is reported as done.
  if (!vesk_ui::text_selection::clipboard_copy(text)) return;
  state.notice = Notice{"Text copied", "Paste the recognized text into any app.", true};
  state.show_scan();
}

void apply(Wendlow& state, op::ScanAnother) {
  state.notice.reset();
  state.current_page.reset();
  state.show_scan();
}

void apply(Wendlow& state, op::PreviousPage) {
  state.page_index = scanning::previous_index(state.page_index);
  show_page(state);
}

void apply(Wendlow& state, op::NextPage) {
  state.page_index = scanning::next_index(state.page_index, state.pages.size());
  show_page(state);
}

void apply(Wendlow& state, op::MovePageEarlier) {
  state.page_index = scanning::move_earlier(state.pages, state.page_index);
  show_page(state);
}

void apply(Wendlow& state, op::MovePageLater) {
  state.page_index = scanning::move_later(state.pages, state.page_index);
  show_page(state);
}

void apply(Wendlow& state, op::DeletePage) {
  state.page_index = scanning::delete_page(state.pages, state.page_index);
  show_page(state);
}

void apply(Wendlow& state, op::RotatePage) {
  // Page editing is not built yet.
  state.show_scan();
}

void apply(Wendlow& state, op::ApplyCrop) {
  // Page editing is not built yet.
  state.show_scan();
}

void apply(Wendlow& state, op::RecognizePage) {
  // Recognition on request is not built yet.
  state.show_scan();
}

void apply(Wendlow& state, op::PageRecognized recognized) {
  auto page = std::ranges::find_if(state.pages, [&](const ScannedPage& candidate) {
    return recognized.page.refers_to(candidate.encoded);
  });
  if (page == state.pages.end()) return;
  page->recognizing = false;
  if (recognized.outcome) {
    page->text = recognized.outcome->text;
    page->status = recognized.outcome->status;
    page->text_stale = false;
  } else {
    state.notice = Notice{"Text was not updated", recognized.outcome.error(), false};
  }
  if (state.current_page && recognized.page.refers_to(state.current_page->encoded)) {
    state.current_page = *page;
  }
  state.show_scan();
}

}  // namespace wendlow::flows
