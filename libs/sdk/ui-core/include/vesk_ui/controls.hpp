#pragma once
// Controls with ids: lookup, automation and the "vesk.control:" resources that publish
// them. Used by hosts (the action registry) and by tests that inspect screens headlessly.
#include <cstdint>
#include <expected>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vesk_actions/resource.hpp"
#include "vesk_ui/local_state.hpp"
#include "vesk_ui/widget.hpp"

namespace vesk_ui::controls {

inline constexpr std::string_view kControlResourcePrefix = "vesk.control:";
inline constexpr std::string_view kControlKind = "vesk.control";
inline constexpr std::string_view kSegmentedKind = "vesk.control.segmented";
inline constexpr std::string_view kNumberKind = "vesk.control.number";
inline constexpr std::string_view kCropKind = "vesk.control.crop";
inline constexpr std::string_view kInvokeOperation = "vesk.ui.control.invoke";
inline constexpr std::string_view kSelectOperation = "vesk.ui.segmented.select";
inline constexpr std::string_view kCropOperation = "vesk.ui.crop.select";

// Every widget of the tree, depth first, parents before children.
void walk(const widget::Widget& root, const std::function<void(const widget::Widget&)>& visit);

// The control id of a widget, if it has one.
std::optional<std::string> control_id(const widget::Widget& widget);
// The label people see or hear for a control.
std::string control_label(const widget::Widget& widget);

// All widgets with this control id, in tree order (ids may repeat, e.g. one per scanner).
std::vector<const widget::Widget*> find_all(const widget::Widget& root, std::string_view id);
// The first widget with this control id, or nullptr.
const widget::Widget* find(const widget::Widget& root, std::string_view id);
template <class T>
const T* find_as(const widget::Widget& root, std::string_view id) {
  return dynamic_cast<const T*>(find(root, id));
}
// Every control id of the tree, in tree order, repeats included.
std::vector<std::string> all_ids(const widget::Widget& root);
// Every visible text of the tree (texts, labels, titles, banner bodies), in tree order.
std::vector<std::string> all_texts(const widget::Widget& root);

// One resource per control with an id: segmented controls and dropdowns as
// "vesk.control.segmented", number inputs as "vesk.control.number" (select sets the value),
// crop editors as "vesk.control.crop", everything else as "vesk.control" (invoke).
std::vector<vesk_actions::resource::Resource> control_resources(const widget::Widget& root);

// Presses the first control with this id (a button runs its action, a toggle flips). A
// ToggleGroup's id or select id answers an error: it needs an index.
std::expected<void, std::string> invoke(const widget::Widget& root, std::string_view id);
// Selects a segment of the first segmented control (or dropdown option) with this id or
// select id; for a number input `index` is the value itself, which must lie within its range
// and on its steps.
std::expected<void, std::string> select(const widget::Widget& root, std::string_view id,
                                        std::int64_t index);

// Sets the selection of the first crop editor with this id. The edges are fractions of the
// image with left < right and top < bottom; anything else is refused and nothing changes.
std::expected<void, std::string> crop(const widget::Widget& root, std::string_view id,
                                      const widget::image_crop::CropSelection& selection);

// A select request as another program sends it: the payload {"id": "<control id>",
// "index": <segment>}.
struct SelectRequest {
  std::string id;
  std::int64_t index = 0;
};
// Checks the payload's size and nesting before parsing it; an id holding a NUL is refused
// rather than cut.
std::expected<SelectRequest, std::string> parse_select_payload(std::string_view payload);

// A crop request as another program sends it: the payload {"id": "<control id>", "left": l,
// "top": t, "right": r, "bottom": b}, each edge a number from 0 to 1.
struct CropRequest {
  std::string id;
  widget::image_crop::CropSelection selection;
};
std::expected<CropRequest, std::string> parse_crop_payload(std::string_view payload);

// Offers a resource operation to the root and then to every widget below it until one
// answers other than not mine. A payload over the size or nesting limits
// (vesk_actions/limits.hpp) is answered with an error before any widget sees it.
vesk_actions::resource::OperationOutcome run_resource_operation(
    widget::Widget& root, vesk_actions::resource::ExecutionKind kind,
    std::string_view operation_type, std::span<const std::uint8_t> payload);

// Every resource of the tree: the widgets' own, then the controls'.
std::vector<vesk_actions::resource::Resource> all_resources(const widget::Widget& root);

}  // namespace vesk_ui::controls
