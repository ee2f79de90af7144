// DropFileTarget1: files dropped anywhere on the main window open as a movie.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "main_window.h"

namespace captivo {

void TfmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (!event->mimeData()->hasUrls() || !(event->possibleActions() & Qt::CopyAction)) return;
  event->setDropAction(Qt::CopyAction);  // the copy effect and no other
  event->accept();
}

void TfmMain::dropEvent(QDropEvent* event) {
  // The list is read only now, in the order the drag source gives it.
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  event->setDropAction(Qt::CopyAction);
  event->accept();
  Run([this, paths] { DropFileTarget1Drop(paths); });
}

void TfmMain::DropFileTarget1Drop(const QStringList& paths) {
  // The first file opens as a movie, whatever its extension; the others are ignored.
  // ContinuedOffset and MovieDuration keep their values.
  if (paths.isEmpty()) return;
  MovieFileName = paths.first();
  OpenMovie();
}

void TfmMain::OpenDroppedFile(const QString& path) {
  Run([this, path] { DropFileTarget1Drop({path}); });
}

void TfmMain::FormDestroy() {
  setAcceptDrops(false);
}

}  // namespace captivo
