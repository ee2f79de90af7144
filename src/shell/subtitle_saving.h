#pragma once

#include <QString>

#include "subtitle_writer.h"

class QWidget;

namespace captivo {

struct SubtitlePair;
class MovieControl;
class StatusBar;
class TimingControl;
class UserPrompts;

// Subtitle > Save Subtitle As...: the loaded text subtitle as it shows now (the offset and
// rate in force, exact times, the lines a synchronisation moved), written as SubRip or
// WebVTT in UTF-8 by the extension given, else by the filter chosen. A file already there
// is replaced only when the user says so.
class SubtitleSaving {
 public:
  // `toUtf8` reads text that is not UTF-8 as the user sees it shown.
  SubtitleSaving(QWidget* owner, UserPrompts& prompts, const SubtitlePair& subtitles,
                 const MovieControl& movie, const TimingControl& timing, StatusBar& status,
                 TextToUtf8 toUtf8)
      : owner_(owner),
        prompts_(prompts),
        subtitles_(subtitles),
        movie_(movie),
        timing_(timing),
        status_(status),
        toUtf8_(std::move(toUtf8)) {}

  void SaveAs();

 private:
  QWidget* owner_;
  UserPrompts& prompts_;
  const SubtitlePair& subtitles_;
  const MovieControl& movie_;
  const TimingControl& timing_;
  StatusBar& status_;
  TextToUtf8 toUtf8_;
};

}  // namespace captivo
