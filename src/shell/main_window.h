#pragma once

#include <QMainWindow>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "command_boundary.h"
#include "given_sizes.h"
#include "loaded_subtitles.h"
#include "message_sink.h"
#include "settings.h"
#include "shell_places.h"
#include "subtitle_pair.h"
#include "track_feed.h"
#include "vobsub_library.h"

class QAction;
class QMenu;
class QSlider;
class QSplitter;
class QTimer;

namespace captivo {

class InstanceRegistry;
class LineTiming;
class MessageHookProc;
class MovieControl;
struct MovieTrack;
class MoviePanel;
class PlayerKeys;
class RateMenu;
class ShownSubtitles;
class StatusBar;
class SecondSubtitle;
class SubtitleSaving;
class SubtitleClock;
class SubtitleDisplay;
class SubtitleSurface;
class SyncCommands;
class TfmSub;
class TfmSynchronize;
class TimingControl;
class TimingHistory;
class TimingRecall;
class TrackMenus;
class UserPrompts;

// fmMain: the program's one working window. It holds the parts that keep the program's
// state (the movie, the loaded subtitles, their timing and display, the settings) and
// wires them to its menus, tool bar, seek bar and status bar; every command starts here.
// Its handlers run behind the one command boundary, reached through the window's actions,
// its timer and the messages it is sent. The features with a state of their own are
// classes of their own: SubtitleClock, LineTiming, TimingHistory, TimingRecall, PlayerKeys,
// RateMenu, SyncCommands, SubtitleSaving, SecondSubtitle.
class TfmMain : public QMainWindow, private MessageSink {
  Q_OBJECT
 public:
  TfmMain(ShellPlaces places, UserPrompts& prompts);
  ~TfmMain() override;

  // The two windows created after the main window and used by it.
  void AttachWindows(TfmSub* overlay, TfmSynchronize* synchronize);
  // A file given on the command line (its bytes): opened as a drop.
  void OpenDroppedFile(const std::string& path);

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  // Shell (main_window.cpp, settings_commands.cpp)
  void FormCreate();
  void FormShow();
  void FormCloseQuery();
  void FormClose();
  void FormDestroy();
  void Exit1Click();
  void AlwaysonTop1Click();
  void BrindleHomepage1Click();
  void About2Click();
  void ApplicationEvents1Idle();
  // Files dropped on the window (drop_target.cpp)
  void DropFileTarget1Drop(const std::vector<std::string>& paths);
  // Movie control (movie_commands.cpp)
  void PlayFile1Click();
  void ContinuedPlayFile1Click();
  void Play1Click();
  void Pause1Click();
  void Stop1Click();
  void tmMovieTimer();  // SubtitleClock::Tick
  // Subtitles (subtitle_commands.cpp)
  void LoadSubtitle1Click();
  void ChangeSubtitleLanguage1Click();
  void SetSubtitleFont1Click();
  void AdjustSubtitle1Click();
  void UndoTiming1Click();
  void ExactTimes1Click();
  void ForgetTiming1Click();
  // View sizes and full screen (view_commands.cpp)
  void NN1Click();
  void NN2Click();
  void NN3Click();
  void Splitter1Moved();
  void WMKeyNotify(intptr_t key);
  void WMFullScreenEnded();
  void WMStopPlayback();

 private:
  // The window's parts (main_window.cpp)
  void BuildLayout();
  void BuildMenus();
  void BuildToolBar();
  void BuildMovieControl();
  void MeasureNonClientSize();
  int MenuBarHeight() const;
  void EnforceStripRules();
  // Connects an action to a handler that runs behind the command boundary.
  void Bind(QAction* action, void (TfmMain::*handler)());
  void Run(const std::function<void()>& command);
  CommandRunner Runner();
  // The reader's message boxes, owned by this window.
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;

  // The client area is everything below the menu bar.
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientSize(int width, int height);
  // The height that every size rule adds to the picture's: the tool bar, the seek bar,
  // the splitter, the strip and the status bar, as laid out.
  int PictureAreaAllowance() const;

  // settings_commands.cpp
  void ApplyOnTop();
  void ReadSettings();
  void WriteSettings();
  // movie_commands.cpp
  void ChooseMovie();
  void OpenMovie();
  void MovieOpened();
  // Whether a subtitle file beside the movie was found and opened.
  bool FindCompanionSubtitle();
  // The movie's subtitle track `index` becomes the loaded subtitles; nothing: none shows.
  // Chosen by the user, it starts at the movie's rate, as a file does, and is remembered.
  void ShowTrack(const MovieTrack* track, bool byUser);
  // The time of a movie's track due now for the first subtitle or the second, in
  // milliseconds.
  int64_t TrackTimeDue(Which which = Which::First) const;
  void WMSizing();
  // subtitle_commands.cpp: `path` holds the file name's bytes as the file system has
  // them. A bitmap set opens in `language` when given, else the user chooses.
  void OpenSubtitleFile(const std::string& path, std::optional<int32_t> language = {});
  // The display reads the loaded text with the code page found in its file, if one was;
  // the status bar names it.
  void ShowTextEncoding();
  int32_t SelectVobSubLanguage();
  // view_commands.cpp
  void SetViewScale(double factor);
  // The strip grows to hold a second subtitle above the first (`on`), or back.
  void MakeRoomForSecond(bool on);
  void EnterFullScreen();
  void LeaveFullScreen();

  ShellPlaces places_;
  UserPrompts& prompts_;
  std::unique_ptr<InstanceRegistry> registry_;

  // Shell state
  bool OnTopFlag = true;
  // What set.ini held at the start: the close writes only what changed since.
  Settings settingsAtStart_;
  int NonClientWidth = 0;
  int NonClientHeight = 0;
  // The subtitles and their timing: what is loaded, and what turns a movie position into
  // a subtitle position.
  VobSubLibrary vobSubLibrary_;
  LoadedSubtitles subtitles_;
  LoadedSubtitles secondLines_;  // the second subtitle, shown above the first
  TrackFeed trackFeed_;          // the lines of a movie's track loaded, as they are read
  TimingControl* timing_;
  SubtitlePair subtitlePair_;
  int secondRoom_ = 0;  // what the strip grew by to hold the second subtitle

  // Controls
  QWidget* tlbMain;
  QWidget* Panel1;
  QSlider* tbMain;
  MoviePanel* plMovie;
  QSplitter* Splitter1;
  SubtitleSurface* lbSubParent;
  StatusBar* sbMain;
  TfmSub* fmSub = nullptr;
  TfmSynchronize* fmSynchronize = nullptr;
  // Menu items; a tool button shares its item's action.
  QAction *PlayFile1, *ContinuedPlayFile1, *Play1, *Pause1, *Stop1, *Exit1;
  QAction *LoadSubtitle1, *SetSubtitleFont1, *AdjustSubtitle1, *ChangeSubtitleLanguage1;
  QAction *NN1, *NN2, *NN3, *AlwaysonTop1, *BrindleHomepage1, *About2;
  QAction *NextLineNow1, *PreviousLineNow1, *UndoTiming1, *ExactTimes1, *ForgetTiming1;

  // The movie, and the subtitles' display; the hook goes before the window's parts do.
  MovieControl* movie_;
  std::unique_ptr<MessageHookProc> MessageHook;
  std::unique_ptr<SubtitleDisplay> display_;
  std::unique_ptr<ShownSubtitles> shown_;
  // The features with a state of their own.
  std::unique_ptr<SubtitleClock> clock_;
  std::unique_ptr<LineTiming> lineTiming_;
  std::unique_ptr<TimingRecall> recall_;
  std::unique_ptr<TimingHistory> history_;
  std::unique_ptr<PlayerKeys> playerKeys_;
  std::unique_ptr<RateMenu> rateMenu_;
  std::unique_ptr<TrackMenus> trackMenus_;
  std::unique_ptr<SyncCommands> sync_;
  std::unique_ptr<SubtitleSaving> saving_;
  std::unique_ptr<SecondSubtitle> secondSubtitle_;
  // A window manager ignores size requests while the user drags the frame: the height
  // rule is asked for again until it holds, for a few seconds after the last resize.
  QTimer* sizingRetry_;
  int sizingRetries_ = 0;
  bool sizing_ = false;  // the rule is running
  // Where the client area was when full screen hid the window.
  std::optional<QPoint> placeBeforeFullScreen_;
  GivenSizes givenSizes_;  // the sizes the program asked for, and the compositor's first
};

}  // namespace captivo
