#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QtTest>

#include <QLabel>

#include "fake_movix.h"
#include "given_sizes.h"
#include "status_bar.h"
#include "subtitle_display.h"
#include "window_fixture.h"
#include "window_messages.h"

namespace captivo::test {

namespace {

using Calls = std::vector<std::string>;

struct PlayingFixture : WindowFixture {
  explicit PlayingFixture(int32_t width = 640, int32_t height = 272) {
    Movix() = FakeMovix();
    Movix().width = width;
    Movix().height = height;
    OpenMovie("film.avi");
    Movix().Take();
  }
  void Notify(QEvent::Type type, intptr_t key = 0) {
    QCoreApplication::postEvent(fmMain.get(), new WindowMessage(type, key));
    QCoreApplication::sendPostedEvents();
  }
  QSize Screen() const { return QGuiApplication::primaryScreen()->size(); }
};

}  // namespace

class ViewSizesTest : public QObject {
  Q_OBJECT

 private slots:
  void originAndDoubleSizeFitThePicture_data();
  void originAndDoubleSizeFitThePicture();
  void aNarrowMovieGetsItsOwnWidth();
  void overlayTopFollowsThePicture_data();
  void overlayTopFollowsThePicture();
  void fullScreenLaysTheOverlayUnderThePicture();
  void withoutAPictureWindowTheOverlayStaysHidden();
  void escapeSpaceAndTheNoticesLeaveFullScreen();
  void theWindowComesBackWhereItWas();
  void splitterKeepsThePictureProportion();
  void aRepeatedGivenSizeIsTakenBack_data();
  void aRepeatedGivenSizeIsTakenBack();
  void hookIsSetAtStartUp();
};

void ViewSizesTest::originAndDoubleSizeFitThePicture_data() {
  QTest::addColumn<QString>("bar");
  QTest::addColumn<int>("height");
  QTest::newRow("the bars as they start") << QString() << 0;
  QTest::newRow("a style's taller tool bar") << "tlbMain" << 40;
  QTest::newRow("a style's taller status bar") << "sbMain" << 30;
  QTest::newRow("a style's thinner seek bar") << "Panel1" << 12;
}

void ViewSizesTest::originAndDoubleSizeFitThePicture() {
  QFETCH(QString, bar);
  QFETCH(int, height);
  PlayingFixture f;
  if (!bar.isEmpty()) {
    f.Part(bar.toLatin1()).setFixedHeight(height);
    QCoreApplication::sendPostedEvents();  // laid out anew
  }
  const QPoint corner = f.fmMain->pos();
  f.Trigger("NN2");
  QCOMPARE(f.Part("plMovie").size(), QSize(1280, 544));
  QCOMPARE(f.ClientSize().width(), 1280);
  QCOMPARE(f.fmMain->pos(), corner);  // the top-left corner stays
  f.Trigger("NN1");
  QCOMPARE(f.Part("plMovie").size(), QSize(640, 272));
  QCOMPARE(f.ClientSize().width(), 640);
  if (!bar.isEmpty()) QCOMPARE(f.Part(bar.toLatin1()).height(), height);  // as the style has it
}

void ViewSizesTest::aNarrowMovieGetsItsOwnWidth() {
  PlayingFixture f(176, 144);
  QCOMPARE(f.ClientSize().width(), 176);
  QCOMPARE(f.Part("plMovie").size(), QSize(176, 144));
  // The status bar's panels keep their widths and are cut at its end.
  const auto& bar = static_cast<StatusBar&>(f.Part("sbMain"));
  QCOMPARE(bar.PanelLabel(Panel::Position)->width(), 100);
  QCOMPARE(bar.PanelLabel(Panel::Length)->x(), 100);
}

void ViewSizesTest::overlayTopFollowsThePicture_data() {
  QTest::addColumn<int>("videoWidth");
  QTest::addColumn<int>("videoHeight");
  QTest::addColumn<int>("top");
  QTest::newRow("640 x 272") << 640 << 272 << 601;
  QTest::newRow("720 x 576: at least 80 pixels on screen") << 720 << 576 << 688;
  QTest::newRow("no picture width") << 0 << 576 << 688;
  QTest::newRow("no picture") << 0 << 0 << 688;
}

void ViewSizesTest::overlayTopFollowsThePicture() {
  QFETCH(int, videoWidth);
  QFETCH(int, videoHeight);
  QFETCH(int, top);
  QCOMPARE(OverlayTop(1024, 768, videoWidth, videoHeight), top);
}

void ViewSizesTest::fullScreenLaysTheOverlayUnderThePicture() {
  PlayingFixture f;
  // The library's full-screen window, as the program finds it.
  QWidget pictureWindow;
  pictureWindow.setGeometry(QGuiApplication::primaryScreen()->geometry());
  pictureWindow.show();
  Movix().fullScreenWindow = &pictureWindow;
  f.Trigger("NN3");
  QCOMPARE(Movix().Take(), Calls({"SetFullScreen 1"}));
  QVERIFY(!f.fmMain->isVisible());
  const QSize screen = f.Screen();
  // Over the picture, under it, across the screen.
  QCOMPARE(f.fmSub->parentWidget(), &pictureWindow);
  QCOMPARE(f.fmSub->geometry(),
           QRect(0, OverlayTop(screen.width(), screen.height(), 640, 272), screen.width(), 173));
  QVERIFY(f.fmSub->isVisible());
  QCOMPARE(pictureWindow.children().last(), f.fmSub.get());  // on top of the picture
  // Leaving: the overlay is out of sight and belongs to no window; it keeps its width.
  f.Notify(kKeyNotify, 27);
  QVERIFY(!f.fmSub->isVisible());
  QVERIFY(!f.fmSub->parentWidget());
  QCOMPARE(f.fmSub->width(), screen.width());
  Movix().fullScreenWindow = nullptr;
}

void ViewSizesTest::withoutAPictureWindowTheOverlayStaysHidden() {
  PlayingFixture f;  // no picture (the library draws none): nothing to lay the overlay over
  f.Trigger("NN3");
  QVERIFY(!f.fmMain->isVisible());
  QVERIFY(!f.fmSub->isVisible());
}

void ViewSizesTest::escapeSpaceAndTheNoticesLeaveFullScreen() {
  PlayingFixture f;
  f.Trigger("NN3");
  Movix().Take();
  f.Notify(kKeyNotify, 32);  // Space pauses, and again resumes
  f.Notify(kKeyNotify, 32);
  f.Notify(kKeyNotify, 65);  // other keys do nothing
  QCOMPARE(Movix().Take(), Calls({"PauseMovie", "PauseMovie"}));
  f.Notify(kKeyNotify, 27);
  QCOMPARE(Movix().Take(), Calls({"SetFullScreen 0"}));
  QVERIFY(f.fmMain->isVisible());
  QVERIFY(f.ClockRuns());    // the movie goes on
  f.Notify(kKeyNotify, 32);  // not in full screen: Space does nothing
  f.Notify(kKeyNotify, 27);
  QVERIFY(Movix().Take().empty());

  // Ended from the playback side: no call back to the library.
  f.Trigger("NN3");
  Movix().Take();
  f.Notify(kFullScreenEnded);
  QVERIFY(f.fmMain->isVisible());
  f.Notify(kKeyNotify, 27);  // full screen is over: Esc does nothing
  QVERIFY(Movix().Take().empty());

  // The end of the movie: back to the window and stopped; the flag stays set, so a later
  // Esc leaves full screen once more.
  f.Trigger("NN3");
  Movix().Take();
  f.Notify(kStopPlayback);
  QVERIFY(f.fmMain->isVisible());
  QVERIFY(!f.ClockRuns());
  QCOMPARE(Movix().Take(), Calls({"StopMovie"}));
  f.Notify(kKeyNotify, 32);  // stopped: no pause
  f.Notify(kKeyNotify, 27);
  QCOMPARE(Movix().Take(), Calls({"SetFullScreen 0"}));
  f.Notify(kKeyNotify, 27);
  QVERIFY(Movix().Take().empty());
}

void ViewSizesTest::theWindowComesBackWhereItWas() {
  PlayingFixture f;
  const QRect place = f.fmMain->geometry();
  const struct {
    QEvent::Type notice;
    intptr_t key;
  } ways[] = {{kKeyNotify, 27}, {kFullScreenEnded, 0}, {kStopPlayback, 0}};
  for (const auto& way : ways) {
    f.Trigger("NN3");
    // The window manager moves the hidden window by its frame's place, a title bar higher.
    f.fmMain->move(f.fmMain->pos() - QPoint(0, 37));
    f.Notify(way.notice, way.key);
    QVERIFY(f.fmMain->isVisible());
    QCOMPARE(f.fmMain->geometry(), place);
    f.Trigger("Play1");
  }
}

void ViewSizesTest::splitterKeepsThePictureProportion() {
  PlayingFixture f;
  QSplitterHandle* handle = static_cast<QSplitter&>(f.Part("Splitter1")).handle(1);
  const int widthBefore = f.ClientSize().width();
  const QPoint from = handle->rect().center();
  QTest::mousePress(handle, Qt::LeftButton, {}, from);
  QTest::mouseMove(handle, from - QPoint(0, 20));
  QTest::mouseRelease(handle, Qt::LeftButton, {}, from - QPoint(0, 20));
  QTest::qWait(10);
  QCOMPARE(f.Part("lbSubParent").height(), 103);
  QCOMPARE(widthBefore, 640);
  QCOMPARE(f.ClientSize().width(), 593);  // 252 / 272 * 640, rounded
  QCOMPARE(f.Part("plMovie").size(), QSize(593, 252));
  // The taller strip stays; the picture takes its own size again.
  f.Trigger("NN1");
  QCOMPARE(f.Part("plMovie").size(), QSize(640, 272));
  QCOMPARE(f.Part("lbSubParent").height(), 103);
  // Stopped, the rule still holds: the picture size is known.
  f.Trigger("Stop1");
  const QPoint again = handle->rect().center();
  QTest::mousePress(handle, Qt::LeftButton, {}, again);
  QTest::mouseMove(handle, again + QPoint(0, 20));
  QTest::mouseRelease(handle, Qt::LeftButton, {}, again + QPoint(0, 20));
  QTest::qWait(10);
  QCOMPARE(f.Part("lbSubParent").height(), 83);
}

void ViewSizesTest::aRepeatedGivenSizeIsTakenBack_data() {
  // Each step: the program asks for a size ("ask"), or the window gets one ("get"),
  // and whether that is the compositor's first size repeated, to be taken back.
  QTest::addColumn<QStringList>("steps");
  QTest::addColumn<QList<bool>>("repeats");
  QTest::newRow("shown, then sized to the picture: a focus change brings the first size back")
      << QStringList{"get 550x368", "ask 640x442", "get 640x442", "get 550x368", "get 550x368"}
      << QList<bool>{false, false, true, true};
  QTest::newRow("the first size is the program's own again: it stands")
      << QStringList{"get 550x368", "ask 640x442", "ask 550x368", "get 550x368"}
      << QList<bool>{false, false};
  QTest::newRow("a size the user drags to stands, the first size does not")
      << QStringList{"get 550x368", "ask 640x442", "get 700x480", "get 550x368"}
      << QList<bool>{false, false, true};
}

void ViewSizesTest::aRepeatedGivenSizeIsTakenBack() {
  QFETCH(QStringList, steps);
  QFETCH(QList<bool>, repeats);
  GivenSizes sizes(true);
  QList<bool> answers;
  for (const QString& step : steps) {
    const QStringList wh = step.mid(4).split('x');
    const QSize size(wh[0].toInt(), wh[1].toInt());
    if (step.startsWith("ask"))
      sizes.Asked(size);
    else
      answers << sizes.Repeated(size);
  }
  QCOMPARE(answers, repeats);
  // Where the window manager keeps no first size (X), nothing is taken back.
  GivenSizes x11(false);
  x11.Repeated(QSize(550, 368));
  x11.Asked(QSize(640, 442));
  QVERIFY(!x11.Repeated(QSize(550, 368)));
}

void ViewSizesTest::hookIsSetAtStartUp() {
  Movix() = FakeMovix();
  WindowFixture f;
  const Calls calls = Movix().Take();
  QVERIFY(std::count(calls.begin(), calls.end(), "SetHook") == 1);
}

}  // namespace captivo::test

int RunViewSizesTests(int argc, char** argv) {
  captivo::test::ViewSizesTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "view_sizes_test.moc"
