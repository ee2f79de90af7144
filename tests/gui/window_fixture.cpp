#include "window_fixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QSlider>
#include <QTimer>

#include "fake_movix.h"
#include "subtitle_image.h"
#include "subtitle_label.h"
#include "window_messages.h"

namespace captivo::test {

WindowFixture::WindowFixture(const std::string& settings, bool show) {
  places = {dir.Path() / "bin", dir.Path() / "config", dir.Path() / "run", dir.Path() / "state"};
  std::filesystem::create_directories(places.executableFolder);
  if (!settings.empty()) dir.Write("bin/set.ini", settings);
  fmMain = std::make_unique<TfmMain>(places, prompts);
  fmSub = std::make_unique<TfmSub>();
  fmSynchronize = std::make_unique<TfmSynchronize>(fmMain.get());
  fmMain->AttachWindows(fmSub.get(), fmSynchronize.get());
  if (show) fmMain->show();
}

WindowFixture::~WindowFixture() {
  fmSynchronize.reset();
  fmMain.reset();
}

QAction* WindowFixture::Action(const char* name) const {
  auto* action = fmMain->findChild<QAction*>(name);
  if (!action) qFatal("no menu item %s", name);
  return action;
}

void WindowFixture::Trigger(const char* name) const {
  Action(name)->trigger();
}

void WindowFixture::Run(const char* handler) const {
  if (!QMetaObject::invokeMethod(fmMain.get(), handler, Qt::DirectConnection))
    qFatal("no handler %s", handler);
}

bool WindowFixture::Drop(const QList<QUrl>& files) const {
  QMimeData data;
  data.setUrls(files);
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
  QCoreApplication::sendEvent(fmMain.get(), &enter);
  if (!enter.isAccepted() || enter.dropAction() != Qt::CopyAction) return false;
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
  QCoreApplication::sendEvent(fmMain.get(), &drop);
  return drop.isAccepted();
}

QString WindowFixture::PanelText(Panel panel) const {
  return fmMain->findChild<StatusBar*>("sbMain")->PanelText(panel);
}

SubtitleLabel& WindowFixture::StripText() const {
  return *fmMain->findChild<SubtitleLabel*>("lbSubtitle");
}

SubtitleImage& WindowFixture::StripImage() const {
  return *fmMain->findChild<SubtitleImage*>("imSubtitle");
}

QSlider& WindowFixture::SeekBar() const {
  return *fmMain->findChild<QSlider*>("tbMain");
}

QWidget& WindowFixture::Part(const char* name) const {
  auto* part = fmMain->findChild<QWidget*>(name);
  if (!part) qFatal("no part %s", name);
  return *part;
}

bool WindowFixture::ClockRuns() const {
  return fmMain->findChild<QTimer*>("tmMovie")->isActive();
}

void WindowFixture::Tick() const {
  QMetaObject::invokeMethod(fmMain.get(), "tmMovieTimer", Qt::DirectConnection);
}

void WindowFixture::Idle() const {
  QMetaObject::invokeMethod(fmMain.get(), "ApplicationEvents1Idle", Qt::DirectConnection);
}

QSize WindowFixture::ClientSize() const {
  return fmMain->centralWidget()->size();
}

void WindowFixture::ResizeClient(int width, int height) const {
  fmMain->resize(width, height + fmMain->menuBar()->height());
}

void WindowFixture::LoadSubtitle(const std::string& path) {
  prompts.files.push_back(QString::fromStdString(path));
  auto asked = prompts.onExec;
  if (!asked) prompts.onExec = [](QDialog*) { return 0; };
  Trigger("LoadSubtitle1");
  prompts.onExec = asked;
}

QString WindowFixture::OpenMovie(const std::string& name) {
  const QString path = QString::fromStdString(dir.Write(name, "movie"));
  prompts.files.push_back(path);
  Trigger("PlayFile1");
  return path;
}

std::string WindowFixture::ShownAt(int32_t frame) {
  Movix().position = frame;
  Tick();
  return StripText().Text();
}

void WindowFixture::Notify(QEvent::Type type, intptr_t key) const {
  QCoreApplication::postEvent(fmMain.get(), new WindowMessage(type, key));
  QCoreApplication::sendPostedEvents(fmMain.get(), type);
}

}  // namespace captivo::test
