#include "main_window.h"

#include <QAbstractEventDispatcher>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSlider>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "about.h"
#include "hook.h"
#include "instance_registry.h"
#include "line_timing.h"
#include "maker.h"
#include "message_hook.h"
#include "movie_control.h"
#include "movie_panel.h"
#include "player_keys.h"
#include "rate_menu.h"
#include "second_subtitle.h"
#include "shown_subtitles.h"
#include "status_bar.h"
#include "subtitle_clock.h"
#include "subtitle_display.h"
#include "subtitle_saving.h"
#include "subtitle_surface.h"
#include "subtitle_window.h"
#include "sync_commands.h"
#include "synchronize.h"
#include "timing_control.h"
#include "timing_history.h"
#include "timing_recall.h"
#include "toolbar_images.h"
#include "track_menus.h"
#include "user_prompts.h"
#include "window_messages.h"

namespace captivo {

namespace {

constexpr int kClientWidth = 550;
constexpr int kClientHeight = 350;

// The tool bar shows no hints: a button takes its action's text as a tooltip whenever
// the action changes, so the tooltip is refused where it would be shown.
class HintlessToolButton : public QToolButton {
 public:
  using QToolButton::QToolButton;

 protected:
  bool event(QEvent* event) override {
    return event->type() == QEvent::ToolTip || QToolButton::event(event);
  }
};

}  // namespace

TfmMain::TfmMain(ShellPlaces places, UserPrompts& prompts)
    // The hints are the whole truth (no maximise button): the toolkit's customised frame.
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      places_(std::move(places)),
      prompts_(prompts),
      subtitles_(vobSubLibrary_),
      secondLines_(vobSubLibrary_),
      timing_(new TimingControl(this)),
      subtitlePair_{subtitles_, secondLines_, *timing_},
      givenSizes_(QGuiApplication::platformName().startsWith("wayland")) {
  setObjectName("fmMain");
  setWindowTitle("Captivo");
  QFont font("Arial");
  font.setPixelSize(11);
  setFont(font);
  BuildLayout();
  BuildMovieControl();
  recall_ = std::make_unique<TimingRecall>(
      TimingMemory(places_.stateFolder / "timing"), *movie_, *timing_, subtitlePair_, *sbMain,
      [this](const std::string& path, std::optional<int32_t> language) {
        OpenSubtitleFile(path, language);
      },
      [this](const RememberedSecond& second, RateChoice rate) {
        if (second.track)
          secondSubtitle_->OpenTrack(movie_->FileName(), *second.track, second.offsetMilliseconds,
                                     rate);
        else
          secondSubtitle_->Open(second.path, second.offsetMilliseconds, rate);
      });
  // A change the user makes to the timing re-times the movie: it is remembered with it.
  history_ = std::make_unique<TimingHistory>(*timing_, subtitlePair_, [this] { recall_->Touch(); });
  lineTiming_ = std::make_unique<LineTiming>(*movie_, *timing_, *history_, subtitlePair_, *sbMain);
  BuildMenus();
  BuildToolBar();
  SetClientSize(kClientWidth, kClientHeight);
  const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
  move(desktop.center() - rect().center());
  FormCreate();
}

TfmMain::~TfmMain() {
  FormDestroy();
}

void TfmMain::AttachWindows(TfmSub* overlay, TfmSynchronize* synchronize) {
  fmSub = overlay;
  fmSynchronize = synchronize;
  display_ = std::make_unique<SubtitleDisplay>(*lbSubParent, *overlay);
  shown_ = std::make_unique<ShownSubtitles>(*display_);
  clock_ =
      std::make_unique<SubtitleClock>(*movie_, *timing_, subtitlePair_, *shown_, *tbMain, *sbMain);
  // In full screen, where the status bar is out of sight, its notes show over the picture.
  connect(sbMain, &StatusBar::noteShown, this,
          [this](const QString& text) { display_->ShowNote(text); });
  // The dialog shows the offset in force and asks for the user's changes.
  connect(synchronize, &TfmSynchronize::offsetRequested, timing_,
          [this](int milliseconds) { timing_->SetOffset(milliseconds); });
  connect(timing_, &TimingControl::offsetChanged, synchronize, &TfmSynchronize::ShowOffset);
}

void TfmMain::BuildLayout() {
  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  tlbMain = new QWidget(client);
  tlbMain->setObjectName("tlbMain");
  tlbMain->setFixedHeight(29);

  Panel1 = new QWidget(client);
  Panel1->setObjectName("Panel1");
  Panel1->setFixedHeight(17);
  tbMain = new QSlider(Qt::Horizontal, Panel1);
  tbMain->setObjectName("tbMain");
  tbMain->setRange(0, 1000);
  tbMain->setTickPosition(QSlider::NoTicks);
  tbMain->setFocusPolicy(Qt::NoFocus);
  tbMain->setFixedHeight(17);
  tbMain->setStyleSheet("QSlider::handle:horizontal { width: 10px; }");
  auto* seekLayout = new QVBoxLayout(Panel1);
  seekLayout->setContentsMargins(0, 0, 0, 0);
  seekLayout->addWidget(tbMain);

  Splitter1 = new QSplitter(Qt::Vertical, client);
  Splitter1->setObjectName("Splitter1");
  Splitter1->setHandleWidth(4);
  Splitter1->setOpaqueResize(false);  // only a line follows the mouse
  Splitter1->setChildrenCollapsible(true);
  plMovie = new MoviePanel(Splitter1);
  lbSubParent = new SubtitleSurface(Splitter1);
  lbSubParent->setObjectName("lbSubParent");
  lbSubParent->installEventFilter(this);
  lbSubParent->image->setObjectName("imSubtitle");
  lbSubParent->label->setObjectName("lbSubtitle");
  lbSubParent->label->SetText("Subtitle will display here !!!");
  Splitter1->addWidget(plMovie);
  Splitter1->addWidget(lbSubParent);
  Splitter1->setStretchFactor(0, 1);
  Splitter1->setStretchFactor(1, 0);
  Splitter1->setSizes({198, 83});
  connect(Splitter1, &QSplitter::splitterMoved, this, [this] {
    EnforceStripRules();
    Run([this] { Splitter1Moved(); });
  });

  sbMain = new StatusBar(client);

  layout->addWidget(tlbMain);
  layout->addWidget(Panel1);
  layout->addWidget(Splitter1, 1);
  layout->addWidget(sbMain);
  setCentralWidget(client);

  sizingRetry_ = new QTimer(this);
  sizingRetry_->setSingleShot(true);
  sizingRetry_->setInterval(200);
  connect(sizingRetry_, &QTimer::timeout, this, [this] { Run([this] { WMSizing(); }); });

  // The idle update runs whenever the event loop is about to wait for more events.
  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
          &TfmMain::ApplicationEvents1Idle);
}

void TfmMain::BuildMenus() {
  auto item = [](QMenu* menu, QAction*& action, const char* name, const char* caption,
                 QKeySequence shortcut = {}) {
    action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
  };
  QMenu* movie = menuBar()->addMenu("&Movie");
  item(movie, PlayFile1, "PlayFile1", "&Play File ...", QKeySequence("Ctrl+O"));
  item(movie, ContinuedPlayFile1, "ContinuedPlayFile1", "Continued Play File ...");
  item(movie, Play1, "Play1", "Play");
  item(movie, Pause1, "Pause1", "Pause", QKeySequence("Ctrl+P"));
  item(movie, Stop1, "Stop1", "Stop", QKeySequence("Ctrl+S"));
  playerKeys_ = std::make_unique<PlayerKeys>(movie, this, *movie_, *timing_, *sbMain, Runner());
  movie->addSeparator();
  item(movie, Exit1, "Exit1", "&Exit");

  QMenu* subtitle = menuBar()->addMenu("&Subtitle");
  item(subtitle, LoadSubtitle1, "LoadSubtitle1", "&Load Subtitle ...", QKeySequence("Ctrl+L"));
  subtitle->addSeparator();
  item(subtitle, SetSubtitleFont1, "SetSubtitleFont1", "Set Subtitle Font ...");
  subtitle->addSeparator();
  rateMenu_ = std::make_unique<RateMenu>(subtitle, *timing_, *history_, *sbMain, Runner());
  subtitle->addSeparator();
  item(subtitle, AdjustSubtitle1, "AdjustSubtitle1", "Synchronize Subtitle");
  item(subtitle, NextLineNow1, "NextLineNow1", "Next Line Starts Now",
       QKeySequence("Ctrl+Shift+N"));
  item(subtitle, PreviousLineNow1, "PreviousLineNow1", "Previous Line Starts Now",
       QKeySequence("Ctrl+Shift+P"));
  connect(NextLineNow1, &QAction::triggered, this,
          [this] { Run([this] { lineTiming_->LineStartsNow(true); }); });
  connect(PreviousLineNow1, &QAction::triggered, this,
          [this] { Run([this] { lineTiming_->LineStartsNow(false); }); });
  subtitle->addSeparator();
  item(subtitle, ChangeSubtitleLanguage1, "ChangeSubtitleLanguage1", "Change Subtitle Language");
  // What goes beyond the menu's first items comes after them, so that their places (and
  // the keys that reach them) stay.
  subtitle->addSeparator();
  item(subtitle, ExactTimes1, "ExactTimes1", "Exact Times");
  ExactTimes1->setCheckable(true);
  item(subtitle, UndoTiming1, "UndoTiming1", "Undo Timing", QKeySequence("Ctrl+Z"));
  item(subtitle, ForgetTiming1, "ForgetTiming1", "Forget This Movie's Timing");
  subtitle->addSeparator();
  secondSubtitle_ = std::make_unique<SecondSubtitle>(
      subtitle,
      SecondSubtitle::Parts{this, prompts_, secondLines_, *timing_, *history_, *sbMain, *this},
      [this](bool on) { MakeRoomForSecond(on); }, [this] { recall_->Touch(); }, Runner());
  sync_ = std::make_unique<SyncCommands>(subtitle, *movie_, *timing_, *history_, subtitlePair_,
                                         *sbMain, Runner());
  saving_ = std::make_unique<SubtitleSaving>(
      this, prompts_, subtitlePair_, *movie_, *timing_, *sbMain,
      [this](std::string_view bytes) { return display_->ReadAsShown(bytes); });
  QAction* saveAs = subtitle->addAction("Save Subtitle As ...");
  saveAs->setObjectName("SaveSubtitleAs1");
  saveAs->setShortcut(QKeySequence("Ctrl+Shift+S"));
  connect(saveAs, &QAction::triggered, this, [this] { Run([this] { saving_->SaveAs(); }); });
  subtitle->addSeparator();
  movie->addSeparator();
  trackMenus_ = std::make_unique<TrackMenus>(
      movie, subtitle, *movie_,
      [this](const MovieTrack* track, bool byUser) { ShowTrack(track, byUser); }, Runner());
  connect(trackMenus_.get(), &TrackMenus::audioChosen, this,
          [this](int32_t index) { recall_->AudioChosen(index); });
  connect(trackMenus_.get(), &TrackMenus::subtitleTracksListed, this,
          [this](const std::vector<MovieTrack>& tracks) {
            secondSubtitle_->ShowTracks(movie_->FileName(), tracks);
          });

  QMenu* view = menuBar()->addMenu("&View");
  item(view, NN1, "NN1", "Origin Size");
  item(view, NN2, "NN2", "Double Size");
  item(view, NN3, "NN3", "Full Screen", QKeySequence(Qt::Key_F4));
  item(view, AlwaysonTop1, "AlwaysonTop1", "Always on Top");
  AlwaysonTop1->setCheckable(true);

  QMenu* about = menuBar()->addMenu("&About");
  item(about, BrindleHomepage1, "BrindleHomepage1", "&Brindle Homepage");
  about->addSeparator();
  item(about, About2, "About2", "&About ...");

  Bind(PlayFile1, &TfmMain::PlayFile1Click);
  Bind(ContinuedPlayFile1, &TfmMain::ContinuedPlayFile1Click);
  Bind(Play1, &TfmMain::Play1Click);
  Bind(Pause1, &TfmMain::Pause1Click);
  Bind(Stop1, &TfmMain::Stop1Click);
  Bind(Exit1, &TfmMain::Exit1Click);
  Bind(LoadSubtitle1, &TfmMain::LoadSubtitle1Click);
  Bind(ChangeSubtitleLanguage1, &TfmMain::ChangeSubtitleLanguage1Click);
  Bind(SetSubtitleFont1, &TfmMain::SetSubtitleFont1Click);
  Bind(AdjustSubtitle1, &TfmMain::AdjustSubtitle1Click);
  Bind(UndoTiming1, &TfmMain::UndoTiming1Click);
  Bind(ExactTimes1, &TfmMain::ExactTimes1Click);
  Bind(ForgetTiming1, &TfmMain::ForgetTiming1Click);
  Bind(NN1, &TfmMain::NN1Click);
  Bind(NN2, &TfmMain::NN2Click);
  Bind(NN3, &TfmMain::NN3Click);
  Bind(AlwaysonTop1, &TfmMain::AlwaysonTop1Click);
  Bind(BrindleHomepage1, &TfmMain::BrindleHomepage1Click);
  Bind(About2, &TfmMain::About2Click);
}

void TfmMain::BuildToolBar() {
  struct Button {
    const char* name;
    int left;
    QAction* action;
  } buttons[] = {
      {"tbtnOpenFile", 0, PlayFile1},
      {"tbtnPlay", 27, Play1},
      {"tbtnPause", 54, Pause1},
      {"tbtnStop", 81, Stop1},
      {"tbtnLoadSub", 116, LoadSubtitle1},
      {"tbtnSubFont", 143, SetSubtitleFont1},
      {"tbtnNN1", 178, NN1},
      {"tbtnNN2", 205, NN2},
      {"tbtnNN3", 232, NN3},
  };
  int image = 0;
  for (const Button& b : buttons) {
    b.action->setIcon(ToolBarImage(image++));
    b.action->setIconVisibleInMenu(false);
    auto* button = new HintlessToolButton(tlbMain);
    button->setObjectName(b.name);
    button->setDefaultAction(b.action);
    button->setAutoRaise(true);
    button->setIconSize(QSize(20, 20));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setGeometry(b.left, 0, 27, 26);
  }
}

void TfmMain::Bind(QAction* action, void (TfmMain::*handler)()) {
  connect(action, &QAction::triggered, this,
          [this, handler] { Run([this, handler] { (this->*handler)(); }); });
}

void TfmMain::Run(const std::function<void()>& command) {
  RunCommand(prompts_, this, command);
}

CommandRunner TfmMain::Runner() {
  return [this](const std::function<void()>& command) { Run(command); };
}

void TfmMain::BuildMovieControl() {
  movie_ = new MovieControl(plMovie, this);
  connect(movie_, &MovieControl::tick, this, [this] { Run([this] { tmMovieTimer(); }); });
  connect(movie_, &MovieControl::openFailed, this, [this] {
    prompts_.ShowMessage(this, "Error",
                         QString("Movie file error or DivX codec not installed properly!\r"
                                 "Please go ") +
                             kMakerWebAddress + " for more information.",
                         QMessageBox::Critical);
  });
  connect(movie_, &MovieControl::frameRateRead, this, [this](double rate) {
    shown_->ForgetDrawn();
    timing_->SetMovieFrameRate(rate);
  });
  connect(movie_, &MovieControl::frameRateFailed, this, [this] {
    prompts_.ShowMessage(this, "Error", "Can not get the frame rate of the movie",
                         QMessageBox::Critical);
  });
  connect(movie_, &MovieControl::opened, this, &TfmMain::MovieOpened);
  // plMovieResize: the picture was fitted to the panel; the next tick draws it anew.
  connect(movie_, &MovieControl::pictureRefitted, this, [this] { shown_->ForgetDrawn(); });
}

void TfmMain::FormCreate() {
  ReadSettings();
  ApplyOnTop();
  setAcceptDrops(true);  // DropFileTarget1
  MeasureNonClientSize();
  MessageHook = std::make_unique<MessageHookProc>(tbMain, *movie_);
  qApp->installEventFilter(MessageHook.get());
  SetHook();
}

void TfmMain::MeasureNonClientSize() {
  // The client area is everything below the menu bar; the rest, with the window
  // manager's frame where it is known, is the non-client size.
  const QRect frame = frameGeometry();
  NonClientWidth = frame.width() - width();
  NonClientHeight = frame.height() - ClientHeight();
}

void TfmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // A shown window has its menu bar laid out, and soon its frame: measure again.
  MeasureNonClientSize();
  QTimer::singleShot(0, this, [this] { MeasureNonClientSize(); });
  Run([this] { FormShow(); });
}

void TfmMain::FormShow() {
  LeaveFullScreen();
}

bool TfmMain::event(QEvent* event) {
  // Our libraries' notifications.
  if (event->type() == kKeyNotify) {
    const intptr_t key = static_cast<WindowMessage*>(event)->WParam;
    Run([this, key] { WMKeyNotify(key); });
  } else if (event->type() == kFullScreenEnded) {
    Run([this] { WMFullScreenEnded(); });
  } else if (event->type() == kStopPlayback) {
    Run([this] { WMStopPlayback(); });
  } else {
    return QMainWindow::event(event);
  }
  return true;
}

void TfmMain::closeEvent(QCloseEvent* event) {
  Run([this] { FormCloseQuery(); });  // the close is always allowed
  Run([this] { FormClose(); });
  event->accept();
  QCoreApplication::quit();  // the main window's close ends the program
}

void TfmMain::FormCloseQuery() {
  if (movie_->IsRunning()) Stop1Click();
}

void TfmMain::FormClose() {
  recall_->Remember();
  subtitles_.Clear();
  FreeHook();
  registry_.reset();
  WriteSettings();
}

void TfmMain::Exit1Click() {
  close();
}

void TfmMain::AlwaysonTop1Click() {
  OnTopFlag = !OnTopFlag;
  ApplyOnTop();
}

void TfmMain::ApplyOnTop() {
  const bool visible = isVisible();
  const QRect geometry = this->geometry();
  setWindowFlag(Qt::WindowStaysOnTopHint, OnTopFlag);
  // Changing a window's flags hides it; it comes back where it was.
  if (visible) {
    setGeometry(geometry);
    show();
  }
  AlwaysonTop1->setChecked(OnTopFlag);
}

void TfmMain::BrindleHomepage1Click() {
  QDesktopServices::openUrl(QUrl(kMakerWebAddress));
}

void TfmMain::About2Click() {
  TfmAbout about(this);
  prompts_.Exec(&about);
}

void TfmMain::ApplicationEvents1Idle() {
  // A name alone (the first open failed, or opened no movie) is nothing to play.
  const bool open = movie_->IsOpen();
  const bool running = open && movie_->IsRunning();
  PlayFile1->setEnabled(true);
  Play1->setEnabled(open && !running);
  Pause1->setEnabled(running);
  Stop1->setEnabled(running);
  for (QAction* view : {NN1, NN2, NN3}) view->setEnabled(running);
  ContinuedPlayFile1->setEnabled(movie_->Duration() != 0);
  ChangeSubtitleLanguage1->setEnabled(subtitles_.HasLanguages());
}

void TfmMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  sizingRetries_ = 0;
  Run([this] { WMSizing(); });
}

void TfmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // The window cannot be maximised; some window managers offer it all the same.
  if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized))
    setWindowState(windowState() & ~Qt::WindowMaximized);
}

int TfmMain::ClientWidth() const {
  return width();
}

int TfmMain::ClientHeight() const {
  return height() - MenuBarHeight();
}

void TfmMain::SetClientSize(int width, int height) {
  givenSizes_.Asked(QSize(width, height + MenuBarHeight()));
  resize(width, height + MenuBarHeight());
}

int TfmMain::MenuBarHeight() const {
  return menuBar()->isVisible() ? menuBar()->height() : menuBar()->sizeHint().height();
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
  // lbSubParentResize: the strip's image is renewed at the new size; the next tick draws
  // the picture anew.
  if (watched == lbSubParent && event->type() == QEvent::Resize && shown_) shown_->ForgetDrawn();
  return QMainWindow::eventFilter(watched, event);
}

void TfmMain::EnforceStripRules() {
  // The strip never leaves less than 30 pixels to the picture, and is never between 1
  // and 30 pixels high: a drag to 30 or less closes it.
  const QList<int> sizes = Splitter1->sizes();
  const int total = sizes[0] + sizes[1];
  int strip = std::min(sizes[1], total - 30);
  if (strip <= 30) strip = 0;
  if (strip != sizes[1]) Splitter1->setSizes({total - strip, strip});
}

void TfmMain::tmMovieTimer() {
  trackFeed_.TakeInto(subtitles_.Store(), TrackTimeDue());
  secondSubtitle_->TakeLines(TrackTimeDue(Which::Second));
  clock_->Tick();
}

int64_t TfmMain::TrackTimeDue(Which which) const {
  // The movie's time, moved by the offset (the subtitle rate leaves a track's times alone
  // near enough for where to read from).
  const SubtitleTiming& timing = timing_->Of(which);
  if (timing.movieFrameRate <= 0) return 0;
  const double ms = movie_->Position() * 1000.0 / timing.movieFrameRate + timing.offsetMilliseconds;
  return ms > 0 ? static_cast<int64_t>(ms) : 0;
}

void TfmMain::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) {
  prompts_.ShowMessage(
      this, QString::fromStdString(title), QString::fromStdString(text),
      icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::Critical);
}

}  // namespace captivo
