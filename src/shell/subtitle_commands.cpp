// Loading a subtitle file: the commands and OpenSubtitleFile.
#include <QFile>
#include <QFileInfo>

#include "main_window.h"
#include "subtitle_loader.h"
#include "user_prompts.h"

namespace captivo {

void TfmMain::LoadSubtitle1Click() {
  // One filter that shows every file; the chosen path is kept as it is.
  const QString path = prompts_.ChooseFile(this, "Load Subtitle", "Subtitle Files(*.*) (*)");
  if (path.isEmpty()) return;
  OpenSubtitleFile(path);
}

void TfmMain::OpenSubtitleFile(const QString& path) {
  VobSubMode = false;
  LoadTextSubtitle(QFile::encodeName(path).toStdString(), Subtitles, *this,
                   places_.TempSubtitleFolders());
  // Also after a reader's own message box; a raised error has skipped both.
  Subtitles.SubtitleFileName = QFile::encodeName(path).toStdString();
  ResetSubtitleFrameRate();
}

}  // namespace captivo
