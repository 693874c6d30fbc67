#pragma once
// A dashboard card: the card widget it holds answers every widget call, so hosts and tree
// walks see the card itself; the wrapper only marks it as one of the dashboard's cards.
#include <string_view>
#include <utility>
#include <vector>

#include "vesk_ui/widget.hpp"

namespace wendlow::surface {

using vesk_ui::widget::WidgetBox;

// Holds one dashboard card and forwards every widget call to it.
class DashboardCard final : public vesk_ui::widget::Widget {
 public:
  explicit DashboardCard(WidgetBox card) : card_(std::move(card)) {}

  void sync() override { card_->sync(); }
  bool update() override { return card_->update(); }
  void build_layout() override { card_->build_layout(); }
  void apply_layout(const vesk_ui::widget::Rect& rect) override { card_->apply_layout(rect); }
  void draw() override { card_->draw(); }
  bool handle_event(const vesk_ui::widget::Event& event) override {
    return card_->handle_event(event);
  }
  vesk_ui::widget::Rect get_rect() const override { return card_->get_rect(); }
  std::vector<const Widget*> children() const override { return card_->children(); }
  std::vector<Widget*> children_mut() override { return card_->children_mut(); }
  std::string_view type_name() const override { return "DashboardCard"; }
  bool needs_idle_sync() const override { return card_->needs_idle_sync(); }
  std::vector<vesk_actions::resource::Resource> resources() const override {
    return card_->resources();
  }
  bool take_structure_dirty() override { return card_->take_structure_dirty(); }
  void accept(vesk_ui::widget::Visitor& visitor) const override { card_->accept(visitor); }

  const Widget& card() const { return *card_; }

 private:
  WidgetBox card_;
};

}  // namespace wendlow::surface
