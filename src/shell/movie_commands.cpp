// Opening a movie, the transport commands, and the window's proportion while it plays.
#include <QFile>
#include <QLocale>
#include <QScopedValueRollback>
#include <QSlider>
#include <QSplitter>
#include <QTimer>

#include "conversions.h"
#include "file_names.h"
#include "main_window.h"
#include "movie_control.h"
#include "number_text.h"
#include "second_subtitle.h"
#include "server_window_size.h"
#include "status_bar.h"
#include "subtitle_surface.h"
#include "timing_control.h"
#include "timing_history.h"
#include "timing_recall.h"
#include "track_choice.h"
#include "track_menus.h"
#include "user_prompts.h"

namespace captivo {

namespace {

constexpr const char* kMovieFilters =
    "Movie files (*.avi *.mpg *.mpeg *.dat *.divx *.wmv *.asf *.mkv *.mp4 *.m4v *.mov *.webm "
    "*.ogv *.ts *.m2ts *.flv *.vob);;All Files (*)";

}  // namespace

void TfmMain::PlayFile1Click() {
  timing_->SetContinuedOffset(0);
  movie_->ForgetDuration();
  ChooseMovie();
}

void TfmMain::ContinuedPlayFile1Click() {
  // The next part's positions count on from the end of this one.
  timing_->SetContinuedOffset(SaturatedAdd(timing_->Timing().continuedOffset, movie_->Duration()));
  ChooseMovie();
}

void TfmMain::ChooseMovie() {
  const QString path = prompts_.ChooseFile(this, "Play DivX Movie", kMovieFilters);
  if (path.isEmpty()) return;
  recall_->Remember();
  movie_->SetFileName(QFile::encodeName(path).toStdString());
  OpenMovie();
}

void TfmMain::OpenMovie() {
  movie_->Open();
}

void TfmMain::MovieOpened() {
  const double rate = timing_->Timing().movieFrameRate;
  tbMain->setMaximum(movie_->Duration());
  sbMain->SetPanelText(Panel::Length, FramesAndTime(movie_->Duration(), rate));
  sbMain->SetPanelText(Panel::FrameRate, RealText(rate) + "fps");
  const QSize picture = movie_->PictureSize();
  sbMain->SetPanelText(Panel::PictureSize,
                       QString("%1*%2").arg(picture.width()).arg(picture.height()));
  SetViewScale(1.0);
  history_->Clear();
  secondSubtitle_->Close();  // the last movie's, unless remembered for this one
  recall_->MovieOpened();
  trackFeed_.Close();
  subtitles_.ForgetTrack();
  const bool subtitleFile = recall_->Restore() || FindCompanionSubtitle();
  const std::string locale = QLocale::system().name().toStdString();
  trackMenus_->MovieOpened(movie_->FileName(),
                           PreferredLanguages(settingsAtStart_.subtitleLanguages, locale),
                           PreferredLanguages(settingsAtStart_.audioLanguages, locale),
                           subtitleFile, recall_->RememberedTrack(), recall_->AudioTrack());
}

bool TfmMain::FindCompanionSubtitle() {
  // The base is the name without its extension; the extensions are tried as written.
  const std::string base = WithoutExtension(movie_->FileName());
  for (const char* extension : {".idx", ".sub", ".srt", ".ssa", ".ass", ".vtt"}) {
    if (IsRegularFile(base + extension)) {
      OpenSubtitleFile(base + extension);
      return true;
    }
  }
  return false;
}

void TfmMain::Play1Click() {
  movie_->Play();
}

void TfmMain::Pause1Click() {
  movie_->Pause();
}

void TfmMain::Stop1Click() {
  movie_->Stop();
}

int TfmMain::PictureAreaAllowance() const {
  // Each part around the picture as high as the layout made it, whatever the style gives
  // it. (Not the client area's height less the picture's: inside a resize the picture's
  // may not have followed yet.)
  return tlbMain->height() + Panel1->height() + Splitter1->handleWidth() + lbSubParent->height() +
         sbMain->height();
}

void TfmMain::WMSizing() {
  // A request below may come back at once as a resize, which would run this rule inside
  // itself without end (mutter): it runs once at a time, and the retry looks again.
  if (sizing_) return;
  const QScopedValueRollback<bool> inside(sizing_, true);
  // A size the compositor only repeats is no new one: the program's own size again.
  if (givenSizes_.Repeated(size())) {
    resize(givenSizes_.LastAsked());
    return;
  }
  // While a movie runs the height follows the width, keeping the picture's proportion.
  const QSize picture = movie_->PictureSize();
  if (!movie_->IsRunning() || picture.width() == 0) return;
  const int height =
      RoundToInt32(picture.height() * (static_cast<double>(ClientWidth()) / picture.width())) +
      PictureAreaAllowance();
  if (height != ClientHeight()) {
    SetClientSize(ClientWidth(), height);
  } else if (const auto server = ServerWindowSize(*this); server && *server != size()) {
    // The window manager let the last request go while the user dragged the frame: asked
    // again, by way of another size, as a request for the size believed held is none.
    resize(width(), this->height() + 1);
    SetClientSize(ClientWidth(), height);
  } else {
    return;
  }
  constexpr int kMostRetries = 25;
  if (++sizingRetries_ <= kMostRetries) sizingRetry_->start();
}

}  // namespace captivo
