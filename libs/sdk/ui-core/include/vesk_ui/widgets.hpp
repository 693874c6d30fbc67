#pragma once
// The toolkit's widgets as plain model objects. Each is built by value with fluent setters
// and boxed into a tree:
//
//   Column().spacing(16)
//       .push(Text("Wendlow", TextStyle::LargeTitle))
//       .push(Button("Refresh").with_id("app.refresh").on_action(refresh))
//
// Fields are public: hosts and tests read them directly.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "vesk_ui/local_state.hpp"
#include "vesk_ui/widget.hpp"

namespace vesk_ui::widget {

class Column;
class Row;
class Card;
class CardGrid;
class Container;
class Scrollable;
class Text;
class Button;
class Toggle;
class ToggleGroup;
class Dropdown;
class NumberInput;
class ProgressBar;
class Banner;
class Image;
class ImageCropEditor;
class PagePreview;
class IconWidget;
class Divider;
class Spacer;

// Hosts implement one visit per widget kind; `visit_wrapper` receives any other widget,
// which the host realizes through its children (a transparent wrapper).
class Visitor {
 public:
  virtual ~Visitor() = default;
  virtual void visit(const Column&) = 0;
  virtual void visit(const Row&) = 0;
  virtual void visit(const Card&) = 0;
  virtual void visit(const CardGrid&) = 0;
  virtual void visit(const Container&) = 0;
  virtual void visit(const Scrollable&) = 0;
  virtual void visit(const Text&) = 0;
  virtual void visit(const Button&) = 0;
  virtual void visit(const Toggle&) = 0;
  virtual void visit(const ToggleGroup&) = 0;
  virtual void visit(const Dropdown&) = 0;
  virtual void visit(const NumberInput&) = 0;
  virtual void visit(const ProgressBar&) = 0;
  virtual void visit(const Banner&) = 0;
  virtual void visit(const Image&) = 0;
  virtual void visit(const ImageCropEditor&) = 0;
  virtual void visit(const PagePreview&) = 0;
  virtual void visit(const IconWidget&) = 0;
  virtual void visit(const Divider&) = 0;
  virtual void visit(const Spacer&) = 0;
  virtual void visit_wrapper(const Widget&) = 0;
};

inline void Widget::accept(Visitor& visitor) const {
  visitor.visit_wrapper(*this);
}

// Common base: type name, visitor dispatch and boxing.
template <class Self>
class Model : public Widget {
 public:
  std::string_view type_name() const override { return Self::kTypeName; }
  void accept(Visitor& visitor) const override { visitor.visit(static_cast<const Self&>(*this)); }
  WidgetBox boxed() && { return std::make_unique<Self>(std::move(static_cast<Self&>(*this))); }

 protected:
  Self&& self() { return std::move(static_cast<Self&>(*this)); }
};

template <class W>
WidgetBox to_box(W&& widget) {
  if constexpr (std::is_same_v<std::decay_t<W>, WidgetBox>) {
    return std::forward<W>(widget);
  } else {
    return std::make_unique<std::decay_t<W>>(std::forward<W>(widget));
  }
}

// A list of children: Column, Row and CardGrid.
template <class Self>
class ListModel : public Model<Self> {
 public:
  std::vector<WidgetBox> items;
  int gap = 8;

  template <class W>
  Self&& push(W&& widget) && {
    items.push_back(to_box(std::forward<W>(widget)));
    return this->self();
  }
  template <class W>
  Self& push(W&& widget) & {
    items.push_back(to_box(std::forward<W>(widget)));
    return static_cast<Self&>(*this);
  }
  Self&& spacing(int pixels) && {
    gap = pixels;
    return this->self();
  }
  std::vector<const Widget*> children() const override {
    std::vector<const Widget*> out;
    for (const auto& item : items) out.push_back(item.get());
    return out;
  }
  std::vector<Widget*> children_mut() override {
    std::vector<Widget*> out;
    for (auto& item : items) out.push_back(item.get());
    return out;
  }
};

class Column : public ListModel<Column> {
 public:
  static constexpr std::string_view kTypeName = "Column";
};

enum class Alignment : std::uint8_t { Start, Center, End };

class Row : public ListModel<Row> {
 public:
  static constexpr std::string_view kTypeName = "Row";
  bool wraps = false;  // children flow onto further lines when the row is too narrow
  Alignment align = Alignment::Center;

  Row&& wrapping() && {
    wraps = true;
    return self();
  }
  Row&& aligned(Alignment value) && {
    align = value;
    return self();
  }
};

// Cards in columns of at least `min_column_width`, one column in narrow windows.
class CardGrid : public ListModel<CardGrid> {
 public:
  static constexpr std::string_view kTypeName = "CardGrid";
  int min_column_width = 300;

  CardGrid&& min_column(int pixels) && {
    min_column_width = pixels;
    return self();
  }
};

enum class CardStyle : std::uint8_t { Normal, Plain };

// A surface with an optional heading, content and an optional action below.
class Card : public Model<Card> {
 public:
  static constexpr std::string_view kTypeName = "Card";
  std::optional<std::string> title;
  std::vector<WidgetBox> content;
  WidgetBox action;  // may be empty
  CardStyle style = CardStyle::Normal;

  Card() = default;
  explicit Card(std::string heading) : title(std::move(heading)) {}

  template <class W>
  Card&& push(W&& widget) && {
    content.push_back(to_box(std::forward<W>(widget)));
    return self();
  }
  template <class W>
  Card& push(W&& widget) & {
    content.push_back(to_box(std::forward<W>(widget)));
    return *this;
  }
  template <class W>
  Card&& with_action(W&& widget) && {
    action = to_box(std::forward<W>(widget));
    return self();
  }
  Card&& plain() && {
    style = CardStyle::Plain;
    return self();
  }
  std::vector<const Widget*> children() const override;
  std::vector<Widget*> children_mut() override;
};

// One child with optional size constraints; centred when narrower than its parent.
class Container : public Model<Container> {
 public:
  static constexpr std::string_view kTypeName = "Container";
  WidgetBox child;
  std::optional<int> fixed_width;
  std::optional<int> max_width;
  int padding = 0;

  template <class W>
  Container&& with_child(W&& widget) && {
    child = to_box(std::forward<W>(widget));
    return self();
  }
  Container&& width(int pixels) && {
    fixed_width = pixels;
    return self();
  }
  Container&& maximum_width(int pixels) && {
    max_width = pixels;
    return self();
  }
  Container&& padded(int pixels) && {
    padding = pixels;
    return self();
  }
  std::vector<const Widget*> children() const override;
  std::vector<Widget*> children_mut() override;
};

// Scrolls its child vertically.
class Scrollable : public Model<Scrollable> {
 public:
  static constexpr std::string_view kTypeName = "Scrollable";
  WidgetBox child;

  template <class W>
  Scrollable&& with_child(W&& widget) && {
    child = to_box(std::forward<W>(widget));
    return self();
  }
  std::vector<const Widget*> children() const override;
  std::vector<Widget*> children_mut() override;
};

enum class TextStyle : std::uint8_t { LargeTitle, Heading, Body, Caption };

class Text : public Model<Text> {
 public:
  static constexpr std::string_view kTypeName = "Text";
  std::string text;
  TextStyle style = TextStyle::Body;
  std::optional<std::string> accessible_label;

  explicit Text(std::string value, TextStyle text_style = TextStyle::Body)
      : text(std::move(value)), style(text_style) {}
  Text&& with_accessible_label(std::string label) && {
    accessible_label = std::move(label);
    return self();
  }
};

enum class ButtonStyle : std::uint8_t { Primary, Secondary, Plain };

class Button : public Model<Button> {
 public:
  static constexpr std::string_view kTypeName = "Button";
  std::string label;
  ButtonStyle style = ButtonStyle::Secondary;
  std::optional<std::uint16_t> icon;
  std::optional<std::string> id;
  std::function<void()> action;  // empty: the button does nothing when pressed

  explicit Button(std::string text, ButtonStyle button_style = ButtonStyle::Secondary)
      : label(std::move(text)), style(button_style) {}
  Button&& with_id(std::string control_id) && {
    id = std::move(control_id);
    return self();
  }
  Button&& with_icon(std::uint16_t code) && {
    icon = code;
    return self();
  }
  Button&& with_style(ButtonStyle value) && {
    style = value;
    return self();
  }
  Button&& on_action(std::function<void()> callback) && {
    action = std::move(callback);
    return self();
  }
};

// An on/off switch bound to a boolean local state.
class Toggle : public Model<Toggle> {
 public:
  static constexpr std::string_view kTypeName = "Toggle";
  local_state::BoolState state;
  std::string label;  // accessible name
  std::optional<std::string> id;

  static Toggle from_state(local_state::BoolState cell, std::string accessible_label) {
    return Toggle(std::move(cell), std::move(accessible_label));
  }
  Toggle&& with_id(std::string control_id) && {
    id = std::move(control_id);
    return self();
  }

 private:
  Toggle(local_state::BoolState cell, std::string text)
      : state(std::move(cell)), label(std::move(text)) {}
};

// Joined segments, one selected, bound to an index local state. Other programs select a
// segment through the `select_id` control ("<id>.select").
class ToggleGroup : public Model<ToggleGroup> {
 public:
  static constexpr std::string_view kTypeName = "ToggleGroup";
  std::vector<std::string> segments;
  local_state::IndexState state;
  std::string label;
  std::optional<std::string> id;
  std::optional<std::string> select_id;

  ToggleGroup(std::string accessible_label, std::vector<std::string> segment_labels,
              local_state::IndexState cell)
      : segments(std::move(segment_labels)),
        state(std::move(cell)),
        label(std::move(accessible_label)) {}
  // Sets the control id and the select id "<id>.select".
  ToggleGroup&& with_id(std::string control_id) && {
    select_id = control_id + ".select";
    id = std::move(control_id);
    return self();
  }
};

struct DropdownOption {
  std::string value;
  std::string label;
  bool operator==(const DropdownOption&) const = default;
};

// A choice list. Choosing an option calls `on_select` with its value and, when published,
// writes the value into the local state.
class Dropdown : public Model<Dropdown> {
 public:
  static constexpr std::string_view kTypeName = "Dropdown";
  std::string label;
  std::optional<std::string> id;
  std::optional<std::string> placeholder;
  std::vector<DropdownOption> options;
  std::optional<std::string> value;  // the chosen option's value; absent shows the placeholder
  std::function<void(const std::string&)> on_select;
  std::optional<local_state::TextState> published;

  explicit Dropdown(std::string accessible_label) : label(std::move(accessible_label)) {}
  Dropdown&& with_id(std::string control_id) && {
    id = std::move(control_id);
    return self();
  }
  Dropdown&& with_placeholder(std::string text) && {
    placeholder = std::move(text);
    return self();
  }
  Dropdown&& set_value_options(std::optional<std::string> chosen,
                               std::vector<DropdownOption> choices) && {
    value = std::move(chosen);
    options = std::move(choices);
    return self();
  }
  Dropdown&& on_choice(std::function<void(const std::string&)> callback) && {
    on_select = std::move(callback);
    return self();
  }
  Dropdown&& publish_local_state(local_state::TextState cell) && {
    published = std::move(cell);
    return self();
  }
  // What choosing option `index` does, for hosts and automation alike.
  bool choose(std::size_t index) const;
};

// A number field bound to a number local state.
class NumberInput : public Model<NumberInput> {
 public:
  static constexpr std::string_view kTypeName = "NumberInput";
  local_state::NumberState state;
  std::string label;
  std::optional<std::string> id;
  double minimum = 0;
  double maximum = 100;
  double step = 1;

  static NumberInput from_state(local_state::NumberState cell, std::string accessible_label) {
    return NumberInput(std::move(cell), std::move(accessible_label));
  }
  NumberInput&& with_id(std::string control_id) && {
    id = std::move(control_id);
    return self();
  }
  NumberInput&& with_range(double low, double high, double increment = 1) && {
    minimum = low;
    maximum = high;
    step = increment;
    return self();
  }

 private:
  NumberInput(local_state::NumberState cell, std::string text)
      : state(std::move(cell)), label(std::move(text)) {}
};

class ProgressBar : public Model<ProgressBar> {
 public:
  static constexpr std::string_view kTypeName = "ProgressBar";
  std::optional<double> fraction;  // 0..1; absent: indeterminate
  std::string label;               // accessible name

  ProgressBar(double value, std::string accessible_label)
      : fraction(value), label(std::move(accessible_label)) {}
  static ProgressBar indeterminate(std::string accessible_label) {
    ProgressBar bar(0.0, std::move(accessible_label));
    bar.fraction.reset();
    return bar;
  }
};

enum class BannerStyle : std::uint8_t { Info, Success, Warning, Error };

class Banner : public Model<Banner> {
 public:
  static constexpr std::string_view kTypeName = "Banner";
  BannerStyle style = BannerStyle::Info;
  std::string title;
  std::string body;
  std::optional<std::uint16_t> icon;
  WidgetBox action;  // may be empty

  Banner(BannerStyle banner_style, std::string heading, std::string text)
      : style(banner_style), title(std::move(heading)), body(std::move(text)) {}
  Banner&& with_icon(std::uint16_t code) && {
    icon = code;
    return self();
  }
  template <class W>
  Banner&& with_action(W&& widget) && {
    action = to_box(std::forward<W>(widget));
    return self();
  }
  std::vector<const Widget*> children() const override;
  std::vector<Widget*> children_mut() override;
};

// RGBA8 pixels, rows top to bottom without padding, shared and immutable.
using Pixels = std::shared_ptr<const std::vector<std::uint8_t>>;

class Image : public Model<Image> {
 public:
  static constexpr std::string_view kTypeName = "Image";
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  Pixels pixels;
  std::string label;  // accessible name

  Image(std::uint32_t w, std::uint32_t h, Pixels rgba, std::string accessible_label)
      : width(w), height(h), pixels(std::move(rgba)), label(std::move(accessible_label)) {}
};

// An image with a crop rectangle the user drags, bound to a crop local state.
class ImageCropEditor : public Model<ImageCropEditor> {
 public:
  static constexpr std::string_view kTypeName = "ImageCropEditor";
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  Pixels pixels;
  local_state::CropState crop;
  std::string label;
  std::optional<std::string> id;

  ImageCropEditor&& with_id(std::string control_id) && {
    id = std::move(control_id);
    return self();
  }

  ImageCropEditor(std::uint32_t w, std::uint32_t h, Pixels rgba, local_state::CropState selection,
                  std::string accessible_label)
      : width(w),
        height(h),
        pixels(std::move(rgba)),
        crop(std::move(selection)),
        label(std::move(accessible_label)) {}
};

// A small page symbol with "page N of M" progress.
class PagePreview : public Model<PagePreview> {
 public:
  static constexpr std::string_view kTypeName = "PagePreview";
  std::string label;
  std::uint32_t current_page = 0;
  std::optional<std::uint32_t> page_total;

  PagePreview(std::string accessible_label, std::uint32_t current,
              std::optional<std::uint32_t> total)
      : label(std::move(accessible_label)), current_page(current), page_total(total) {}
};

class IconWidget : public Model<IconWidget> {
 public:
  static constexpr std::string_view kTypeName = "IconWidget";
  std::uint16_t icon = 0;
  int size = 24;

  explicit IconWidget(std::uint16_t code, int pixels = 24) : icon(code), size(pixels) {}
};

class Divider : public Model<Divider> {
 public:
  static constexpr std::string_view kTypeName = "Divider";
};

// Takes the free space of a row or column.
class Spacer : public Model<Spacer> {
 public:
  static constexpr std::string_view kTypeName = "Spacer";
};

}  // namespace vesk_ui::widget

namespace vesk_ui::card {

// A plain, untitled card surface around `content`.
widget::Card surface(widget::WidgetBox content);

}  // namespace vesk_ui::card
