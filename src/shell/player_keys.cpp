#include "player_keys.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <cmath>

#include "conversions.h"
#include "movie_control.h"
#include "number_text.h"
#include "status_bar.h"
#include "timing_control.h"

namespace captivo {

namespace {

constexpr int kVolumeStep = 5;

QAction* Item(QMenu* menu, const char* name, const char* caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  return action;
}

}  // namespace

PlayerKeys::PlayerKeys(QMenu* movie, QWidget* window, MovieControl& player,
                       const TimingControl& timing, StatusBar& status, const CommandRunner& run)
    : movie_(player), timing_(timing), status_(status) {
  QMenu* volume = movie->addMenu("Volume");
  QAction* up = Item(volume, "VolumeUp1", "Volume Up");
  up->setShortcuts({QKeySequence("0"), QKeySequence("Ctrl+Up")});
  QAction* down = Item(volume, "VolumeDown1", "Volume Down");
  down->setShortcuts({QKeySequence("9"), QKeySequence("Ctrl+Down")});
  mute_ = Item(volume, "Mute1", "Mute");
  mute_->setShortcut(QKeySequence("M"));
  mute_->setCheckable(true);
  auto bind = [window, run](QAction* action, std::function<void()> command) {
    QObject::connect(action, &QAction::triggered, window, [run, command] { run(command); });
  };
  bind(up, [this] { ChangeVolume(kVolumeStep); });
  bind(down, [this] { ChangeVolume(-kVolumeStep); });
  bind(mute_, [this] { ToggleMute(); });

  // Seeking and Space have no menu items: keys of the window, as in every player.
  const struct {
    const char* name;
    Qt::Key key;
    double seconds;
  } seeks[] = {{"SeekBack5s", Qt::Key_Left, -5},
               {"SeekForward5s", Qt::Key_Right, 5},
               {"SeekBack1min", Qt::Key_Down, -60},
               {"SeekForward1min", Qt::Key_Up, 60}};
  auto key = [window](const char* name, QKeySequence shortcut) {
    auto* action = new QAction(window);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    window->addAction(action);
    return action;
  };
  for (const auto& seek : seeks) {
    const double seconds = seek.seconds;
    bind(key(seek.name, seek.key), [this, seconds] { Seek(seconds); });
  }
  bind(key("PauseOrResume", Qt::Key_Space), [this] { PauseOrResume(); });
}

void PlayerKeys::ShowMuting() {
  mute_->setChecked(movie_.IsMuted());
}

void PlayerKeys::ChangeVolume(int step) {
  movie_.SetVolume(movie_.Volume() + step);
  status_.ShowNote(QString("Volume %1%").arg(movie_.Volume()) +
                   (movie_.IsMuted() ? " (muted)" : ""));
}

void PlayerKeys::ToggleMute() {
  movie_.SetMuted(!movie_.IsMuted());
  ShowMuting();
  status_.ShowNote(movie_.IsMuted() ? "Mute" : QString("Volume %1%").arg(movie_.Volume()));
}

void PlayerKeys::Seek(double seconds) {
  const double rate = timing_.Timing().movieFrameRate;
  const auto frame = movie_.SeekBy(RoundToInt32(seconds * rate));
  if (!frame) return;
  const int32_t moviePosition = timing_.Timing().MoviePosition(*frame);
  const QString step = std::abs(seconds) < 60 ? QString("%1 s").arg(std::abs(seconds))
                                              : QString("%1 min").arg(std::abs(seconds) / 60);
  status_.ShowNote(QString(seconds < 0 ? "Back %1: %2" : "Forward %1: %2")
                       .arg(step, FramesAndTime(moviePosition, rate).section('/', 1)));
}

void PlayerKeys::PauseOrResume() {
  // A key that runs a shortcut never arrives as a key press: in full screen the key
  // observer does not see this Space as well.
  if (movie_.IsRunning())
    movie_.Pause();
  else
    movie_.Play();
}

}  // namespace captivo
