#include "subtitle_window.h"

namespace captivo {

TfmSub::TfmSub() : lbSub(label), imSub(image) {
  setObjectName("fmSub");
  setAttribute(Qt::WA_StyledBackground);
  setStyleSheet("background: black;");
  setFocusPolicy(Qt::NoFocus);
  resize(1016, 173);
  Arrange();
}

}  // namespace captivo
