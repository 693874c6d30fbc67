#include "vesk_ui/controls.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "vesk_actions/limits.hpp"
#include "vesk_ui/widgets.hpp"

namespace vesk_ui::controls {

using namespace vesk_ui::widget;
using vesk_actions::limits::excerpt;
using vesk_actions::params::ActionArgs;
using vesk_actions::resource::ActionSpec;
using vesk_actions::resource::ExecutionKind;
using vesk_actions::resource::OperationOutcome;
using vesk_actions::resource::Resource;

void walk(const Widget& root, const std::function<void(const Widget&)>& visit) {
  visit(root);
  for (const Widget* child : root.children()) walk(*child, visit);
}

std::optional<std::string> control_id(const Widget& widget) {
  if (auto* button = dynamic_cast<const Button*>(&widget)) return button->id;
  if (auto* toggle = dynamic_cast<const Toggle*>(&widget)) return toggle->id;
  if (auto* group = dynamic_cast<const ToggleGroup*>(&widget)) return group->id;
  if (auto* dropdown = dynamic_cast<const Dropdown*>(&widget)) return dropdown->id;
  if (auto* input = dynamic_cast<const NumberInput*>(&widget)) return input->id;
  if (auto* editor = dynamic_cast<const ImageCropEditor*>(&widget)) return editor->id;
  return std::nullopt;
}

std::string control_label(const Widget& widget) {
  if (auto* button = dynamic_cast<const Button*>(&widget)) return button->label;
  if (auto* toggle = dynamic_cast<const Toggle*>(&widget)) return toggle->label;
  if (auto* group = dynamic_cast<const ToggleGroup*>(&widget)) return group->label;
  if (auto* dropdown = dynamic_cast<const Dropdown*>(&widget)) return dropdown->label;
  if (auto* input = dynamic_cast<const NumberInput*>(&widget)) return input->label;
  if (auto* editor = dynamic_cast<const ImageCropEditor*>(&widget)) return editor->label;
  return {};
}

namespace {

bool answers_to(const Widget& widget, std::string_view id) {
  if (auto own = control_id(widget); own && *own == id) return true;
  if (auto* group = dynamic_cast<const ToggleGroup*>(&widget)) {
    return group->select_id && *group->select_id == id;
  }
  return false;
}

}  // namespace

std::vector<const Widget*> find_all(const Widget& root, std::string_view id) {
  std::vector<const Widget*> found;
  walk(root, [&](const Widget& widget) {
    if (answers_to(widget, id)) found.push_back(&widget);
  });
  return found;
}

const Widget* find(const Widget& root, std::string_view id) {
  auto found = find_all(root, id);
  return found.empty() ? nullptr : found.front();
}

std::vector<std::string> all_ids(const Widget& root) {
  std::vector<std::string> ids;
  walk(root, [&](const Widget& widget) {
    if (auto id = control_id(widget)) ids.push_back(*id);
  });
  return ids;
}

std::vector<std::string> all_texts(const Widget& root) {
  std::vector<std::string> texts;
  walk(root, [&](const Widget& widget) {
    if (auto* text = dynamic_cast<const Text*>(&widget)) {
      texts.push_back(text->text);
    } else if (auto* card = dynamic_cast<const Card*>(&widget)) {
      if (card->title) texts.push_back(*card->title);
    } else if (auto* banner = dynamic_cast<const Banner*>(&widget)) {
      texts.push_back(banner->title);
      texts.push_back(banner->body);
    } else if (auto* bar = dynamic_cast<const ProgressBar*>(&widget)) {
      texts.push_back(bar->label);
    } else if (auto* preview = dynamic_cast<const PagePreview*>(&widget)) {
      texts.push_back(preview->label);
    } else if (auto* image = dynamic_cast<const Image*>(&widget)) {
      texts.push_back(image->label);
    } else if (auto* group = dynamic_cast<const ToggleGroup*>(&widget)) {
      texts.push_back(group->label);
      texts.insert(texts.end(), group->segments.begin(), group->segments.end());
    } else if (auto* dropdown = dynamic_cast<const Dropdown*>(&widget)) {
      texts.push_back(dropdown->label);
      if (dropdown->placeholder) texts.push_back(*dropdown->placeholder);
      for (const auto& option : dropdown->options) texts.push_back(option.label);
    } else if (auto label = control_label(widget); !label.empty()) {
      texts.push_back(label);
    }
  });
  return texts;
}

namespace {

// How a control is published: its resource kind and its one action with that action's params.
struct Publishing {
  std::string_view kind;
  std::string_view action;
  std::string_view operation;
  std::vector<vesk_actions::resource::ActionParam> params;
};

Publishing publishing(const Widget& widget) {
  if (auto* group = dynamic_cast<const ToggleGroup*>(&widget)) {
    auto index = ActionArgs::integer("index", "Zero-based segment index");
    index.choices = group->segments;
    return {kSegmentedKind, "select", kSelectOperation, {std::move(index)}};
  }
  if (auto* dropdown = dynamic_cast<const Dropdown*>(&widget)) {
    auto index = ActionArgs::integer("index", "Zero-based segment index");
    for (const auto& option : dropdown->options) index.choices.push_back(option.label);
    return {kSegmentedKind, "select", kSelectOperation, {std::move(index)}};
  }
  if (dynamic_cast<const NumberInput*>(&widget)) {
    return {kNumberKind,
            "select",
            kSelectOperation,
            {ActionArgs::integer("index", "The value itself, within the range of the control")}};
  }
  if (dynamic_cast<const ImageCropEditor*>(&widget)) {
    Publishing crop{kCropKind, "crop", kCropOperation, {}};
    for (const char* edge : {"left", "top", "right", "bottom"}) {
      crop.params.push_back(ActionArgs::number(edge, "Edge as a fraction of the image, 0 to 1"));
    }
    return crop;
  }
  return {kControlKind, "invoke", kInvokeOperation, {}};
}

}  // namespace

std::vector<Resource> control_resources(const Widget& root) {
  std::vector<Resource> resources;
  walk(root, [&](const Widget& widget) {
    auto id = control_id(widget);
    if (!id) return;
    const std::string label = control_label(widget);
    Publishing published = publishing(widget);
    resources.push_back(Resource{
        std::string(kControlResourcePrefix) + *id,
        std::string(published.kind),
        label,
        {}}.with_action(ActionSpec{std::string(published.action), label, ExecutionKind::Command,
                                   std::string(published.operation), *id,
                                   std::move(published.params)}));
  });
  return resources;
}

std::expected<void, std::string> invoke(const Widget& root, std::string_view id) {
  const Widget* widget = find(root, id);
  if (!widget) return std::unexpected("no control with id " + excerpt(id));
  if (auto* button = dynamic_cast<const Button*>(widget)) {
    if (button->action) button->action();
    return {};
  }
  if (auto* toggle = dynamic_cast<const Toggle*>(widget)) {
    toggle->state.set(!toggle->state.get());
    return {};
  }
  if (dynamic_cast<const ToggleGroup*>(widget) || dynamic_cast<const Dropdown*>(widget)) {
    return std::unexpected("control " + excerpt(id) + " needs a segment index");
  }
  return std::unexpected("control " + excerpt(id) + " cannot be invoked");
}

std::expected<void, std::string> select(const Widget& root, std::string_view id,
                                        std::int64_t index) {
  const Widget* widget = find(root, id);
  if (!widget) return std::unexpected("no control with id " + excerpt(id));
  if (auto* group = dynamic_cast<const ToggleGroup*>(widget)) {
    if (index < 0 || static_cast<std::uint64_t>(index) >= group->segments.size()) {
      return std::unexpected("segment index out of range");
    }
    group->state.set(static_cast<std::size_t>(index));
    return {};
  }
  if (auto* dropdown = dynamic_cast<const Dropdown*>(widget)) {
    if (index < 0 || !dropdown->choose(static_cast<std::size_t>(index))) {
      return std::unexpected("option index out of range");
    }
    return {};
  }
  if (auto* input = dynamic_cast<const NumberInput*>(widget)) {
    const auto value = static_cast<double>(index);
    const double steps = input->step > 0 ? (value - input->minimum) / input->step : 0.0;
    if (value < input->minimum || value > input->maximum || steps != std::floor(steps)) {
      return std::unexpected("value out of range");
    }
    input->state.set(value);
    return {};
  }
  return std::unexpected("control " + excerpt(id) + " has no segments");
}

std::expected<void, std::string> crop(const Widget& root, std::string_view id,
                                      const image_crop::CropSelection& selection) {
  const Widget* widget = find(root, id);
  if (!widget) return std::unexpected("no control with id " + excerpt(id));
  auto* editor = dynamic_cast<const ImageCropEditor*>(widget);
  if (!editor) return std::unexpected("control " + excerpt(id) + " is not a crop editor");
  const auto& s = selection;
  // The negated comparisons also refuse NaN.
  if (!(0.0 <= s.left && s.left < s.right && s.right <= 1.0 && 0.0 <= s.top && s.top < s.bottom &&
        s.bottom <= 1.0)) {
    return std::unexpected("a crop needs 0 <= left < right <= 1 and 0 <= top < bottom <= 1");
  }
  editor->crop.set(selection);
  return {};
}

namespace {

// A control request as another program sends it: within the payload limits, a JSON object
// with a string "id" and the fields that `has_fields` wants (else `shape` is the answer),
// whose id holds no NUL (refused rather than cut).
struct ControlRequest {
  nlohmann::json fields;
  std::string id;
};
std::expected<ControlRequest, std::string> parse_control_request(
    std::string_view payload, std::string_view shape,
    bool (*has_fields)(const nlohmann::json& request)) {
  if (auto checked = vesk_actions::limits::check_payload(payload); !checked) {
    return std::unexpected(checked.error());
  }
  auto request = nlohmann::json::parse(payload, nullptr, false);
  if (request.is_discarded() || !request.is_object()) return std::unexpected(std::string(shape));
  const auto id = request.find("id");
  if (id == request.end() || !id->is_string() || !has_fields(request)) {
    return std::unexpected(std::string(shape));
  }
  std::string control = id->get<std::string>();
  if (control.find('\0') != std::string::npos) {
    return std::unexpected("a control id holds no NUL character: " + excerpt(control));
  }
  return ControlRequest{std::move(request), std::move(control)};
}

constexpr std::array<std::pair<const char*, double image_crop::CropSelection::*>, 4> kEdges = {{
    {"left", &image_crop::CropSelection::left},
    {"top", &image_crop::CropSelection::top},
    {"right", &image_crop::CropSelection::right},
    {"bottom", &image_crop::CropSelection::bottom},
}};

}  // namespace

std::expected<SelectRequest, std::string> parse_select_payload(std::string_view payload) {
  auto request = parse_control_request(
      payload, R"(a select payload is {"id": "<control id>", "index": <segment>})",
      [](const nlohmann::json& fields) {
        const auto index = fields.find("index");
        return index != fields.end() && index->is_number_integer();
      });
  if (!request) return std::unexpected(std::move(request.error()));
  const auto& index = request->fields["index"];
  // An unsigned value above the signed range is out of range as a segment index anyway.
  constexpr auto kLargest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  return SelectRequest{std::move(request->id),
                       index.is_number_unsigned() && index.get<std::uint64_t>() > kLargest
                           ? std::int64_t{-1}
                           : index.get<std::int64_t>()};
}

std::expected<CropRequest, std::string> parse_crop_payload(std::string_view payload) {
  auto request = parse_control_request(
      payload,
      R"(a crop payload is {"id": "<control id>", "left": l, "top": t, "right": r, "bottom": b})",
      [](const nlohmann::json& fields) {
        return std::ranges::all_of(kEdges, [&](const auto& edge) {
          const auto value = fields.find(edge.first);
          return value != fields.end() && value->is_number();
        });
      });
  if (!request) return std::unexpected(std::move(request.error()));
  CropRequest out{std::move(request->id), {}};
  for (const auto& [name, edge] : kEdges) out.selection.*edge = request->fields[name].get<double>();
  return out;
}

namespace {

OperationOutcome offer_resource_operation(Widget& root, ExecutionKind kind,
                                          std::string_view operation_type,
                                          std::span<const std::uint8_t> payload) {
  OperationOutcome outcome = root.handle_resource_operation(kind, operation_type, payload);
  if (outcome.kind != OperationOutcome::Kind::NotMine) return outcome;
  for (Widget* child : root.children_mut()) {
    outcome = offer_resource_operation(*child, kind, operation_type, payload);
    if (outcome.kind != OperationOutcome::Kind::NotMine) return outcome;
  }
  return outcome;
}

}  // namespace

OperationOutcome run_resource_operation(Widget& root, ExecutionKind kind,
                                        std::string_view operation_type,
                                        std::span<const std::uint8_t> payload) {
  if (auto checked =
          vesk_actions::limits::check_payload(vesk_actions::resource::payload_text(payload));
      !checked) {
    return OperationOutcome::failed(std::move(checked.error()));
  }
  return offer_resource_operation(root, kind, operation_type, payload);
}

std::vector<Resource> all_resources(const Widget& root) {
  std::vector<Resource> resources;
  walk(root, [&](const Widget& widget) {
    auto own = widget.resources();
    resources.insert(resources.end(), own.begin(), own.end());
  });
  auto controls = control_resources(root);
  resources.insert(resources.end(), controls.begin(), controls.end());
  return resources;
}

}  // namespace vesk_ui::controls
