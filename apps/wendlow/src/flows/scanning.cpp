#include "flows/scanning.hpp"

#include <algorithm>

#include "scanning/labels.hpp"
#include "scanning/page_list.hpp"
#include "scanning/save.hpp"
#include "scanning/settings.hpp"
#include "surface.hpp"
#include "tasks.hpp"
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

// The page on display, in the list.
ScannedPage* page_on_display(Wendlow& state) {
  return state.page_index < state.pages.size() ? &state.pages[state.page_index] : nullptr;
}

// After a rotation or crop: the page is shown with its new pixels at once, its PNG is written
// on a worker.
void edited(Wendlow& state, ScannedPage& page, scanning::PendingEncode encode) {
  tasks::start_encode(std::move(encode));
  state.current_page = page;
  state.notice.reset();
}

void open_save_picker(Wendlow& state, std::uint8_t kind) {
  const bool page = kind == 0;
  state.save_kind = kind;
  state.save_pick_rx =
      portal::PickRequest::save(page ? "Save scanned page" : "Save scanned document", "Save",
                                page ? "Scanned page.png" : "Scanned document.pdf")
          .thread_name(page ? "wendlow-scan-save-picker" : "wendlow-scan-document-save-picker")
          .send(state.waker());
}

void start_save(Wendlow& state, std::uint8_t kind, std::filesystem::path chosen) {
  const bool page = kind == 0;
  std::filesystem::path path =
      scanning::with_default_extension(std::move(chosen), page ? "png" : "pdf");
  scanning::SaveContent content;
  if (page) {
    if (!state.current_page) return;
    content = state.current_page->encoded;
  } else {
    content = state.pages;  // copies share their pixels: the bytes are fixed from here on
  }
  const std::string label = scanning::saved_file_label(path);
  tasks::start_save(std::move(path), std::move(content),
                    page ? tasks::save_page_texts(label) : tasks::save_document_texts(label),
                    state.events_tx);
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
  scanning::CaptureInput input{
      *state.scan_scanner, scanning::language_for(state.scan_language.get()),
      scanning::scan_settings_for(state.scan_resolution.get(), state.scan_color.get(),
                                  state.scan_source.get())};
  // A capture that could not start would never clear the mark.
  state.scanning = tasks::start_capture(std::move(input), state.events_tx);
  state.show_scan();
}

void apply(Wendlow& state, op::PageScanned scanned) {
  if (scanned.last) state.scanning = false;
  if (!scanned.result) {
    state.announce(Notice{"Could not scan this page",
                          "Check that the scanner is connected and the paper is positioned, "
                          "then try again.",
                          false});
  } else {
    state.pages.push_back(std::move(*scanned.result));
    state.page_index = state.pages.size() - 1;
    state.current_page = state.pages.back();
    state.crop.set({});
  }
  state.show_scan();
}

void apply(Wendlow& state, op::SavePage) {
  if (!state.current_page || state.save_pick_rx) return;
  open_save_picker(state, 0);
}

void apply(Wendlow& state, op::SaveDocument) {
  if (state.pages.empty() || state.save_pick_rx) return;
  open_save_picker(state, 1);
}

void apply(Wendlow& state, op::CopyText) {
  if (!state.current_page || !state.current_page->text) return;
  const std::string& text = *state.current_page->text;
  if (!scanning::has_visible_text(text)) return;
  // Only a copy that reached the clipboard is reported as done.
  if (!vesk_ui::text_selection::clipboard_copy(text)) return;
  state.announce(Notice{"Text copied", "Paste the recognized text into any app.", true});
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
  ScannedPage* page = page_on_display(state);
  if (!page) return;
  if (auto encode = scanning::rotate_page(*page)) {
    edited(state, *page, std::move(*encode));
  } else {
    state.announce(Notice{"Could not rotate this page", encode.error(), false});
  }
  state.show_scan();
}

void apply(Wendlow& state, op::ApplyCrop) {
  ScannedPage* page = page_on_display(state);
  if (!page) return;
  const auto selection = state.crop.get();
  if (selection.is_whole_page()) return;
  if (auto encode = scanning::crop_page(*page, selection)) {
    edited(state, *page, std::move(*encode));
    state.crop.set({});
  } else {
    state.announce(Notice{"Could not crop this page", encode.error(), false});
  }
  state.show_scan();
}

void apply(Wendlow& state, op::RecognizePage) {
  ScannedPage* page = page_on_display(state);
  if (!page || page->recognizing) return;
  if (!tasks::start_recognition(page->id, page->pixels, page->width, page->height, page->language,
                                state.events_tx)) {
    return;
  }
  page->recognizing = true;
  state.current_page = *page;
  state.show_scan();
}

void apply(Wendlow& state, op::PageRecognized recognized) {
  auto page = std::ranges::find_if(
      state.pages, [&](const ScannedPage& candidate) { return candidate.id == recognized.page; });
  if (page == state.pages.end()) return;
  page->recognizing = false;
  if (recognized.outcome) {
    page->text = std::move(recognized.outcome->text);
    page->status = std::move(recognized.outcome->status);
    page->text_stale = false;
  } else {
    state.announce(Notice{"Text was not updated", recognized.outcome.error(), false});
  }
  if (state.page_index < state.pages.size() && &state.pages[state.page_index] == &*page) {
    state.current_page = *page;
  }
  state.show_scan();
}

}  // namespace wendlow::flows
