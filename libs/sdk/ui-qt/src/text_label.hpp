#pragma once
// A word-wrapping label that is cheap to lay out. Layouts ask a wrapping label for its
// sizes again and again, and QLabel lays the text out anew for every question: this one
// answers short texts (one line at any sensible width) from a single measurement and
// remembers the heights of longer ones for the last few widths.
#include <QLabel>
#include <array>
#include <optional>
#include <utility>

namespace vesk_ui_qt {

class TextLabel : public QLabel {
 public:
  explicit TextLabel(const QString& text, QWidget* parent = nullptr);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  int heightForWidth(int width) const override;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  // The width of the text on one line.
  int natural_width() const;
  bool is_short() const;
  void forget() const;

  mutable std::optional<int> natural_width_;
  mutable std::array<std::pair<int, int>, 6> heights_;  // (width, height); width -1 unused
  mutable std::size_t next_ = 0;
};

}  // namespace vesk_ui_qt
