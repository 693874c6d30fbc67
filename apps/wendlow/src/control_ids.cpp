#include "control_ids.hpp"

namespace wendlow {

std::function<void()> sends(const EventSender& events, Operation operation) {
  return [events, operation = std::move(operation)] { events.send(operation); };
}

vesk_ui::widget::Button operation_button(std::string label, std::string_view id,
                                         const EventSender& events, Operation operation,
                                         vesk_ui::widget::ButtonStyle style) {
  return vesk_ui::widget::Button(std::move(label), style)
      .with_id(std::string(id))
      .on_action(sends(events, std::move(operation)));
}

vesk_ui::widget::Button inert_button(std::string label, std::string_view id,
                                     vesk_ui::widget::ButtonStyle style) {
  return vesk_ui::widget::Button(std::move(label), style).with_id(std::string(id));
}

}  // namespace wendlow
