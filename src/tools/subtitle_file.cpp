#include "subtitle_file.h"

#include "errors.h"
#include "subtitle_text.h"

namespace captivo {

bool LoadSubtitleFile(const std::string& path, SubtitleStore& store, RecordedMessages& sink,
                      SubtitleFormat& format, std::string& error, std::string* encoding) {
  try {
    SubtitleText text = SubtitleText::FromFile(path);
    if (encoding) *encoding = text.Encoding();
    format = DetectTextFormat(text.View());
    ReadTextSubtitle(std::move(text), format, store, sink);
  } catch (const FileError& e) {
    error = e.what();
    return false;
  } catch (const ConversionError& e) {
    error = e.what();
  }
  return true;
}

}  // namespace captivo
