// DropFileTarget1: files dropped anywhere on the main window open as a movie.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "main_window.h"
#include "movie_control.h"

namespace captivo {

namespace {

// A file address's path as the file system's bytes: percent-escapes decoded as they
// stand, so that a name that is not valid UTF-8 survives.
std::string LocalFileBytes(const QUrl& url) {
  return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

}  // namespace

void TfmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (!event->mimeData()->hasUrls() || !(event->possibleActions() & Qt::CopyAction)) return;
  event->setDropAction(Qt::CopyAction);  // the copy effect and no other
  event->accept();
}

void TfmMain::dropEvent(QDropEvent* event) {
  // The list is read only now, in the order the drag source gives it.
  std::vector<std::string> paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths.push_back(LocalFileBytes(url));
  event->setDropAction(Qt::CopyAction);
  event->accept();
  Run([this, paths] { DropFileTarget1Drop(paths); });
}

void TfmMain::DropFileTarget1Drop(const std::vector<std::string>& paths) {
  // The first file opens as a movie, whatever its extension; the others are ignored.
  // ContinuedOffset and MovieDuration keep their values.
  if (paths.empty()) return;
  movie_->SetFileName(paths.front());
  OpenMovie();
}

void TfmMain::OpenDroppedFile(const std::string& path) {
  Run([this, path] { DropFileTarget1Drop({path}); });
}

void TfmMain::FormDestroy() {
  setAcceptDrops(false);
}

}  // namespace captivo
