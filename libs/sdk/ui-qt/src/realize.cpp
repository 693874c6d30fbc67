// The visitor that turns a model tree into QWidgets.
//
// Widgets are created with `new` and handed to a parent layout at once: Qt's parent
// ownership frees them with the tree's top widget.
#include "vesk_ui_qt/realize.hpp"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cmath>
#include <utility>

#include "icons.hpp"
#include "inputs.hpp"
#include "layouts.hpp"
#include "look.hpp"
#include "painted.hpp"
#include "text_label.hpp"
#include "vesk_ui/icons.hpp"
#include "vesk_ui/widgets.hpp"

namespace vesk_ui_qt {

namespace {

using namespace vesk_ui::widget;

QString text(const std::string& value) {
  return QString::fromStdString(value);
}

// Keeps a local-state observation alive exactly as long as its widget.
class SubscriptionHolder : public QObject {
 public:
  SubscriptionHolder(QObject* owner, vesk_ui::local_state::Subscription subscription)
      : QObject(owner), subscription_(std::move(subscription)) {}

 private:
  vesk_ui::local_state::Subscription subscription_;
};

// Runs `refresh` on the UI thread after every set of `cell`, for as long as `widget`
// lives. Observers run on the setter's thread, so the refresh is always queued; it reads
// the cell's latest value, which folds bursts of sets into the newest one.
template <class T, class Refresh>
void follow(QWidget* widget, const vesk_ui::local_state::LocalState<T>& cell, Refresh refresh) {
  QPointer<QWidget> guard(widget);
  auto subscription = cell.subscribe([guard, refresh] {
    QMetaObject::invokeMethod(
        qApp,
        [guard, refresh] {
          if (guard) refresh();
        },
        Qt::QueuedConnection);
  });
  new SubscriptionHolder(widget, std::move(subscription));
}

// Widgets that keep their natural width inside a column instead of filling it.
void mark_hugging(QWidget* widget) {
  widget->setProperty("vesk-hug", true);
}
bool hugs(const QWidget* widget) {
  return widget->property("vesk-hug").toBool();
}

void set_control_names(QWidget* widget, const std::optional<std::string>& id,
                       const std::string& label) {
  if (id) widget->setObjectName(text(*id));
  widget->setAccessibleName(text(label));
}

QLayout* bare(QLayout* layout, int spacing) {
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(spacing);
  return layout;
}

int decimals_for(double step) {
  if (step <= 0 || step >= 1) return 0;
  return std::min(6, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
}

std::uint16_t banner_icon(BannerStyle style) {
  switch (style) {
    case BannerStyle::Success:
      return vesk_ui::icon::kSuccess;
    case BannerStyle::Warning:
      return vesk_ui::icon::kWarning;
    case BannerStyle::Error:
      return vesk_ui::icon::kError;
    case BannerStyle::Info:
      break;
  }
  return vesk_ui::icon::kInfo;
}

const char* banner_name(BannerStyle style) {
  switch (style) {
    case BannerStyle::Success:
      return "banner-success";
    case BannerStyle::Warning:
      return "banner-warning";
    case BannerStyle::Error:
      return "banner-error";
    case BannerStyle::Info:
      break;
  }
  return "banner-info";
}

void set_ink(QWidget* widget, const QColor& ink) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, ink);
  widget->setPalette(palette);
}

const Tint& banner_tint(BannerStyle style, const Look& look) {
  switch (style) {
    case BannerStyle::Success:
      return look.success;
    case BannerStyle::Warning:
      return look.warning;
    case BannerStyle::Error:
      return look.error;
    case BannerStyle::Info:
      break;
  }
  return look.info;
}

// Inputs drawn like the buttons beside them: a style sheet on each input only, so the
// rest of the tree keeps Qt's cheap native styling.
QString input_style(const QString& type, const Look& look) {
  return QStringLiteral(
             "%1 { border: 1px solid %2; border-radius: %3px; background: %4; color: %5;"
             " padding: 0 8px; }"
             "%1:focus { border: 2px solid %6; padding: 0 7px; }"
             "%1::up-button, %1::down-button { border: none; background: transparent; width: 18px; "
             "}"
             "%1::drop-down { border: none; width: 24px; }")
      .arg(type, look.strong_line.name(), QString::number(look.metrics.unit), look.card.name(),
           look.text.name(), look.focus.name());
}

class Realizer final : public Visitor {
 public:
  Realizer(const RealizeContext& context, std::shared_ptr<const Look> look)
      : context_(context), look_(std::move(look)) {}

  // An absent child (an empty box) realizes as an empty widget.
  QWidget* realize(const Widget* model) { return model ? realize(*model) : new QWidget; }

  QWidget* realize(const Widget& model) {
    Realizer inner(context_, look_);
    model.accept(inner);
    return inner.result_ ? inner.result_ : new QWidget;
  }

  void visit(const Column& model) override {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    bare(layout, model.gap);
    for (const auto& item : model.items) {
      if (dynamic_cast<const Spacer*>(item.get())) {
        layout->addStretch(1);
        continue;
      }
      QWidget* child = realize(item.get());
      layout->addWidget(child, 0, hugs(child) ? Qt::AlignLeft : Qt::Alignment());
    }
    result_ = box;
  }

  // The way a box layout decides it: the widget's own policy, or a growing widget whose
  // layout holds something that expands (a column with a progress line).
  static bool expands_horizontally(const QWidget& child) {
    const auto policy = child.sizePolicy().horizontalPolicy();
    if (policy & QSizePolicy::ExpandFlag) return true;
    return (policy & QSizePolicy::GrowFlag) && child.layout() &&
           (child.layout()->expandingDirections() & Qt::Horizontal);
  }

  void visit(const Row& model) override {
    auto* box = new QWidget;
    const Qt::Alignment align = model.align == Alignment::Start ? Qt::AlignTop
                                : model.align == Alignment::End ? Qt::AlignBottom
                                                                : Qt::AlignVCenter;
    if (model.wraps) {
      auto* layout = new FlowLayout(model.gap, model.gap, align);
      box->setLayout(layout);
      for (const auto& item : model.items) {
        if (dynamic_cast<const Spacer*>(item.get())) continue;
        layout->addWidget(realize(item.get()));
      }
      QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
      policy.setHeightForWidth(true);
      box->setSizePolicy(policy);
      result_ = box;
      return;
    }
    auto* layout = new QHBoxLayout(box);
    bare(layout, model.gap);
    bool stretches = false;
    for (const auto& item : model.items) {
      if (dynamic_cast<const Spacer*>(item.get())) {
        layout->addStretch(1);
        stretches = true;
        continue;
      }
      QWidget* child = realize(item.get());
      stretches = stretches || expands_horizontally(*child);
      layout->addWidget(child, 0, align);
    }
    // Without a spacer the items keep together at the start.
    if (!stretches) layout->addStretch(1);
    result_ = box;
  }

  void visit(const Card& model) override {
    const auto& metrics = context_.theme.metrics;
    auto* frame = new Surface(look_->card, look_->hairline, metrics.card_radius);
    frame->setProperty("vesk", model.style == CardStyle::Plain ? "card-plain" : "card");
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(metrics.card_padding, metrics.card_padding, metrics.card_padding,
                               metrics.card_padding);
    layout->setSpacing(metrics.unit);
    if (model.title) {
      auto* title = new TextLabel(text(*model.title));
      title->setProperty("vesk", "heading");
      title->setFont(look_->heading);
      layout->addWidget(title);
    }
    for (const auto& item : model.content) {
      if (dynamic_cast<const Spacer*>(item.get())) {
        layout->addStretch(1);
        continue;
      }
      QWidget* child = realize(item.get());
      layout->addWidget(child, 0, hugs(child) ? Qt::AlignLeft : Qt::Alignment());
    }
    // Cards of one grid line share a height: their actions line up at the bottom.
    layout->addStretch(1);
    if (model.action) {
      layout->addSpacing(metrics.unit / 2);
      QWidget* action = realize(*model.action);
      layout->addWidget(action, 0, hugs(action) ? Qt::AlignLeft : Qt::Alignment());
    }
    result_ = frame;
  }

  void visit(const CardGrid& model) override {
    auto* box = new QWidget;
    auto* layout =
        new CardGridLayout(model.min_column_width, model.gap, context_.theme.metrics.narrow_width);
    box->setLayout(layout);
    for (const auto& item : model.items) layout->addWidget(realize(item.get()));
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    box->setSizePolicy(policy);
    box->setProperty("vesk", "card-grid");
    result_ = box;
  }

  void visit(const Container& model) override {
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    bare(layout, 0);
    layout->setContentsMargins(model.padding, model.padding, model.padding, model.padding);
    QWidget* child = model.child ? realize(*model.child) : new QWidget;
    if (model.fixed_width) {
      child->setFixedWidth(*model.fixed_width);
      layout->addStretch(1);
      layout->addWidget(child);
      layout->addStretch(1);
    } else if (model.max_width) {
      // Narrower windows give the child all their width; wider ones centre it.
      child->setMaximumWidth(*model.max_width);
      child->setSizePolicy(QSizePolicy::Expanding, child->sizePolicy().verticalPolicy());
      layout->addStretch(1);
      layout->addWidget(child, 1000);
      layout->addStretch(1);
    } else {
      layout->addWidget(child);
    }
    result_ = box;
  }

  void visit(const Scrollable& model) override {
    auto* area = new QScrollArea;
    area->setProperty("vesk", "scroll");
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidgetResizable(true);
    auto* content = new QWidget;
    content->setProperty("vesk", "scroll-content");
    auto* layout = new QVBoxLayout(content);
    bare(layout, 0);
    if (model.child) layout->addWidget(realize(*model.child));
    layout->addStretch(1);
    area->setWidget(content);
    area->viewport()->setAutoFillBackground(false);
    // A thin rounded handle; a style sheet on this one bar only keeps realizing cheap.
    area->verticalScrollBar()->setStyleSheet(
        QStringLiteral(
            "QScrollBar:vertical { width: 12px; background: transparent; margin: 2px; }"
            "QScrollBar::handle:vertical { background: %1; border-radius: 4px; min-height: 32px; }"
            "QScrollBar::handle:vertical:hover { background: %2; }"
            "QScrollBar::add-line, QScrollBar::sub-line { height: 0; width: 0; }"
            "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
            .arg(look_->strong_line.name(), look_->secondary.name()));
    content->setAutoFillBackground(false);
    result_ = area;
  }

  void visit(const Text& model) override {
    auto* label = new TextLabel(text(model.text));
    switch (model.style) {
      case TextStyle::LargeTitle:
        label->setProperty("vesk", "large-title");
        label->setFont(look_->large_title);
        break;
      case TextStyle::Heading:
        label->setProperty("vesk", "heading");
        label->setFont(look_->heading);
        break;
      case TextStyle::Caption:
        label->setProperty("vesk", "caption");
        label->setFont(look_->caption);
        set_ink(label, look_->secondary);
        break;
      case TextStyle::Body:
        label->setProperty("vesk", "body");
        break;
    }
    label->setAccessibleName(text(model.accessible_label.value_or(model.text)));
    result_ = label;
  }

  void visit(const Button& model) override {
    const char* style = "secondary";
    auto kind = FlatButton::Kind::Secondary;
    QColor icon_colour = look_->text;
    if (model.style == ButtonStyle::Primary) {
      style = "primary";
      kind = FlatButton::Kind::Primary;
      icon_colour = look_->on_accent;
    } else if (model.style == ButtonStyle::Plain) {
      style = "plain";
      kind = FlatButton::Kind::Plain;
      icon_colour = look_->accent;
    }
    auto* button = new FlatButton(text(model.label), kind, look_);
    button->setProperty("vesk", style);
    set_control_names(button, model.id, model.label);
    if (model.icon) {
      QIcon picture = icon(*model.icon, 16, icon_colour);
      if (!picture.isNull()) {
        button->setIcon(picture);
        button->setIconSize(QSize(16, 16));
      }
    }
    mark_hugging(button);
    // A copy: the model tree may be replaced while the button still exists.
    QObject::connect(button, &QPushButton::clicked, button,
                     [action = model.action, after = context_.after_input] {
                       if (action) action();
                       if (after) after();
                     });
    result_ = button;
  }

  void visit(const Toggle& model) override {
    auto* toggle = new Switch(context_.theme.palette);
    set_control_names(toggle, model.id, model.label);
    toggle->setChecked(model.state.get());
    mark_hugging(toggle);
    QObject::connect(toggle, &Switch::toggled, toggle,
                     [cell = model.state, after = context_.after_input](bool on) {
                       if (cell.get() != on) cell.set(on);
                       if (after) after();
                     });
    follow(toggle, model.state, [toggle, cell = model.state] {
      const bool on = cell.get();
      if (toggle->isChecked() == on) return;
      const QSignalBlocker quiet(toggle);
      toggle->setChecked(on);
    });
    result_ = toggle;
  }

  void visit(const ToggleGroup& model) override {
    auto* box = new QWidget;
    set_control_names(box, model.id, model.label);
    auto* layout = new QHBoxLayout(box);
    bare(layout, 0);
    auto* group = new QButtonGroup(box);
    group->setExclusive(true);
    const int count = static_cast<int>(model.segments.size());
    for (int index = 0; index < count; ++index) {
      auto* segment = new FlatButton(text(model.segments[static_cast<std::size_t>(index)]),
                                     FlatButton::Kind::Segment, look_);
      segment->setProperty("vesk", "segment");
      segment->setProperty("position", count == 1           ? "only"
                                       : index == 0         ? "first"
                                       : index == count - 1 ? "last"
                                                            : "middle");
      segment->setCheckable(true);
      group->addButton(segment, index);
      layout->addWidget(segment);
    }
    auto show_cell = [group, cell = model.state] {
      const std::size_t chosen = cell.get();
      QAbstractButton* button = chosen < static_cast<std::size_t>(group->buttons().size())
                                    ? group->button(static_cast<int>(chosen))
                                    : nullptr;
      if (button == group->checkedButton()) return;
      const QSignalBlocker quiet(group);
      if (button) {
        button->setChecked(true);
      } else if (QAbstractButton* checked = group->checkedButton()) {
        group->setExclusive(false);
        checked->setChecked(false);
        group->setExclusive(true);
      }
    };
    show_cell();
    QObject::connect(group, &QButtonGroup::idClicked, box,
                     [cell = model.state, after = context_.after_input](int index) {
                       if (index < 0) return;
                       if (cell.get() != static_cast<std::size_t>(index))
                         cell.set(static_cast<std::size_t>(index));
                       if (after) after();
                     });
    follow(box, model.state, show_cell);
    mark_hugging(box);
    result_ = box;
  }

  void visit(const Dropdown& model) override {
    auto* combo = new ChoiceBox(look_->text);
    set_control_names(combo, model.id, model.label);
    for (const auto& option : model.options) combo->addItem(text(option.label), text(option.value));
    if (model.placeholder) combo->setPlaceholderText(text(*model.placeholder));
    auto show_value = [combo](const std::optional<std::string>& value) {
      const int index = value ? combo->findData(text(*value)) : -1;
      if (combo->currentIndex() == index) return;
      const QSignalBlocker quiet(combo);
      combo->setCurrentIndex(index);
    };
    show_value(model.value);
    combo->setFocusPolicy(Qt::TabFocus);
    combo->setMinimumWidth(160);
    combo->setMinimumHeight(context_.theme.metrics.button_height);
    combo->setStyleSheet(input_style(QStringLiteral("QComboBox"), *look_));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    mark_hugging(combo);
    // What choosing does, copied: the model tree may be gone when the user chooses.
    auto chooser = std::make_shared<Dropdown>(model.label);
    chooser->options = model.options;
    chooser->on_select = model.on_select;
    chooser->published = model.published;
    QObject::connect(combo, &QComboBox::activated, combo,
                     [chooser, after = context_.after_input](int index) {
                       if (index >= 0) chooser->choose(static_cast<std::size_t>(index));
                       if (after) after();
                     });
    if (model.published) {
      follow(combo, *model.published,
             [show_value, cell = *model.published] { show_value(cell.get()); });
    }
    result_ = combo;
  }

  void visit(const NumberInput& model) override {
    auto* spin = new NumberBox(look_->text);
    set_control_names(spin, model.id, model.label);
    spin->setDecimals(decimals_for(model.step));
    spin->setRange(model.minimum, std::max(model.minimum, model.maximum));
    spin->setSingleStep(model.step > 0 ? model.step : 1);
    spin->setValue(model.state.get());
    spin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    spin->setFocusPolicy(Qt::StrongFocus);
    spin->setMinimumWidth(96);
    spin->setMinimumHeight(context_.theme.metrics.button_height);
    spin->setStyleSheet(input_style(QStringLiteral("QDoubleSpinBox"), *look_));
    mark_hugging(spin);
    QObject::connect(spin, &QDoubleSpinBox::valueChanged, spin,
                     [cell = model.state, after = context_.after_input](double value) {
                       if (cell.get() != value) cell.set(value);
                       if (after) after();
                     });
    follow(spin, model.state, [spin, cell = model.state] {
      const double value = cell.get();
      if (spin->value() == value) return;
      const QSignalBlocker quiet(spin);
      spin->setValue(value);
    });
    result_ = spin;
  }

  void visit(const ProgressBar& model) override {
    auto* bar = new ProgressLine(model.fraction, context_.theme);
    bar->setAccessibleName(text(model.label));
    result_ = bar;
  }

  void visit(const Banner& model) override {
    const auto& metrics = context_.theme.metrics;
    const Tint& tint = banner_tint(model.style, *look_);
    auto* frame = new Surface(tint.background, tint.border, metrics.card_radius);
    frame->setProperty("vesk", banner_name(model.style));
    frame->setAccessibleName(text(model.title));
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(metrics.card_padding, metrics.unit + 4, metrics.card_padding,
                               metrics.unit + 4);
    layout->setSpacing(metrics.unit + 4);
    auto* picture = new QLabel;
    picture->setPixmap(icon_pixmap(model.icon.value_or(banner_icon(model.style)), 20, tint.text,
                                   qApp ? qApp->devicePixelRatio() : 1.0));
    picture->setFixedSize(20, 22);
    picture->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    layout->addWidget(picture, 0, Qt::AlignTop);
    auto* words = new QVBoxLayout;
    bare(words, 2);
    auto* title = new TextLabel(text(model.title));
    title->setProperty("vesk", "banner-title");
    title->setFont(look_->heading);
    set_ink(title, tint.text);
    words->addWidget(title);
    if (!model.body.empty()) {
      auto* body = new TextLabel(text(model.body));
      words->addWidget(body);
    }
    layout->addLayout(words, 1);
    if (model.action) layout->addWidget(realize(*model.action), 0, Qt::AlignVCenter);
    result_ = frame;
  }

  void visit(const Image& model) override {
    auto* view = new ImageView(model.width, model.height, model.pixels, context_.theme.palette);
    view->setAccessibleName(text(model.label));
    result_ = view;
  }

  void visit(const ImageCropEditor& model) override {
    auto* editor = new CropEditor(model.width, model.height, model.pixels, model.crop,
                                  context_.theme.palette, context_.after_input);
    editor->setAccessibleName(text(model.label));
    follow(editor, model.crop, [editor] { editor->follow_cell(); });
    result_ = editor;
  }

  void visit(const PagePreview& model) override {
    auto* box = new QWidget;
    box->setAccessibleName(text(model.label));
    auto* layout = new QHBoxLayout(box);
    bare(layout, context_.theme.metrics.unit);
    layout->addWidget(new PageSymbol(context_.theme.palette));
    const QString count =
        model.page_total ? QStringLiteral("%1 of %2").arg(model.current_page).arg(*model.page_total)
                         : QString::number(model.current_page);
    auto* label = new QLabel(count);
    label->setProperty("vesk", "caption");
    label->setFont(look_->caption);
    set_ink(label, look_->secondary);
    layout->addWidget(label);
    mark_hugging(box);
    result_ = box;
  }

  void visit(const IconWidget& model) override {
    auto* label = new QLabel;
    label->setPixmap(
        icon_pixmap(model.icon, model.size, look_->text, qApp ? qApp->devicePixelRatio() : 1.0));
    label->setFixedSize(model.size, model.size);
    mark_hugging(label);
    result_ = label;
  }

  void visit(const Divider&) override {
    auto* line = new Surface(look_->hairline, QColor(), 0);
    line->setProperty("vesk", "divider");
    line->setFixedHeight(1);
    line->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    result_ = line;
  }

  void visit(const Spacer&) override {
    auto* space = new QWidget;
    space->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    result_ = space;
  }

  // A widget the host does not know: its children stand in for it.
  void visit_wrapper(const Widget& model) override {
    const auto children = model.children();
    if (children.size() == 1) {
      result_ = realize(children.front());
      return;
    }
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    bare(layout, 0);
    for (const Widget* child : children) layout->addWidget(realize(child));
    result_ = box;
  }

 private:
  const RealizeContext& context_;
  std::shared_ptr<const Look> look_;
  QWidget* result_ = nullptr;
};

}  // namespace

std::unique_ptr<QWidget> realize_tree(const Widget& model, const RealizeContext& context) {
  Realizer realizer(context, Look::from(context.theme));
  return std::unique_ptr<QWidget>(realizer.realize(model));
}

}  // namespace vesk_ui_qt
