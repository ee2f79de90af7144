// An application-wide key observer: it only watches, and passes every key on.
#include "hook.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

#include "window_messages.h"

namespace {

// The Windows virtual-key code of a key, or 0 for a key that is not passed on.
int VirtualKey(int key) {
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return 112 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Tab:
      return 9;
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    default:
      return 0;
  }
}

QWidget* MainWindow() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->objectName() == captivo::kMainWindowName) return window;
  return nullptr;
}

class KeyObserver : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    const QWidget* window = static_cast<QWidget*>(watched)->window();
    if (window->objectName() != captivo::kFullScreenWindowName) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    // A key is seen once per widget it travels through: only its first stop counts.
    if (watched != window || key->isAutoRepeat()) return false;
    if (const int code = VirtualKey(key->key()))
      if (QWidget* main = MainWindow())
        QCoreApplication::postEvent(main, new captivo::WindowMessage(captivo::kKeyNotify, code));
    return false;
  }
};

QPointer<KeyObserver> observer;

}  // namespace

extern "C" {

void SetHook(void) {
  if (observer || !qApp) return;
  observer = new KeyObserver;
  qApp->installEventFilter(observer);
}

void FreeHook(void) {
  delete observer;
}

}  // extern "C"
