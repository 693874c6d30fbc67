#pragma once
// Reading screens headlessly: build one against a channel of its own, press its controls
// by id and get back the one operation each sent, read its texts, and tell which screen a
// state shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dashboard_card.hpp"
#include "operation.hpp"
#include "surface.hpp"
#include "vesk_os/channel.hpp"
#include "vesk_ui/controls.hpp"
#include "vesk_ui/widgets.hpp"

namespace wendlow::testing {

namespace w = vesk_ui::widget;

// Every visible text in tree order. A DashboardCard hands its card's children to tree walks
// directly, which would skip the card's own title; here the card itself is read.
inline std::vector<std::string> screen_texts(const w::Widget& widget) {
  if (auto* wrapper = dynamic_cast<const surface::DashboardCard*>(&widget)) {
    return screen_texts(wrapper->card());
  }
  auto own = vesk_ui::controls::all_texts(widget);
  std::size_t below = 0;
  for (const auto* child : widget.children()) {
    if (child) below += vesk_ui::controls::all_texts(*child).size();
  }
  own.resize(own.size() - below);
  for (const auto* child : widget.children()) {
    if (!child) continue;
    auto more = screen_texts(*child);
    own.insert(own.end(), more.begin(), more.end());
  }
  return own;
}

template <class T>
std::vector<const T*> all_of_type(const w::Widget& root) {
  std::vector<const T*> found;
  vesk_ui::controls::walk(root, [&](const w::Widget& widget) {
    if (auto* typed = dynamic_cast<const T*>(&widget)) found.push_back(typed);
  });
  return found;
}

// The screen's title: its first text in large type ("Wendlow" on the dashboard and its
// siblings, the sub-screen's own title elsewhere); empty when it has none.
inline std::string screen_title(const w::Widget& root) {
  for (const auto* text : all_of_type<w::Text>(root)) {
    if (text->style == w::TextStyle::LargeTitle) return text->text;
  }
  return {};
}

inline bool has_control(const w::Widget& root, std::string_view id) {
  return vesk_ui::controls::find(root, id) != nullptr;
}

// A screen built against a channel of its own, so the operations its buttons send can be
// read back.
struct Built {
  vesk_os::Sender<Operation> tx;
  vesk_os::Receiver<Operation> rx;
  w::WidgetBox view;

  std::vector<std::string> texts() const { return screen_texts(*view); }
  bool shows(const std::string& text) const { return std::ranges::count(texts(), text) > 0; }
  bool has(std::string_view id) const { return has_control(*view, id); }
  std::string title() const { return screen_title(*view); }
  // Presses the control and returns the one operation it sent.
  Operation press(std::string_view id) {
    EXPECT_TRUE(vesk_ui::controls::invoke(*view, id).has_value()) << id;
    auto sent = rx.try_recv();
    EXPECT_TRUE(sent.has_value()) << id << " sent nothing";
    EXPECT_FALSE(rx.try_recv().has_value()) << id << " sent more than once";
    return sent ? *sent : Operation{op::ShowDashboard{}};
  }
};

// Builds a screen with `builder(events)` against a fresh channel.
template <class Builder>
Built build(Builder&& builder) {
  auto [tx, rx] = vesk_os::channel<Operation>();
  auto view = std::forward<Builder>(builder)(tx);
  return {std::move(tx), std::move(rx), std::move(view)};
}

// The title of the screen a state shows.
inline std::string shown_title(const surface::Wendlow& state) {
  return state.view ? screen_title(*state.view) : std::string();
}

}  // namespace wendlow::testing
