#pragma once

#include <QMainWindow>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "message_sink.h"
#include "remembered_timing.h"
#include "settings.h"
#include "shell_places.h"
#include "subtitle_store.h"
#include "subtitle_timing.h"
#include "two_point_timing.h"

class QAction;
class QActionGroup;
class QMenu;
class QSlider;
class QSplitter;
class QTimer;

namespace captivo {

class BitmapSubtitles;
class InstanceRegistry;
class MessageHookProc;
class MovieControl;
class MoviePanel;
class StatusBar;
class SubtitleDisplay;
class SubtitleSurface;
class TfmSub;
class TfmSynchronize;
class UserPrompts;

// fmMain: the program's one working window. It owns the parts that hold the program's
// state (the movie, the subtitles, their display, the settings) and wires them to its
// menus, tool bar, seek bar and status bar; every command starts here. Its handlers are
// the window's own: they run behind the one command boundary, and are reached through the
// window's actions, its timer and the messages it is sent.
// The subtitle frame rates of the menu's fixed items, by their tag (0 is the movie's):
// the nearest doubles of the captions, not 24000/1001 or 30000/1001.
inline constexpr double kMenuFrameRates[6] = {0, 23.976, 24, 25, 29.97, 30};

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
  void tmMovieTimer();  // subtitle_clock.cpp
  // Subtitles (subtitle_commands.cpp, timing_commands.cpp, display_commands.cpp)
  void LoadSubtitle1Click();
  void ChangeSubtitleLanguage1Click();
  void SetSubtitleFont1Click();
  void n005Click(int tag);
  void AdjustSubtitle1Click();
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
  // The reader's message boxes, owned by this window.
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;

  // The client area is everything below the menu bar.
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientSize(int width, int height);
  // The heights that every size rule adds to the picture's: the status bar, the strip,
  // the splitter and the seek bar.
  int PictureAreaAllowance() const;

  void ApplyOnTop();
  void ReadSettings();
  void WriteSettings();
  void ChooseMovie();
  void OpenMovie();
  void MovieOpened();
  void FindCompanionSubtitle();
  void WMSizing();
  // `path` holds the file name's bytes as the file system has them. A bitmap set opens
  // in `language` when given, else the user chooses.
  void OpenSubtitleFile(const std::string& path, std::optional<int32_t> language = {});
  void SelectVobSubLanguage();
  void ResetSubtitleFrameRate();
  // A subtitle frame rate that is not a menu item's: no item is checked.
  void SetOwnSubtitleFrameRate(double rate);
  void SetOffset(int32_t milliseconds);

  // The keys every player has (player_commands.cpp)
  void BuildPlayerCommands(QMenu* movie);
  void ChangeVolume(int step);
  void Mute1Click();
  void PauseOrResume();

  // Timing from the lines the user hears (line_timing_commands.cpp): the offset that
  // starts the next or the last line now; two such marks far enough apart fix the rate.
  void LineStartsNow(bool next);
  void MarkLine(const TimingMark& mark);

  // The timing remembered per movie (remembered_timing_commands.cpp)
  bool RestoreTiming();
  void RememberTiming();
  void SetSubtitleView(bool bitmap);
  void ShowSubtitleText(std::string_view text);
  void SetViewScale(double factor);
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
  // Subtitles: the text store and its unit, whether the bitmap library holds them instead,
  // and what turns a movie position into a subtitle position.
  SubtitleTiming Timing;  // the offset as the Synchronize dialog last told it
  SubtitleStore Subtitles;
  bool VobSubMode = false;
  int32_t VobSubLanguage = 0;
  std::optional<TimingMark> firstMark_;  // the first line timed since the subtitles opened
  TimingMemory timingMemory_;

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
  QActionGroup* SubtitleFrameRate1;  // the six exclusive rate items, by their tag
  QAction *VolumeUp1, *VolumeDown1, *Mute1, *NextLineNow1, *PreviousLineNow1;

  // The movie, and the subtitles' display; the hook goes before the window's parts do.
  MovieControl* movie_;
  std::unique_ptr<MessageHookProc> MessageHook;
  std::unique_ptr<SubtitleDisplay> display_;
  std::unique_ptr<BitmapSubtitles> bitmaps_;
  // A window manager ignores size requests while the user drags the frame: the height
  // rule is asked for again until it holds, for a few seconds after the last resize.
  QTimer* sizingRetry_;
  int sizingRetries_ = 0;
};

}  // namespace captivo
