// Opening a movie, the transport commands, and the window's proportion while it plays.
#include <QCoreApplication>
#include <QFile>
#include <QSlider>
#include <QSplitter>
#include <QTimer>

#include "conversions.h"
#include "file_names.h"
#include "main_window.h"
#include "maker.h"
#include "movie_library.h"
#include "movix.h"
#include "number_text.h"
#include "start_trace.h"
#include "status_bar.h"
#include "subtitle_surface.h"
#include "user_prompts.h"

namespace captivo {

namespace {

constexpr const char* kMovieFilters =
    "Movie files (*.avi *.mpg *.mpeg *.dat *.divx *.wmv *.asf *.mkv *.mp4 *.m4v *.mov *.webm "
    "*.ogv *.ts *.m2ts *.flv *.vob);;All Files (*)";

QString FramesAndTime(int32_t frames, double rate) {
  return QString::number(frames) + "/" +
         QString::fromStdString(FormatHms(RoundToInt32(frames / rate)));
}

}  // namespace

void TfmMain::PlayFile1Click() {
  ContinuedOffset = 0;
  MovieDuration = 0;
  ChooseMovie();
}

void TfmMain::ContinuedPlayFile1Click() {
  // The next part's positions count on from the end of this one.
  ContinuedOffset = SaturatedAdd(ContinuedOffset, MovieDuration);
  ChooseMovie();
}

void TfmMain::ChooseMovie() {
  const QString path = prompts_.ChooseFile(this, "Play DivX Movie", kMovieFilters);
  if (path.isEmpty()) return;
  MovieFileName = QFile::encodeName(path).toStdString();
  OpenMovie();
}

void TfmMain::OpenMovie() {
  // A file that cannot be played leaves the movie that plays, if any, as it was.
  TraceStep("opening the movie");
  // The library may still be loading beside the start: the window paints meanwhile.
  while (!MovieLibraryLoaded(5))
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  if (::PlayFile(MovieFileName.c_str(), plMovie) != 0) {
    prompts_.ShowMessage(this, "Error",
                         QString("Movie file error or DivX codec not installed properly!\r"
                                 "Please go ") +
                             kMakerWebAddress + " for more information.",
                         QMessageBox::Critical);
    return;
  }
  LastVobSubIndex = -1;
  int32_t rate = 0;
  GetFrameRate(&rate);
  SubtitleFrameRate = rate / 1000.0;
  Subtitles.ForgetLastHit();
  // The library now holds what was opened, a movie or not.
  MovieOpen = SubtitleFrameRate > 0;
  if (!MovieOpen) {
    Stop1Click();
    prompts_.ShowMessage(this, "Error", "Can not get the frame rate of the movie",
                         QMessageBox::Critical);
    return;
  }
  MovieFrameRate = SubtitleFrameRate;
  tmMovie->start();
  GetDur(&MovieDuration);
  tbMain->setMaximum(MovieDuration);
  sbMain->SetPanelText(1, FramesAndTime(MovieDuration, SubtitleFrameRate));
  sbMain->SetPanelText(2, RealText(SubtitleFrameRate) + "fps");
  GetVideoWH(&VideoWidth, &VideoHeight);
  sbMain->SetPanelText(3, QString("%1*%2").arg(VideoWidth).arg(VideoHeight));
  SetViewScale(1.0);
  TraceStep("window sized to the picture");
  FindCompanionSubtitle();
  TraceStep("companion subtitle looked for");
}

void TfmMain::FindCompanionSubtitle() {
  // The base is the name without its extension; the extensions are tried as written.
  const std::string base = WithoutExtension(MovieFileName);
  for (const char* extension : {".idx", ".sub", ".srt", ".ssa", ".ass"}) {
    if (IsRegularFile(base + extension)) {
      OpenSubtitleFile(base + extension);
      return;
    }
  }
}

void TfmMain::Play1Click() {
  if (!MovieOpen) return;  // nothing to play, and no frame rate for the clock
  PlayMovie();
  tmMovie->start();
}

void TfmMain::Pause1Click() {
  PauseMovie();
}

void TfmMain::Stop1Click() {
  tmMovie->stop();
  StopMovie();
}

void TfmMain::plMovieResize() {
  if (!tmMovie->isActive()) return;
  SizeChange();
  LastVobSubIndex = -1;
}

int TfmMain::PictureAreaAllowance() const {
  return sbMain->height() + lbSubParent->height() + Splitter1->handleWidth() + tbMain->height();
}

void TfmMain::WMSizing() {
  // While a movie runs the height follows the width, keeping the picture's proportion.
  if (!tmMovie->isActive() || VideoWidth == 0) return;
  const int height = RoundToInt32(VideoHeight * (static_cast<double>(ClientWidth()) / VideoWidth)) +
                     PictureAreaAllowance();
  if (height == ClientHeight()) return;
  SetClientSize(ClientWidth(), height);
  constexpr int kMostRetries = 25;
  if (height != ClientHeight() && ++sizingRetries_ <= kMostRetries) sizingRetry_->start();
}

}  // namespace captivo
