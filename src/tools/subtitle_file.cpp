#include "subtitle_file.h"

#include "errors.h"
#include "utf16_conversion.h"

namespace captivo {

bool LoadSubtitleFile(const std::string& path, SubtitleStore& store, RecordedMessages& sink,
                      PreparedSubtitle& prepared, std::string& error) {
  try {
    prepared = PrepareTextSubtitle(path, TempSubtitleFolders());
    ReadTextSubtitle(prepared, store, sink);
  } catch (const FileError& e) {
    error = e.what();
    return false;
  } catch (const ConversionError& e) {
    error = e.what();
  }
  return true;
}

}  // namespace captivo
