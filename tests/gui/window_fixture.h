#pragma once

#include <QEvent>
#include <QUrl>
#include <memory>

#include "main_window.h"
#include "scripted_prompts.h"
#include "status_bar.h"
#include "subtitle_window.h"
#include "synchronize.h"
#include "test_support.h"

class QAction;
class QSlider;

namespace captivo {
class SubtitleImage;
class SubtitleLabel;
}  // namespace captivo

namespace captivo::test {

// The three long-lived windows in start-up order, in folders of their own; and the ways a
// user reaches the main window: its menu items, its parts by their names, its timer.
struct WindowFixture {
  // `settings` is written to "set.ini" beside the program first, unless empty.
  explicit WindowFixture(const std::string& settings = {}, bool show = true);
  ~WindowFixture();

  TempDir dir;
  ShellPlaces places;
  ScriptedPrompts prompts;
  std::unique_ptr<TfmMain> fmMain;
  std::unique_ptr<TfmSub> fmSub;
  std::unique_ptr<TfmSynchronize> fmSynchronize;

  std::filesystem::path SettingsFile() const { return places.executableFolder / "set.ini"; }

  // A menu item (and its tool button) by its name, "PlayFile1" or "n003".
  QAction* Action(const char* name) const;
  // Runs a menu item's command.
  void Trigger(const char* name) const;
  // Runs a command handler by its name, as its menu item would even were it disabled.
  void Run(const char* handler) const;
  // Files dragged from the desktop and dropped on the window; whether it took them.
  bool Drop(const QList<QUrl>& files) const;
  QString PanelText(Panel panel) const;
  SubtitleLabel& StripText() const;   // lbSubtitle
  SubtitleImage& StripImage() const;  // imSubtitle
  QSlider& SeekBar() const;           // tbMain
  QWidget& Part(const char* name) const;
  // The subtitle clock runs (tmMovie).
  bool ClockRuns() const;
  // One tick of the subtitle clock, as the timer gives it.
  void Tick() const;
  // The idle update, as the event loop's falling idle runs it.
  void Idle() const;
  // The client area (below the menu bar), as a user resizes it.
  QSize ClientSize() const;
  void ResizeClient(int width, int height) const;
  // Opens `path` through Load Subtitle (a language dialog of a bitmap set is closed).
  void LoadSubtitle(const std::string& path);
  // Opens `name` (written in the temporary folder) through Play File, the fake movie
  // library answering as it is set up; its path.
  QString OpenMovie(const std::string& name);
  // What the strip shows after a tick at the library's position `frame`.
  std::string ShownAt(int32_t frame);
  // A message to the main window from our libraries, dispatched at once.
  void Notify(QEvent::Type type, intptr_t key = 0) const;
};

}  // namespace captivo::test
