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
  void staleInstanceIsEndedButAStrangerSurvives();
  void frameRateMenuSetsRateChecksAndPanel();
  void loadSubtitleFillsTheStoreAndResetsTheRate();
  void loadSubtitleFailuresShowTheirBoxes();
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
  QCOMPARE(w.centralWidget()->size(), QSize(550, 350));
  QCOMPARE(w.tlbMain->height(), 29);
  QCOMPARE(w.Panel1->height(), 17);
  QCOMPARE(w.plMovie->size(), QSize(550, 198));
  QCOMPARE(w.Splitter1->handleWidth(), 4);
  QCOMPARE(w.lbSubParent->size(), QSize(550, 83));
  QCOMPARE(w.lbSubtitle->size(), QSize(550, 83));
  QCOMPARE(w.sbMain->height(), 19);
  QVERIFY(!w.Splitter1->opaqueResize());
  QCOMPARE(w.tbMain->minimum(), 0);
  QCOMPARE(w.tbMain->maximum(), 1000);
  QCOMPARE(w.tbMain->value(), 0);
  QCOMPARE(w.tbMain->tickPosition(), QSlider::NoTicks);
  QCOMPARE(w.tbMain->focusPolicy(), Qt::NoFocus);
  QCOMPARE(w.lbSubtitle->Text(), std::string("Subtitle will display here !!!"));
  QCOMPARE(w.lbSubtitle->Font().color, QColor(Qt::white));
  QCOMPARE(w.lbSubtitle->Font().font.family(), QString("Arial"));
  QCOMPARE(w.lbSubtitle->Font().font.pixelSize(), 19);
  QVERIFY(w.lbSubtitle->isVisible());
  QVERIFY(!w.imSubtitle->isVisible());
  QVERIFY(!w.tmMovie->isActive());
  QCOMPARE(w.tmMovie->interval(), 100);
  for (int panel = 0; panel < 5; ++panel) QVERIFY(w.sbMain->PanelText(panel).isEmpty());
  // First start with no settings: on top, and checked.
  QVERIFY(w.OnTopFlag);
  QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
  QVERIFY(w.AlwaysonTop1->isChecked());
  QVERIFY(w.NonClientHeight >= w.menuBar()->height());
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
      {w.PlayFile1, "&Play File ...", "Ctrl+O"},
      {w.ContinuedPlayFile1, "Continued Play File ...", ""},
      {w.Play1, "Play", ""},
      {w.Pause1, "Pause", "Ctrl+P"},
      {w.Stop1, "Stop", "Ctrl+S"},
      {w.Exit1, "&Exit", ""},
      {w.LoadSubtitle1, "&Load Subtitle ...", "Ctrl+L"},
      {w.SetSubtitleFont1, "Set Subtitle Font ...", ""},
      {w.AdjustSubtitle1, "Synchronize Subtitle", ""},
      {w.ChangeSubtitleLanguage1, "Change Subtitle Language", ""},
      {w.NN1, "Origin Size", ""},
      {w.NN2, "Double Size", ""},
      {w.NN3, "Full Screen", "F4"},
      {w.AlwaysonTop1, "Always on Top", ""},
      {w.BrindleHomepage1, "&Brindle Homepage", ""},
      {w.About2, "&About ...", ""},
  };
  for (const auto& i : items) {
    QCOMPARE(i.item->text(), QString(i.caption));
    QCOMPARE(i.item->shortcut().toString(), QString(i.shortcut));
  }
  const QAction* rates[6] = {w.SameAsMovie1, w.n001, w.n002, w.n003, w.n004, w.n005};
  const char* captions[6] = {"Same As Movie", "23.976", "24.000", "25.000", "29.970", "30.000"};
  for (int tag = 0; tag < 6; ++tag) {
    QCOMPARE(rates[tag]->text(), QString(captions[tag]));
    QCOMPARE(rates[tag]->data().toInt(), tag);
    QCOMPARE(rates[tag]->isChecked(), tag == 0);
  }
}

void MainWindowTest::toolButtonsShareTheirItemsActions() {
  WindowFixture f;
  TfmMain& w = *f.fmMain;
  const struct {
    const char* name;
    int left;
    QAction* action;
  } buttons[] = {
      {"tbtnOpenFile", 0, w.PlayFile1},
      {"tbtnPlay", 27, w.Play1},
      {"tbtnPause", 54, w.Pause1},
      {"tbtnStop", 81, w.Stop1},
      {"tbtnLoadSub", 116, w.LoadSubtitle1},
      {"tbtnSubFont", 143, w.SetSubtitleFont1},
      {"tbtnNN1", 178, w.NN1},
      {"tbtnNN2", 205, w.NN2},
      {"tbtnNN3", 232, w.NN3},
  };
  for (const auto& b : buttons) {
    auto* button = w.tlbMain->findChild<QToolButton*>(b.name);
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
  QTest::mouseClick(w.tlbMain->findChild<QToolButton*>("tbtnLoadSub"), Qt::LeftButton);
  QCOMPARE(f.prompts.fileDialogs, QStringList({"Load Subtitle|Subtitle Files(*.*) (*)"}));
}

void MainWindowTest::idleUpdateEnablesByPlayerState() {
  WindowFixture f;
  TfmMain& w = *f.fmMain;
  struct State {
    bool movie;
    bool timer;
    int32_t duration;
    bool vobsub;
    bool play, pauseStop, views;
  } states[] = {
      {false, false, 0, false, false, false, false},
      {true, true, 100, true, false, true, true},
      {true, false, 0, false, true, false, false},
  };
  for (const State& s : states) {
    w.MovieOpen = s.movie;
    s.timer ? w.tmMovie->start() : w.tmMovie->stop();
    w.MovieDuration = s.duration;
    w.VobSubMode = s.vobsub;
    w.ApplicationEvents1Idle();
    QVERIFY(w.PlayFile1->isEnabled());
    QCOMPARE(w.Play1->isEnabled(), s.play);
    QCOMPARE(w.Pause1->isEnabled(), s.pauseStop);
    QCOMPARE(w.Stop1->isEnabled(), s.pauseStop);
    for (QAction* view : {w.NN1, w.NN2, w.NN3}) QCOMPARE(view->isEnabled(), s.views);
    QCOMPARE(w.ContinuedPlayFile1->isEnabled(), s.duration != 0);
    QCOMPARE(w.ChangeSubtitleLanguage1->isEnabled(), s.vobsub);
    QVERIFY(w.LoadSubtitle1->isEnabled() && w.SetSubtitleFont1->isEnabled());
  }
  w.tmMovie->stop();
  // The idle update runs by itself whenever the event loop falls idle.
  w.MovieOpen = false;
  w.Play1->setEnabled(true);
  QEventLoop loop;  // a loop that really waits, as the program's does
  QTimer::singleShot(20, &loop, &QEventLoop::quit);
  loop.exec();
  QVERIFY(!w.Play1->isEnabled());
}

void MainWindowTest::statusBarKeepsItsPanelWidths() {
  WindowFixture f;
  TfmMain& w = *f.fmMain;
  for (int width : {550, 900, 420}) {
    w.resize(width, w.height());
    QTest::qWait(10);
    QCOMPARE(w.sbMain->Panel(0)->width(), 100);
    QCOMPARE(w.sbMain->Panel(1)->width(), 100);
    QCOMPARE(w.sbMain->Panel(2)->width(), 100);
    QCOMPARE(w.sbMain->Panel(3)->width(), 50);
    const QLabel* last = w.sbMain->Panel(4);
    QCOMPARE(last->geometry().right(), w.sbMain->width() - 1);
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
  QCOMPARE(f.fmMain->OnTopFlag, onTop);
  QCOMPARE(bool(f.fmMain->windowFlags() & Qt::WindowStaysOnTopHint), onTop);
  QCOMPARE(f.fmMain->AlwaysonTop1->isChecked(), onTop);
}

void MainWindowTest::alwaysOnTopTogglesAndIsSavedAtClose() {
  WindowFixture f;
  TfmMain& w = *f.fmMain;
  const QRect before = w.geometry();
  w.AlwaysonTop1->trigger();
  QVERIFY(!w.OnTopFlag);
  QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
  QVERIFY(!w.AlwaysonTop1->isChecked());
  QVERIFY(w.isVisible());
  QCOMPARE(w.geometry(), before);
  w.AlwaysonTop1->trigger();
  QVERIFY(w.OnTopFlag && w.AlwaysonTop1->isChecked());
  w.AlwaysonTop1->trigger();
  QVERIFY(!std::filesystem::exists(f.SettingsFile()));  // only the close writes
  w.Exit1->trigger();
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
  ShellPlaces places{program, dir.Path() / "config", dir.Path() / "cache", dir.Path() / "run"};
  {
    TfmMain w(places, prompts);
    w.OnTopFlag = false;
    w.close();
  }
  QVERIFY(prompts.messages.empty());
  QCOMPARE(ProfileFile(dir.Path() / "config" / "set.ini").Read("Setting", "OnTop"),
           std::optional<std::string>("0"));
  TfmMain again(places, prompts);  // and the next start reads it there
  QVERIFY(!again.OnTopFlag);
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
    TfmMain w({dir.Path() / "bin", dir.Path() / "config", dir.Path() / "cache", running}, prompts);
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
  TfmMain& w = *f.fmMain;
  w.MovieFrameRate = 23.976;
  const struct {
    QAction* item;
    double rate;
    const char* panel;
  } choices[] = {
      {w.n004, 29.97, "Subtitle FrameRate:29.97fps"},
      {w.n001, 23.976, "Subtitle FrameRate:23.976fps"},
      {w.n002, 24, "Subtitle FrameRate:24fps"},
      {w.n003, 25, "Subtitle FrameRate:25fps"},
      {w.n005, 30, "Subtitle FrameRate:30fps"},
      {w.SameAsMovie1, 23.976, "Subtitle FrameRate:Same As Movie"},
  };
  const QList<QAction*> all = {w.SameAsMovie1, w.n001, w.n002, w.n003, w.n004, w.n005};
  for (const auto& c : choices) {
    c.item->trigger();
    QCOMPARE(w.SubtitleFrameRate, c.rate);
    QCOMPARE(w.sbMain->PanelText(4), QString(c.panel));
    for (QAction* item : all) QCOMPARE(item->isChecked(), item == c.item);
  }
  // The new rate applies at once, also to the subtitle found last.
  w.Subtitles.TimesInSeconds = true;
  w.Subtitles.Append({10, 11, "ten"});
  QCOMPARE(w.Subtitles.FindSubtitleAt(245), std::string("ten"));  // 240..264 at 23.976
  w.n003->trigger();
  QCOMPARE(w.Subtitles.FindSubtitleAt(245), std::string());  // 250..275 at 25
}

void MainWindowTest::loadSubtitleFillsTheStoreAndResetsTheRate() {
  WindowFixture f;
  TfmMain& w = *f.fmMain;
  w.MovieFrameRate = 23.976;
  w.n003->trigger();
  const QString path =
      QString::fromStdString(f.dir.Write("Film.SRT", "1\n00:00:10,000 --> 00:00:11,000\nten\n"));
  f.prompts.files.push_back(path);
  w.LoadSubtitle1->trigger();
  QCOMPARE(w.Subtitles.Count(), size_t{1});
  QVERIFY(w.Subtitles.TimesInSeconds);
  QCOMPARE(QString::fromStdString(w.Subtitles.SubtitleFileName), path);  // case kept
  QVERIFY(!w.VobSubMode);
  QCOMPARE(w.SubtitleFrameRate, 23.976);
  QVERIFY(w.SameAsMovie1->isChecked() && !w.n003->isChecked());
  QCOMPARE(w.sbMain->PanelText(4), QString("Subtitle FrameRate:Same As Movie"));
  QVERIFY(f.prompts.messages.empty());
  // Cancelling the dialog changes nothing.
  w.n003->trigger();
  w.LoadSubtitle1->trigger();
  QCOMPARE(w.SubtitleFrameRate, 25.0);
}

void MainWindowTest::loadSubtitleFailuresShowTheirBoxes() {
  WindowFixture f;
  TfmMain& w = *f.fmMain;
  using Message = ScriptedPrompts::Message;
  auto load = [&](const std::string& name, const std::string& bytes) {
    const QString path = QString::fromStdString(bytes.empty() ? (f.dir.Path() / name).string()
                                                              : f.dir.Write(name, bytes));
    f.prompts.messages.clear();
    f.prompts.files.push_back(path);
    w.LoadSubtitle1->trigger();
    return path;
  };
  load("good.sub", "{1}{2}kept\n");
  w.n003->trigger();

  QString path = load("what.txt", "What is this?\n");
  QCOMPARE(f.prompts.messages.size(), size_t{1});
  QCOMPARE(f.prompts.messages[0].title, QString("Error"));
  QCOMPARE(f.prompts.messages[0].text,
           QString("Unknown subtitle file format, Please contact to support@brindle.example !!!"));
  QCOMPARE(f.prompts.messages[0].icon, QMessageBox::Information);
  QCOMPARE(w.Subtitles.Text(0), std::string("kept"));  // the previous file stays
  QCOMPARE(QString::fromStdString(w.Subtitles.SubtitleFileName), path);
  QVERIFY(w.SameAsMovie1->isChecked());

  w.n003->trigger();
  path = load("missing.srt", "");
  QCOMPARE(f.prompts.messages.size(), size_t{1});
  const Message& missing = f.prompts.messages[0];
  QCOMPARE(missing.title, QString("Captivo"));
  QCOMPARE(missing.text, "Cannot open file " + path);
  QCOMPARE(missing.icon, QMessageBox::Critical);
  QVERIFY(w.n003->isChecked());  // neither the name nor the rate changed
  QVERIFY(QString::fromStdString(w.Subtitles.SubtitleFileName).endsWith("what.txt"));

  path = load("bad.sub", "{1}{2}a\n{3}{x}b\n");
  QCOMPARE(f.prompts.messages[0].text, QString("Subtitle file error"));
  QCOMPARE(f.prompts.messages[0].icon, QMessageBox::Information);
  QCOMPARE(w.Subtitles.Count(), size_t{1});
  QVERIFY(w.SameAsMovie1->isChecked());  // a reader's own box still resets the rate

  w.n003->trigger();
  load("big.sub", "{1}{2}a\n{99999999999}{5}b\n");
  QCOMPARE(f.prompts.messages[0].title, QString("Captivo"));
  QCOMPARE(f.prompts.messages[0].text, QString("'99999999999' is not a valid integer value"));
  QCOMPARE(w.Subtitles.Count(), size_t{1});
  QVERIFY(w.n003->isChecked());

  load("viewer.sub", "[INFORMATION]\n00:00:01.00,00:00:02.00\na\nno comma\n\n");
  QCOMPARE(f.prompts.messages[0].text, QString("Subtitle File Error"));
  QCOMPARE(f.prompts.messages[0].icon, QMessageBox::Critical);
}

void MainWindowTest::splitterKeepsTheStripRules() {
  WindowFixture f;
  TfmMain& w = *f.fmMain;
  QSplitterHandle* handle = w.Splitter1->handle(1);
  auto drag = [&](int dy) {
    const QPoint from = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, from);
    QTest::mouseMove(handle, from + QPoint(0, dy));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, from + QPoint(0, dy));
    QTest::qWait(10);
  };
  drag(-20);
  QCOMPARE(w.lbSubParent->height(), 103);
  QCOMPARE(w.lbSubtitle->size(), w.lbSubParent->size());
  drag(80);  // 23 pixels: closes
  QCOMPARE(w.lbSubParent->height(), 0);
  drag(-400);  // never leaves the picture less than 30 pixels
  QCOMPARE(w.plMovie->height(), 30);
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
  f.fmMain->About2->trigger();
  QVERIFY(shown);
}

}  // namespace captivo::test

int RunMainWindowTests(int argc, char** argv) {
  captivo::test::MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
