// The keys every player has: the sound's level and mute, seeking, Space to pause.
#include <QAction>
#include <QMenu>

#include "main_window.h"
#include "movie_control.h"
#include "status_bar.h"

namespace captivo {

namespace {

constexpr int kVolumeStep = 5;

}  // namespace

void TfmMain::BuildPlayerCommands(QMenu* movie) {
  QMenu* volume = movie->addMenu("Volume");
  VolumeUp1 = volume->addAction("Volume Up");
  VolumeUp1->setObjectName("VolumeUp1");
  VolumeUp1->setShortcuts({QKeySequence("0"), QKeySequence("Ctrl+Up")});
  VolumeDown1 = volume->addAction("Volume Down");
  VolumeDown1->setObjectName("VolumeDown1");
  VolumeDown1->setShortcuts({QKeySequence("9"), QKeySequence("Ctrl+Down")});
  Mute1 = volume->addAction("Mute");
  Mute1->setObjectName("Mute1");
  Mute1->setShortcut(QKeySequence("M"));
  Mute1->setCheckable(true);
  connect(VolumeUp1, &QAction::triggered, this,
          [this] { Run([this] { ChangeVolume(kVolumeStep); }); });
  connect(VolumeDown1, &QAction::triggered, this,
          [this] { Run([this] { ChangeVolume(-kVolumeStep); }); });
  Bind(Mute1, &TfmMain::Mute1Click);

  // Seeking and Space have no menu items: keys of the window, as in every player.
  const struct {
    const char* name;
    Qt::Key key;
    double seconds;
  } seeks[] = {{"SeekBack5s", Qt::Key_Left, -5},
               {"SeekForward5s", Qt::Key_Right, 5},
               {"SeekBack1min", Qt::Key_Down, -60},
               {"SeekForward1min", Qt::Key_Up, 60}};
  for (const auto& seek : seeks) {
    auto* action = new QAction(this);
    action->setObjectName(seek.name);
    action->setShortcut(seek.key);
    addAction(action);
    const double seconds = seek.seconds;
    connect(action, &QAction::triggered, this,
            [this, seconds] { Run([this, seconds] { movie_->SeekBy(seconds); }); });
  }
  auto* pause = new QAction(this);
  pause->setObjectName("PauseOrResume");
  pause->setShortcut(Qt::Key_Space);
  addAction(pause);
  Bind(pause, &TfmMain::PauseOrResume);
}

void TfmMain::ChangeVolume(int step) {
  movie_->SetVolume(movie_->Volume() + step);
  sbMain->ShowNote(QString("Volume %1%").arg(movie_->Volume()));
}

void TfmMain::Mute1Click() {
  movie_->SetMuted(Mute1->isChecked());
  sbMain->ShowNote(movie_->IsMuted() ? "Mute" : QString("Volume %1%").arg(movie_->Volume()));
}

void TfmMain::PauseOrResume() {
  // A key that runs a shortcut never arrives as a key press: in full screen the key
  // observer does not see this Space as well.
  if (movie_->IsRunning())
    movie_->Pause();
  else
    movie_->Play();
}

}  // namespace captivo
