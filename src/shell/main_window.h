#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "message_sink.h"
#include "shell_places.h"
#include "subtitle_store.h"

class QAction;
class QSlider;
class QSplitter;
class QTimer;

namespace captivo {

class InstanceRegistry;
class MessageHookProc;
class StatusBar;
class SubtitleDisplay;
class SubtitleImage;
class SubtitleLabel;
class SubtitleSurface;
class TfmSub;
class TfmSynchronize;
class UserPrompts;

// fmMain: the program's one working window. It holds all of the program's state as plain
// fields; its handlers are defined in the folder of the subsystem that owns them.
// The overlay's top in full screen: under a picture as wide as the screen, at least 80
// pixels of it on screen.
int32_t OverlayTop(int32_t screenWidth, int32_t screenHeight, int32_t videoWidth,
                   int32_t videoHeight);

class TfmMain : public QMainWindow, public MessageSink {
 public:
  TfmMain(ShellPlaces places, UserPrompts& prompts);
  ~TfmMain() override;

  // The two windows created after the main window and used by it.
  void AttachWindows(TfmSub* overlay, TfmSynchronize* synchronize);

  // Shell (main_window.cpp, settings_commands.cpp)
  bool OnTopFlag = true;
  int NonClientWidth = 0;
  int NonClientHeight = 0;
  void FormCreate();
  void FormShow();
  void FormCloseQuery();
  void FormClose();
  void Exit1Click();
  void AlwaysonTop1Click();
  void ApplyOnTop();
  void BrindleHomepage1Click();
  void About2Click();
  void ReadSettings();
  void WriteSettings();
  void ApplicationEvents1Idle();

  // Subtitle store and loading (subtitle_commands.cpp)
  SubtitleStore Subtitles;
  bool VobSubMode = false;
  void LoadSubtitle1Click();
  // `path` holds the file name's bytes as the file system has them.
  void OpenSubtitleFile(const std::string& path);

  // Files dropped on the window (drop_target.cpp); paths are the names' bytes.
  void DropFileTarget1Drop(const std::vector<std::string>& paths);
  // A file given on the command line: opened as a drop, behind the command boundary.
  void OpenDroppedFile(const std::string& path);
  void FormDestroy();

  // Player state and movie control (playback/movie_control.cpp, playback/subtitle_clock.cpp)
  std::string MovieFileName;  // the file name's bytes
  // The library holds a movie that opened with a frame rate: what Play, the clock and
  // the view sizes need.
  bool MovieOpen = false;
  double MovieFrameRate = 0;
  double SubtitleFrameRate = 0;
  int32_t MovieDuration = 0;
  int32_t ContinuedOffset = 0;
  int32_t VideoWidth = 0;
  int32_t VideoHeight = 0;
  bool SeekDragging = false;
  void PlayFile1Click();
  void ContinuedPlayFile1Click();
  void ChooseMovie();
  void OpenMovie();
  void FindCompanionSubtitle();
  void Play1Click();
  void Pause1Click();
  void Stop1Click();
  void plMovieResize();
  void WMSizing();
  void tmMovieTimer();

  // Synchronization and frame rate (playback/frame_rate_menu.cpp)
  void n005Click(int tag);
  void ResetSubtitleFrameRate();
  void AdjustSubtitle1Click();

  // Display (display/text_display.cpp, display/bitmap_display.cpp, display/view_sizes.cpp)
  int32_t LastVobSubIndex = -1;
  bool FullScreenActive = false;
  void SetSubtitleView(bool bitmap);
  void ShowSubtitleText(std::string_view text);
  void SetSubtitleFont1Click();
  void DrawVobSubFrame();
  void ClearSubtitleImage();
  void SelectVobSubLanguage();
  void ChangeSubtitleLanguage1Click();
  void Splitter1Moved();
  void NN1Click();
  void NN2Click();
  void NN3Click();
  void SetViewScale(double factor);
  void EnterFullScreen();
  void LeaveFullScreen();
  void WMKeyNotify(intptr_t key);
  void WMFullScreenEnded();
  void WMStopPlayback();

  // The client area is everything below the menu bar.
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientSize(int width, int height);
  // The heights that every size rule adds to the picture's: the status bar, the strip,
  // the splitter and the seek bar.
  int PictureAreaAllowance() const;

  // The reader's message boxes, owned by this window.
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;

  // Controls
  QWidget* tlbMain;
  QWidget* Panel1;
  QSlider* tbMain;
  QWidget* plMovie;
  QSplitter* Splitter1;
  SubtitleSurface* lbSubParent;
  SubtitleImage* imSubtitle;
  SubtitleLabel* lbSubtitle;
  StatusBar* sbMain;
  QTimer* tmMovie;
  TfmSub* fmSub = nullptr;
  TfmSynchronize* fmSynchronize = nullptr;

  // Menu items; a tool button shares its item's action.
  QAction *PlayFile1, *ContinuedPlayFile1, *Play1, *Pause1, *Stop1, *Exit1;
  QAction *LoadSubtitle1, *SetSubtitleFont1, *AdjustSubtitle1, *ChangeSubtitleLanguage1;
  QAction *SameAsMovie1, *n001, *n002, *n003, *n004, *n005;
  QAction *NN1, *NN2, *NN3, *AlwaysonTop1, *BrindleHomepage1, *About2;

  UserPrompts& Prompts() { return prompts_; }
  const ShellPlaces& Places() const { return places_; }

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildLayout();
  void BuildMenus();
  void BuildToolBar();
  void MeasureNonClientSize();
  int MenuBarHeight() const;
  void EnforceStripRules();
  // Connects an action to a handler that runs behind the command boundary.
  void Bind(QAction* action, void (TfmMain::*handler)());
  void Run(const std::function<void()>& command);

  ShellPlaces places_;
  UserPrompts& prompts_;
  std::unique_ptr<InstanceRegistry> registry_;
  // MessageHookProc, watching the whole application while this window lives; it goes
  // before the window's parts do.
  std::unique_ptr<MessageHookProc> MessageHook;
  // A window manager ignores size requests while the user drags the frame: the height
  // rule is asked for again until it holds, for a few seconds after the last resize.
  QTimer* sizingRetry_;
  int sizingRetries_ = 0;
  // The strip and the overlay, shown and cleared as one.
  std::unique_ptr<SubtitleDisplay> display_;
  QAction* frameRateItems_[6];
};

}  // namespace captivo
