// Loading a subtitle file: the commands and OpenSubtitleFile.
#include <QFile>

#include "file_names.h"
#include "main_window.h"
#include "subtitle_loader.h"
#include "user_prompts.h"
#include "vobsub.h"

namespace captivo {

void TfmMain::LoadSubtitle1Click() {
  // One filter that shows every file; the chosen path is kept as it is.
  const QString path = prompts_.ChooseFile(this, "Load Subtitle", "Subtitle Files(*.*) (*)");
  if (path.isEmpty()) return;
  OpenSubtitleFile(QFile::encodeName(path).toStdString());
}

void TfmMain::OpenSubtitleFile(const std::string& path, std::optional<int32_t> language) {
  // ".idx", ".ifo" or ".sub" with both an ".idx" and a ".sub" of its name beside it is a
  // bitmap set; the extension is compared without regard to case.
  const std::string extension = LowerCaseExtension(path);
  const std::string base = WithoutExtension(path);
  if ((extension == ".idx" || extension == ".ifo" || extension == ".sub") &&
      IsRegularFile(base + ".idx") && IsRegularFile(base + ".sub")) {
    VobSubMode = true;
    LoadVobSubFile(base.c_str());
    if (language) {
      VobSubLanguage = *language;
      SetCurrentLang(VobSubLanguage);
    } else {
      SelectVobSubLanguage();
    }
  } else {
    VobSubMode = false;
    LoadTextSubtitle(path, Subtitles, *this);
  }
  // Also after a reader's own message box; a raised error has skipped both.
  Subtitles.SubtitleFileName = path;
  ResetSubtitleFrameRate();
  firstMark_.reset();
}

void TfmMain::ChangeSubtitleLanguage1Click() {
  OpenSubtitleFile(Subtitles.SubtitleFileName);
}

}  // namespace captivo
