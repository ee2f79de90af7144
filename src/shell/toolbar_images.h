#pragma once

#include <QIcon>

namespace captivo {

// The nine 20 x 20 tool bar images, drawn for the project, mostly green, in index order:
// open a movie, play, pause, stop, load a subtitle, subtitle font, 1x, 2x, full screen.
QIcon ToolBarImage(int index);

}  // namespace captivo
