#pragma once

// The window messages our libraries (libs/) post to the program's windows. A message is
// a QEvent of type QEvent::User + n, standing for the platform's WM_USER + n, with its
// WParam.
#include <QEvent>
#include <cstdint>

namespace captivo {

inline constexpr QEvent::Type kPlaybackEvent = QEvent::Type(QEvent::User + 3);      // to plMovie
inline constexpr QEvent::Type kKeyNotify = QEvent::Type(QEvent::User + 100);        // to fmMain
inline constexpr QEvent::Type kFullScreenEnded = QEvent::Type(QEvent::User + 101);  // to fmMain
inline constexpr QEvent::Type kStopPlayback = QEvent::Type(QEvent::User + 102);     // to fmMain

// The windows the libraries look for by name: the program's main window, and the movie
// library's full-screen window.
inline constexpr const char* kMainWindowName = "fmMain";
inline constexpr const char* kFullScreenWindowName = "MovixFullScreen";

class WindowMessage : public QEvent {
 public:
  explicit WindowMessage(Type type, intptr_t wParam = 0) : QEvent(type), WParam(wParam) {}
  intptr_t WParam;
};

}  // namespace captivo
