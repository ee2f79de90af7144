#include <unistd.h>
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include "about.h"
#include "fake_movix.h"
#include "profile_file.h"
#include "status_bar.h"
#include "subtitle_label.h"
#include "test_processes.h"
#include "window_fixture.h"

namespace captivo::test {

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startsAsDrawn();
  void menusCarryTheirCaptionsShortcutsAndTags();
  void toolButtonsShareTheirItemsActions();
  void idleUpdateEnablesByPlayerState();
  void statusBarKeepsItsPanelWidths();
  void settingsDecideAlwaysOnTop_data();
  void settingsDecideAlwaysOnTop();
  void alwaysOnTopTogglesAndIsSavedAtClose();
  void settingsKeepOtherSectionsAndGoToTheConfigFolder();
  void failedSettingsWriteIsShownAndTheCloseGoesOn();
  void instancesClosingOneAfterAnotherKeepEachOthersChanges();
  void staleInstanceIsEndedButAStrangerSurvives();
  void frameRateMenuSetsRateChecksAndPanel();
  void loadSubtitleFillsTheStoreAndResetsTheRate();
  void loadSubtitleFailuresShowTheirBoxes();
  void aLegacyFileShowsInTheCodePageFoundInIt();
  void splitterKeepsTheStripRules();
  void aboutBoxIsDrawnAsSpecified();
};

void MainWindowTest::startsAsDrawn() {
  WindowFixture f;
  TfmMain& w = *f.fmMain;
  QCOMPARE(w.windowTitle(), QString("Captivo"));
  QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
  // A window manager may offer a maximise all the same: it is undone.
  w.setWindowState(Qt::WindowMaximized);
  QCoreApplication::processEvents();
  QVERIFY(!(w.windowState() & Qt::WindowMaximized));
  QCOMPARE(f.ClientSize(), QSize(550, 350));
  QCOMPARE(f.Part("tlbMain").height(), 29);
  QCOMPARE(f.Part("Panel1").height(), 17);
  QCOMPARE(f.Part("plMovie").size(), QSize(550, 198));
  auto& splitter = static_cast<QSplitter&>(f.Part("Splitter1"));
  QCOMPARE(splitter.handleWidth(), 4);
  QCOMPARE(f.Part("lbSubParent").size(), QSize(550, 83));
  QCOMPARE(f.StripText().size(), QSize(550, 83));
  QCOMPARE(f.Part("sbMain").height(), 19);
  QVERIFY(!splitter.opaqueResize());
  QCOMPARE(f.SeekBar().minimum(), 0);
  QCOMPARE(f.SeekBar().maximum(), 1000);
  QCOMPARE(f.SeekBar().value(), 0);
  QCOMPARE(f.SeekBar().tickPosition(), QSlider::NoTicks);
  QCOMPARE(f.SeekBar().focusPolicy(), Qt::NoFocus);
  QCOMPARE(f.StripText().Text(), std::string("Subtitle will display here !!!"));
  QCOMPARE(f.StripText().Font().color, QColor(Qt::white));
  QCOMPARE(f.StripText().Font().font.family(), QString("Arial"));
  QCOMPARE(f.StripText().Font().font.pixelSize(), 19);
  QVERIFY(f.StripText().isVisible());
  QVERIFY(!f.StripImage().isVisible());
  QVERIFY(!f.ClockRuns());
  QCOMPARE(w.findChild<QTimer*>("tmMovie")->interval(), 100);
  for (Panel panel : {Panel::Position, Panel::Length, Panel::FrameRate, Panel::PictureSize,
                      Panel::SubtitleFrameRate})
    QVERIFY(f.PanelText(panel).isEmpty());
  // First start with no settings: on top, and checked.
  QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
  QVERIFY(f.Action("AlwaysonTop1")->isChecked());
  // Outside full screen the overlay is out of sight.
  QVERIFY(!f.fmSub->isVisible());
  QCOMPARE(f.fmSub->size(), QSize(1016, 173));
}

void MainWindowTest::menusCarryTheirCaptionsShortcutsAndTags() {
  WindowFixture f;
  TfmMain& w = *f.fmMain;
  QStringList menus;
  for (QAction* menu : w.menuBar()->actions()) menus << menu->text();
  QCOMPARE(menus, QStringList({"&Movie", "&Subtitle", "&View", "&About"}));
  const struct {
    QAction* item;
    const char* caption;
    const char* shortcut;
  } items[] = {
      {f.Action("PlayFile1"), "&Play File ...", "Ctrl+O"},
      {f.Action("ContinuedPlayFile1"), "Continued Play File ...", ""},
      {f.Action("Play1"), "Play", ""},
      {f.Action("Pause1"), "Pause", "Ctrl+P"},
      {f.Action("Stop1"), "Stop", "Ctrl+S"},
      {f.Action("Exit1"), "&Exit", ""},
      {f.Action("LoadSubtitle1"), "&Load Subtitle ...", "Ctrl+L"},
      {f.Action("SetSubtitleFont1"), "Set Subtitle Font ...", ""},
      {f.Action("AdjustSubtitle1"), "Synchronize Subtitle", ""},
      {f.Action("ChangeSubtitleLanguage1"), "Change Subtitle Language", ""},
      {f.Action("NN1"), "Origin Size", ""},
      {f.Action("NN2"), "Double Size", ""},
      {f.Action("NN3"), "Full Screen", "F4"},
      {f.Action("AlwaysonTop1"), "Always on Top", ""},
      {f.Action("BrindleHomepage1"), "&Brindle Homepage", ""},
      {f.Action("About2"), "&About ...", ""},
  };
  for (const auto& i : items) {
    QCOMPARE(i.item->text(), QString(i.caption));
    QCOMPARE(i.item->shortcut().toString(), QString(i.shortcut));
  }
  const QAction* rates[6] = {f.Action("SameAsMovie1"), f.Action("n001"), f.Action("n002"),
                             f.Action("n003"),         f.Action("n004"), f.Action("n005")};
  const char* captions[6] = {"Same As Movie", "23.976", "24.000", "25.000", "29.970", "30.000"};
  for (int tag = 0; tag < 6; ++tag) {
    QCOMPARE(rates[tag]->text(), QString(captions[tag]));
    QCOMPARE(rates[tag]->data().toInt(), tag);
    QCOMPARE(rates[tag]->isChecked(), tag == 0);
  }
}

void MainWindowTest::toolButtonsShareTheirItemsActions() {
  WindowFixture f;
  const struct {
    const char* name;
    int left;
    QAction* action;
  } buttons[] = {
      {"tbtnOpenFile", 0, f.Action("PlayFile1")},
      {"tbtnPlay", 27, f.Action("Play1")},
      {"tbtnPause", 54, f.Action("Pause1")},
      {"tbtnStop", 81, f.Action("Stop1")},
      {"tbtnLoadSub", 116, f.Action("LoadSubtitle1")},
      {"tbtnSubFont", 143, f.Action("SetSubtitleFont1")},
      {"tbtnNN1", 178, f.Action("NN1")},
      {"tbtnNN2", 205, f.Action("NN2")},
      {"tbtnNN3", 232, f.Action("NN3")},
  };
  for (const auto& b : buttons) {
    auto* button = f.Part("tlbMain").findChild<QToolButton*>(b.name);
    QVERIFY2(button, b.name);
    QCOMPARE(button->defaultAction(), b.action);
    QCOMPARE(button->geometry(), QRect(b.left, 0, 27, 26));
    QVERIFY(!b.action->icon().isNull());
    // No hints, also after the action has changed.
    b.action->setEnabled(!b.action->isEnabled());
    b.action->setEnabled(!b.action->isEnabled());
    QHelpEvent hint(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(button, &hint);
    QVERIFY2(!QToolTip::isVisible(), b.name);
  }
  // The subtitle button runs exactly what its item runs.
  QTest::mouseClick(f.Part("tlbMain").findChild<QToolButton*>("tbtnLoadSub"), Qt::LeftButton);
  QCOMPARE(f.prompts.fileDialogs, QStringList({"Load Subtitle|Subtitle Files(*.*) (*)"}));
}

void MainWindowTest::idleUpdateEnablesByPlayerState() {
  WindowFixture f;
  Movix() = FakeMovix();
  auto expect = [&](bool play, bool pauseStop, bool views, bool continued, bool language) {
    f.Idle();
    QVERIFY(f.Action("PlayFile1")->isEnabled());
    QCOMPARE(f.Action("Play1")->isEnabled(), play);
    QCOMPARE(f.Action("Pause1")->isEnabled(), pauseStop);
    QCOMPARE(f.Action("Stop1")->isEnabled(), pauseStop);
    for (const char* view : {"NN1", "NN2", "NN3"}) QCOMPARE(f.Action(view)->isEnabled(), views);
    QCOMPARE(f.Action("ContinuedPlayFile1")->isEnabled(), continued);
    QCOMPARE(f.Action("ChangeSubtitleLanguage1")->isEnabled(), language);
    QVERIFY(f.Action("LoadSubtitle1")->isEnabled() && f.Action("SetSubtitleFont1")->isEnabled());
  };
  expect(false, false, false, false, false);  // no movie
  Movix().duration = 100;
  f.prompts.files.push_back(QString::fromStdString(f.dir.Write("film.avi", "movie")));
  f.Trigger("PlayFile1");
  f.dir.Write("set.sub", "");
  f.LoadSubtitle(f.dir.Write("set.idx", ""));
  expect(false, true, true, true, true);  // running, a bitmap set loaded
  f.Trigger("Stop1");
  f.LoadSubtitle(f.dir.Write("text.srt", "1\n00:00:01,000 --> 00:00:02,000\nx\n"));
  expect(true, false, false, true, false);  // stopped, text subtitles
  // The idle update runs by itself whenever the event loop falls idle.
  f.Trigger("Play1");
  f.Action("Play1")->setEnabled(true);
  QEventLoop loop;  // a loop that really waits, as the program's does
  QTimer::singleShot(20, &loop, &QEventLoop::quit);
  loop.exec();
  QVERIFY(!f.Action("Play1")->isEnabled());
}

void MainWindowTest::statusBarKeepsItsPanelWidths() {
  WindowFixture f;
  auto& bar = static_cast<StatusBar&>(f.Part("sbMain"));
  for (int width : {550, 900, 420}) {
    f.ResizeClient(width, f.ClientSize().height());
    QTest::qWait(10);
    QCOMPARE(bar.PanelLabel(Panel::Position)->width(), 100);
    QCOMPARE(bar.PanelLabel(Panel::Length)->width(), 100);
    QCOMPARE(bar.PanelLabel(Panel::FrameRate)->width(), 100);
    QCOMPARE(bar.PanelLabel(Panel::PictureSize)->width(), 50);
    QCOMPARE(bar.PanelLabel(Panel::SubtitleFrameRate)->geometry().right(), bar.width() - 1);
  }
}

void MainWindowTest::settingsDecideAlwaysOnTop_data() {
  QTest::addColumn<QString>("value");
  QTest::addColumn<bool>("onTop");
  QTest::newRow("0") << "0" << false;
  QTest::newRow("7") << "7" << true;
  QTest::newRow("yes") << "yes" << true;
  QTest::newRow("0x0") << "0x0" << false;
  QTest::newRow("empty") << "" << true;
}

void MainWindowTest::settingsDecideAlwaysOnTop() {
  QFETCH(QString, value);
  QFETCH(bool, onTop);
  WindowFixture f("[Setting]\nOnTop=" + value.toStdString() + "\n");
  QCOMPARE(bool(f.fmMain->windowFlags() & Qt::WindowStaysOnTopHint), onTop);
  QCOMPARE(f.Action("AlwaysonTop1")->isChecked(), onTop);
}

void MainWindowTest::alwaysOnTopTogglesAndIsSavedAtClose() {
  WindowFixture f;
  TfmMain& w = *f.fmMain;
  const QRect before = w.geometry();
  f.Action("AlwaysonTop1")->trigger();
  QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
  QVERIFY(!f.Action("AlwaysonTop1")->isChecked());
  QVERIFY(w.isVisible());
  QCOMPARE(w.geometry(), before);
  f.Action("AlwaysonTop1")->trigger();
  QVERIFY((w.windowFlags() & Qt::WindowStaysOnTopHint) && f.Action("AlwaysonTop1")->isChecked());
  f.Action("AlwaysonTop1")->trigger();
  QVERIFY(!std::filesystem::exists(f.SettingsFile()));  // only the close writes
  f.Action("Exit1")->trigger();
  const ProfileFile file(f.SettingsFile());
  QCOMPARE(file.Read("Setting", "OnTop"), std::optional<std::string>("0"));
  QCOMPARE(file.Read("LastProcessHandle", "Handle"), std::optional(std::to_string(::getpid())));
  QVERIFY(f.prompts.messages.empty());
}

void MainWindowTest::settingsKeepOtherSectionsAndGoToTheConfigFolder() {
  {
    WindowFixture f("[Window]\nLeft=3\n[Setting]\nOnTop=1\n");
    f.fmMain->close();
    const ProfileFile file(f.SettingsFile());
    QCOMPARE(file.Read("Window", "Left"), std::optional<std::string>("3"));
    QCOMPARE(file.Read("Setting", "OnTop"), std::optional<std::string>("1"));
  }
  // A program folder that is not a folder we can write: the user's configuration folder.
  TempDir dir;
  const std::filesystem::path program = std::filesystem::path(dir.Write("file", "")) / "bin";
  ScriptedPrompts prompts;
  ShellPlaces places{program, dir.Path() / "config", dir.Path() / "run", dir.Path() / "state"};
  {
    TfmMain w(places, prompts);
    w.findChild<QAction*>("AlwaysonTop1")->trigger();
    w.close();
  }
  QVERIFY(prompts.messages.empty());
  QCOMPARE(ProfileFile(dir.Path() / "config" / "set.ini").Read("Setting", "OnTop"),
           std::optional<std::string>("0"));
  TfmMain again(places, prompts);  // and the next start reads it there
  QVERIFY(!(again.windowFlags() & Qt::WindowStaysOnTopHint));
}

void MainWindowTest::failedSettingsWriteIsShownAndTheCloseGoesOn() {
  WindowFixture f;
  std::filesystem::create_directories(f.SettingsFile());  // "set.ini" is a folder
  f.fmMain->close();
  QVERIFY(!f.fmMain->isVisible());
  QCOMPARE(f.prompts.messages.size(), size_t{1});
  QCOMPARE(f.prompts.messages[0].title, QString("Captivo"));
  QCOMPARE(f.prompts.messages[0].text,
           QString::fromStdString("Unable to write to " + f.SettingsFile().string()));
  QCOMPARE(f.prompts.messages[0].icon, QMessageBox::Critical);
}

void MainWindowTest::instancesClosingOneAfterAnotherKeepEachOthersChanges() {
  WindowFixture f("[Window]\nLeft=3\n");
  ScriptedPrompts prompts;
  auto second = std::make_unique<TfmMain>(f.places, prompts);  // started beside the first
  f.Action("AlwaysonTop1")->trigger();
  second->findChild<QAction*>("VolumeDown1")->trigger();
  f.fmMain->close();
  second->close();
  second.reset();
  const ProfileFile file(f.SettingsFile());
  QCOMPARE(file.Read("Setting", "OnTop"), std::optional<std::string>("0"));
  QCOMPARE(file.Read("Volume", "Level"), std::optional<std::string>("95"));
  QCOMPARE(file.Read("Window", "Left"), std::optional<std::string>("3"));
  QVERIFY(f.prompts.messages.empty() && prompts.messages.empty());
}

void MainWindowTest::staleInstanceIsEndedButAStrangerSurvives() {
  TempDir dir;
  const auto running = dir.Path() / "run";
  ChildProcess window(HoldRegistration(running.string()), true);  // a running main window
  ChildProcess stale(HoldRegistration((dir.Path() / "elsewhere").string()), true);
  ChildProcess stranger({"/bin/sh", "-c", "echo ready; exec sleep 30"}, true);
  ScriptedPrompts prompts;
  std::filesystem::create_directories(dir.Path() / "bin");
  auto start = [&](pid_t recorded) {
    dir.Write("bin/set.ini", "[LastProcessHandle]\nHandle=" + std::to_string(recorded) + "\n");
    TfmMain w({dir.Path() / "bin", dir.Path() / "config", running, dir.Path() / "state"}, prompts);
  };
  start(stranger.Pid());  // an id reused by another program
  QVERIFY(stranger.Alive());
  start(::getpid());
  start(stale.Pid());
  QVERIFY(stale.WaitForEnd());
  QVERIFY(window.Alive());
  QVERIFY(stranger.Alive());
}

void MainWindowTest::frameRateMenuSetsRateChecksAndPanel() {
  WindowFixture f;
  Movix() = FakeMovix();
  Movix().frameRate = 23976;
  f.OpenMovie("film.avi");
  f.LoadSubtitle(f.dir.Write("film.srt", "1\n00:00:10,000 --> 00:00:11,000\nten\n"));
  // The rate in force shows in the time of panel 0: 72000 frames at that rate.
  const struct {
    const char* item;
    const char* time;
    const char* panel;
  } choices[] = {
      {"n004", "72000/0:40:2", "Subtitle FrameRate:29.97fps"},
      {"n001", "72000/0:50:3", "Subtitle FrameRate:23.976fps"},
      {"n002", "72000/0:50:0", "Subtitle FrameRate:24fps"},
      {"n003", "72000/0:48:0", "Subtitle FrameRate:25fps"},
      {"n005", "72000/0:40:0", "Subtitle FrameRate:30fps"},
      {"SameAsMovie1", "72000/0:50:3", "Subtitle FrameRate:Same As Movie"},
  };
  for (const auto& c : choices) {
    f.Trigger(c.item);
    f.ShownAt(72000);
    QCOMPARE(f.PanelText(Panel::Position), QString(c.time));
    QCOMPARE(f.PanelText(Panel::SubtitleFrameRate), QString(c.panel));
    for (const char* item : {"SameAsMovie1", "n001", "n002", "n003", "n004", "n005"})
      QCOMPARE(f.Action(item)->isChecked(), std::string(item) == c.item);
  }
  // The new rate applies at once, also to the subtitle found last.
  QCOMPARE(f.ShownAt(245), std::string("ten"));  // 240..264 at 23.976
  f.Trigger("n003");
  QCOMPARE(f.ShownAt(245), std::string());  // 250..275 at 25
}

void MainWindowTest::loadSubtitleFillsTheStoreAndResetsTheRate() {
  WindowFixture f;
  Movix() = FakeMovix();
  Movix().frameRate = 23976;
  f.OpenMovie("film.avi");
  f.Trigger("n003");
  f.LoadSubtitle(f.dir.Write("Film.SRT", "1\n00:00:10,000 --> 00:00:11,000\nten\n"));
  QVERIFY(f.Action("SameAsMovie1")->isChecked() && !f.Action("n003")->isChecked());
  QCOMPARE(f.PanelText(Panel::SubtitleFrameRate), QString("Subtitle FrameRate:Same As Movie"));
  QCOMPARE(f.ShownAt(240), std::string("ten"));  // seconds, at the movie's 23.976 again
  QCOMPARE(f.ShownAt(239), std::string());
  f.Idle();
  QVERIFY(!f.Action("ChangeSubtitleLanguage1")->isEnabled());  // text, no bitmap set
  QVERIFY(f.prompts.messages.empty());
  // Cancelling the dialog changes nothing.
  f.Trigger("n003");
  f.Trigger("LoadSubtitle1");
  QVERIFY(f.Action("n003")->isChecked());
  QCOMPARE(f.ShownAt(250), std::string("ten"));
}

void MainWindowTest::aLegacyFileShowsInTheCodePageFoundInIt() {
  WindowFixture f;
  Movix() = FakeMovix();
  f.OpenMovie("film.avi");
  // "Привет, как дела?" / "Спасибо, всё хорошо." in windows-1251, a line a second.
  std::string srt;
  for (int i = 1; i <= 8; ++i)
    srt += std::to_string(i) + "\n00:00:0" + std::to_string(i) + ",000 --> 00:00:0" +
           std::to_string(i) + ",900\n\xCF\xF0\xE8\xE2\xE5\xF2, \xEA\xE0\xEA \xE4\xE5\xEB\xE0?\n" +
           "\xD1\xEF\xE0\xF1\xE8\xE1\xEE, \xE2\xF1\xB8 \xF5\xEE\xF0\xEE\xF8\xEE.\n\n";
  f.LoadSubtitle(f.dir.Write("film.srt", srt));
  QCOMPARE(static_cast<StatusBar&>(f.Part("sbMain")).Note(),
           QString("Subtitle encoding: windows-1251"));
  f.ShownAt(25);
  const QStringList cyrillic = {QString::fromUtf8("Привет, как дела?"),
                                QString::fromUtf8("Спасибо, всё хорошо.")};
  QCOMPARE(f.StripText().Lines(), cyrillic);
  // A script chosen in the font dialog decides: Central European reads other letters.
  SubtitleFont font = f.StripText().Font();
  font.codePage = 1250;
  f.prompts.fontChoice = font;
  f.Trigger("SetSubtitleFont1");
  QVERIFY(f.StripText().Lines() != cyrillic);
  // A UTF-8 file afterwards is read as UTF-8, whatever the last file was.
  font.codePage = kWesternCodePage;
  f.prompts.fontChoice = font;
  f.Trigger("SetSubtitleFont1");
  f.LoadSubtitle(f.dir.Write("film.srt", "1\n00:00:01,000 --> 00:00:01,900\nd\xC3\xA9j\xC3\xA0\n"));
  f.ShownAt(25);
  QCOMPARE(f.StripText().Lines(), QStringList{QString::fromUtf8("déjà")});
}

void MainWindowTest::loadSubtitleFailuresShowTheirBoxes() {
  WindowFixture f;
  Movix() = FakeMovix();
  using Message = ScriptedPrompts::Message;
  auto load = [&](const std::string& name, const std::string& bytes) {
    const QString path = QString::fromStdString(bytes.empty() ? (f.dir.Path() / name).string()
                                                              : f.dir.Write(name, bytes));
    f.prompts.messages.clear();
    f.prompts.files.push_back(path);
    f.Action("LoadSubtitle1")->trigger();
    return path;
  };
  load("good.sub", "{1}{2}kept\n");
  f.Action("n003")->trigger();

  QString path = load("what.txt", "What is this?\n");
  QCOMPARE(f.prompts.messages.size(), size_t{1});
  QCOMPARE(f.prompts.messages[0].title, QString("Error"));
  QCOMPARE(f.prompts.messages[0].text,
           QString("Unknown subtitle file format, Please contact to support@brindle.example !!!"));
  QCOMPARE(f.prompts.messages[0].icon, QMessageBox::Information);
  QCOMPARE(f.ShownAt(1), std::string("kept"));  // the previous file stays, in frames
  QVERIFY(f.Action("SameAsMovie1")->isChecked());

  f.Action("n003")->trigger();
  path = load("missing.srt", "");
  QCOMPARE(f.prompts.messages.size(), size_t{1});
  const Message& missing = f.prompts.messages[0];
  QCOMPARE(missing.title, QString("Captivo"));
  QCOMPARE(missing.text, "Cannot open file " + path);
  QCOMPARE(missing.icon, QMessageBox::Critical);
  QVERIFY(f.Action("n003")->isChecked());  // the rate did not change

  path = load("bad.sub", "{1}{2}a\n{3}{x}b\n");
  QCOMPARE(f.prompts.messages[0].text, QString("Subtitle file error"));
  QCOMPARE(f.prompts.messages[0].icon, QMessageBox::Information);
  QCOMPARE(f.ShownAt(1), std::string("a"));  // the entries before the bad line stay
  QCOMPARE(f.ShownAt(3), std::string());
  QVERIFY(f.Action("SameAsMovie1")->isChecked());  // a reader's own box still resets the rate

  f.Action("n003")->trigger();
  load("big.sub", "{1}{2}a\n{99999999999}{5}b\n");
  QCOMPARE(f.prompts.messages[0].title, QString("Captivo"));
  QCOMPARE(f.prompts.messages[0].text, QString("'99999999999' is not a valid integer value"));
  QCOMPARE(f.ShownAt(1), std::string("a"));
  QVERIFY(f.Action("n003")->isChecked());

  load("viewer.sub", "[INFORMATION]\n00:00:01.00,00:00:02.00\na\nno comma\n\n");
  QCOMPARE(f.prompts.messages[0].text, QString("Subtitle File Error"));
  QCOMPARE(f.prompts.messages[0].icon, QMessageBox::Critical);
}

void MainWindowTest::splitterKeepsTheStripRules() {
  WindowFixture f;
  QSplitterHandle* handle = static_cast<QSplitter&>(f.Part("Splitter1")).handle(1);
  auto drag = [&](int dy) {
    const QPoint from = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, from);
    QTest::mouseMove(handle, from + QPoint(0, dy));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, from + QPoint(0, dy));
    QTest::qWait(10);
  };
  drag(-20);
  QCOMPARE(f.Part("lbSubParent").height(), 103);
  QCOMPARE(f.StripText().size(), f.Part("lbSubParent").size());
  drag(80);  // 23 pixels: closes
  QCOMPARE(f.Part("lbSubParent").height(), 0);
  drag(-400);  // never leaves the picture less than 30 pixels
  QCOMPARE(f.Part("plMovie").height(), 30);
}

void CheckAboutBox(TfmAbout* about) {
  about->show();
  QCOMPARE(about->windowTitle(), QString("About"));
  QCOMPARE(about->size(), QSize(339, 100));
  QCOMPARE(about->Label2->geometry(), QRect(16, 40, 313, 14));
  QCOMPARE(about->Label3->geometry(), QRect(16, 56, 281, 14));
  QCOMPARE(about->Label3->text(), QString("https://captivo.brindle.example"));
  QVERIFY(about->Label3->font().underline());
  QCOMPARE(about->BitBtn1->geometry(), QRect(216, 72, 75, 25));
  QVERIFY(about->BitBtn1->isDefault());
  QVERIFY(about->windowFlags() & Qt::WindowStaysOnTopHint);
  about->BitBtn1->click();
  QCOMPARE(about->result(), int(QDialog::Accepted));
}

void MainWindowTest::aboutBoxIsDrawnAsSpecified() {
  WindowFixture f;
  bool shown = false;
  f.prompts.onExec = [&](QDialog* dialog) {
    auto* about = dynamic_cast<TfmAbout*>(dialog);
    shown = about != nullptr;
    if (about) CheckAboutBox(about);
    return 0;
  };
  f.Trigger("About2");
  QVERIFY(shown);
}

}  // namespace captivo::test

int RunMainWindowTests(int argc, char** argv) {
  captivo::test::MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
