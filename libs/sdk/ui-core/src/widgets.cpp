#include "vesk_ui/widgets.hpp"

namespace vesk_ui::widget {
namespace {

template <class... Boxes>
std::vector<const Widget*> present(const Boxes&... boxes) {
  std::vector<const Widget*> out;
  ((boxes ? out.push_back(boxes.get()) : void()), ...);
  return out;
}
template <class... Boxes>
std::vector<Widget*> present_mut(Boxes&... boxes) {
  std::vector<Widget*> out;
  ((boxes ? out.push_back(boxes.get()) : void()), ...);
  return out;
}

}  // namespace

std::vector<const Widget*> Card::children() const {
  std::vector<const Widget*> out;
  for (const auto& item : content) out.push_back(item.get());
  if (action) out.push_back(action.get());
  return out;
}
std::vector<Widget*> Card::children_mut() {
  std::vector<Widget*> out;
  for (auto& item : content) out.push_back(item.get());
  if (action) out.push_back(action.get());
  return out;
}

std::vector<const Widget*> Container::children() const {
  return present(child);
}
std::vector<Widget*> Container::children_mut() {
  return present_mut(child);
}
std::vector<const Widget*> Scrollable::children() const {
  return present(child);
}
std::vector<Widget*> Scrollable::children_mut() {
  return present_mut(child);
}
std::vector<const Widget*> Banner::children() const {
  return present(action);
}
std::vector<Widget*> Banner::children_mut() {
  return present_mut(action);
}

bool Dropdown::choose(std::size_t index) const {
  if (index >= options.size()) return false;
  const std::string& chosen = options[index].value;
  if (published) published->set(chosen);
  if (on_select) on_select(chosen);
  return true;
}

}  // namespace vesk_ui::widget

namespace vesk_ui::card {

widget::Card surface(widget::WidgetBox content) {
  widget::Card card;
  card.style = widget::CardStyle::Plain;
  if (content) card.content.push_back(std::move(content));
  return card;
}

}  // namespace vesk_ui::card
