// The keys every player has: volume and mute, seeking, Space.
#include <QLabel>
#include <QtTest>

#include "playing_fixture.h"
#include "profile_file.h"
#include "window_messages.h"

namespace captivo::test {

class PlayerKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void volumeReachesTheLibraryWithTheMovieAndIsSaved();
  void seekKeysMoveByTimeInsideTheFile_data();
  void seekKeysMoveByTimeInsideTheFile();
  void spacePausesResumesAndPlays();
  void notesShowOverTheFullScreenPicture();
};

void PlayerKeysTest::volumeReachesTheLibraryWithTheMovieAndIsSaved() {
  {
    WindowFixture f;
    Movix() = FakeMovix();
    for (int i = 0; i < 4; ++i) f.Trigger("VolumeDown1");
    f.Trigger("Mute1");
    QVERIFY(!Called(Movix().Take(), "SetMute 1"));  // no movie: kept for the next one
    f.OpenMovie("film.avi");
    const Calls calls = Movix().Take();
    const auto volume = std::find(calls.begin(), calls.end(), "SetVolume 80");
    QVERIFY(volume != calls.end());
    QVERIFY(volume < std::find_if(
                         calls.begin(), calls.end(),
                         [](const std::string& c) { return c.rfind("PlayFile", 0) == 0; }));
    QVERIFY(Called(calls, "SetMute 1"));
    for (int i = 0; i < 30; ++i) f.Trigger("VolumeUp1");
    QCOMPARE(Movix().Take().back(), std::string("SetVolume 100"));  // held at the top
    f.Trigger("VolumeDown1");
    f.Trigger("Mute1");
    QCOMPARE(Movix().Take(), Calls({"SetVolume 95", "SetMute 0"}));
    QCOMPARE(f.Action("VolumeUp1")->shortcuts(),
             QList<QKeySequence>({QKeySequence("0"), QKeySequence("Ctrl+Up")}));
    QCOMPARE(f.Action("Mute1")->shortcut(), QKeySequence("M"));
    f.fmMain->close();
    const ProfileFile saved(f.SettingsFile());
    QCOMPARE(saved.Read("Volume", "Level"), std::optional<std::string>("95"));
    QCOMPARE(saved.Read("Volume", "Mute"), std::optional<std::string>("0"));
  }
  Playing f(25000, 90000, "[Volume]\nLevel=35\nMute=1\n");
  const Calls calls = Movix().Take();
  QVERIFY(Called(calls, "SetVolume 35"));
  QVERIFY(Called(calls, "SetMute 1"));
  QVERIFY(f.Action("Mute1")->isChecked());
}

void PlayerKeysTest::seekKeysMoveByTimeInsideTheFile_data() {
  QTest::addColumn<QString>("item");
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("from");
  QTest::addColumn<int>("to");
  QTest::newRow("right") << "SeekForward5s" << int(Qt::Key_Right) << 1000 << 1125;
  QTest::newRow("left") << "SeekBack5s" << int(Qt::Key_Left) << 1000 << 875;
  QTest::newRow("up") << "SeekForward1min" << int(Qt::Key_Up) << 1000 << 2500;
  QTest::newRow("down at the start") << "SeekBack1min" << int(Qt::Key_Down) << 100 << 0;
  QTest::newRow("up at the end") << "SeekForward1min" << int(Qt::Key_Up) << 89990 << 89999;
}

void PlayerKeysTest::seekKeysMoveByTimeInsideTheFile() {
  QFETCH(QString, item);
  QFETCH(int, key);
  QFETCH(int, from);
  QFETCH(int, to);
  Playing f;
  const QByteArray name = item.toLatin1();
  QCOMPARE(f.Action(name)->shortcut(), QKeySequence(key));
  Movix().position = from;
  Movix().Take();
  f.Trigger(name);
  QCOMPARE(Movix().Take(), Calls({"SetPos " + std::to_string(to)}));
  f.Trigger("Stop1");
  Movix().Take();
  f.Trigger(name);  // a stopped movie is not moved
  QVERIFY(!Called(Movix().Take(), "SetPos " + std::to_string(to)));
}

void PlayerKeysTest::spacePausesResumesAndPlays() {
  Playing f;
  QCOMPARE(f.Action("PauseOrResume")->shortcut(), QKeySequence(Qt::Key_Space));
  Movix().Take();
  f.Trigger("PauseOrResume");
  f.Trigger("PauseOrResume");
  QCOMPARE(Movix().Take(), Calls({"PauseMovie", "PauseMovie"}));
  f.Trigger("Stop1");
  Movix().Take();
  f.Trigger("PauseOrResume");
  QCOMPARE(Movix().Take(), Calls({"PlayMovie"}));
  // Where the main window keeps the keyboard in full screen, its Space pauses there too.
  f.Trigger("Play1");
  f.Trigger("NN3");
  Movix().Take();
  f.Trigger("PauseOrResume");
  QCOMPARE(Movix().Take(), Calls({"PauseMovie"}));
}

void PlayerKeysTest::notesShowOverTheFullScreenPicture() {
  Playing f;
  auto note = [&](QWidget& window) -> QString {
    auto* label = window.findChild<QLabel*>("OnScreenNote");
    return label && label->isVisible() ? label->text() : QString();
  };
  QWidget pictureWindow;
  pictureWindow.resize(1024, 768);
  pictureWindow.show();
  f.Trigger("VolumeDown1");  // windowed: the status bar says it, nothing is laid over
  QCOMPARE(f.fmMain->findChild<StatusBar*>("sbMain")->Note(), QString("Volume 95%"));
  QCOMPARE(note(pictureWindow), QString());

  Movix().fullScreenWindow = &pictureWindow;
  f.Trigger("NN3");
  struct Step {
    const char* item;
    int32_t position;
    QString note;
  } steps[] = {
      {"VolumeDown1", 0, "Volume 90%"},
      {"Mute1", 0, "Mute"},
      {"VolumeUp1", 0, "Volume 95% (muted)"},
      {"SeekForward5s", 1000, "Forward 5 s: 0:0:45"},
      {"SeekBack1min", 2000, "Back 1 min: 0:0:20"},
  };
  for (const Step& step : steps) {
    Movix().position = step.position;
    f.Trigger(step.item);
    QCOMPARE(note(pictureWindow), step.note);
  }
  // Above the subtitles, over the picture.
  auto* label = pictureWindow.findChild<QLabel*>("OnScreenNote");
  QVERIFY(label->geometry().bottom() < f.fmSub->geometry().top());
  f.Notify(kKeyNotify, 27);  // Esc: the note goes with the overlay
  QVERIFY(!pictureWindow.findChild<QLabel*>("OnScreenNote"));
}

}  // namespace captivo::test

int RunPlayerKeysTests(int argc, char** argv) {
  captivo::test::PlayerKeysTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "player_keys_test.moc"
