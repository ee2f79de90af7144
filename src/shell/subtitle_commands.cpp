// Loading a subtitle file: the commands and OpenSubtitleFile.
#include <QFile>
#include <QFileInfo>

#include "main_window.h"
#include "subtitle_loader.h"
#include "user_prompts.h"
#include "vobsub.h"

namespace captivo {

void TfmMain::LoadSubtitle1Click() {
  // One filter that shows every file; the chosen path is kept as it is.
  const QString path = prompts_.ChooseFile(this, "Load Subtitle", "Subtitle Files(*.*) (*)");
  if (path.isEmpty()) return;
  OpenSubtitleFile(path);
}

void TfmMain::OpenSubtitleFile(const QString& path) {
  // ".idx", ".ifo" or ".sub" with both an ".idx" and a ".sub" of its name beside it is a
  // bitmap set; the extension is compared without regard to case.
  const QFileInfo file(path);
  const int dot = file.fileName().lastIndexOf('.');
  const QString extension = dot < 0 ? QString() : file.fileName().mid(dot).toLower();
  const QString base = file.path() + "/" + file.fileName().left(dot);
  if ((extension == ".idx" || extension == ".ifo" || extension == ".sub") &&
      QFileInfo(base + ".idx").isFile() && QFileInfo(base + ".sub").isFile()) {
    VobSubMode = true;
    LoadVobSubFile(QFile::encodeName(base).constData());
    SelectVobSubLanguage();
  } else {
    VobSubMode = false;
    LoadTextSubtitle(QFile::encodeName(path).toStdString(), Subtitles, *this,
                     places_.TempSubtitleFolders());
  }
  // Also after a reader's own message box; a raised error has skipped both.
  Subtitles.SubtitleFileName = QFile::encodeName(path).toStdString();
  ResetSubtitleFrameRate();
}

}  // namespace captivo
