#pragma once

#include <QSize>

namespace captivo {

// Tells the size a compositor first gave the window, given again, from a size it gives
// anew. A compositor may send a floating window the size it gave it on showing it with
// every later change of focus (sway 1.7 on Wayland), which would take back each size the
// program chose since: such a repeat is answered with the program's own size again.
class GivenSizes {
 public:
  explicit GivenSizes(bool repeatsAreStale) : repeatsAreStale_(repeatsAreStale) {}

  // The program asked for the window's `size`.
  void Asked(QSize size) { asked_ = size; }
  QSize LastAsked() const { return asked_; }

  // The window now has `size`: whether it is the first size it had, given again while
  // the program has asked for another since.
  bool Repeated(QSize size) {
    if (!repeatsAreStale_) return false;
    if (first_.isEmpty()) {
      first_ = size;
      return false;
    }
    return size == first_ && size != asked_;
  }

 private:
  bool repeatsAreStale_;
  QSize asked_, first_;
};

}  // namespace captivo
