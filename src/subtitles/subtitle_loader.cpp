#include "subtitle_loader.h"

#include "file_access.h"
#include "line_reader.h"
#include "maker.h"
#include "readers.h"
#include "text_rules.h"
#include "utf16_conversion.h"

namespace captivo {

namespace {

// The format of the file's key line, judged where the line stands, never copied.
SubtitleFormat DetectFileFormat(const std::string& path) {
  LineReader reader(path);
  std::string_view keyLine;
  return DetectFormat(reader.ReadNonEmptyLine(keyLine) ? keyLine : std::string_view());
}

}  // namespace

const char* FormatName(SubtitleFormat format) {
  switch (format) {
    case SubtitleFormat::Frame:
      return "frame";
    case SubtitleFormat::SubRip:
      return "srt";
    case SubtitleFormat::Ssa:
      return "ssa";
    case SubtitleFormat::SubViewer:
      return "subviewer";
    case SubtitleFormat::TimeCode:
      return "timecode";
    case SubtitleFormat::Unknown:
      break;
  }
  return "unknown";
}

SubtitleFormat DetectFormat(std::string_view keyLine) {
  if (keyLine.empty()) return SubtitleFormat::Unknown;
  if (keyLine.front() == '{') return SubtitleFormat::Frame;
  if (keyLine == "[Script Info]" || keyLine == "Title:") return SubtitleFormat::Ssa;
  if (keyLine == "[INFORMATION]") return SubtitleFormat::SubViewer;
  if (keyLine.substr(0, 3) == "00:") return SubtitleFormat::TimeCode;
  if (IsDigitsOrEmpty(keyLine)) return SubtitleFormat::SubRip;
  return SubtitleFormat::Unknown;
}

PreparedSubtitle PrepareTextSubtitle(const std::string& path,
                                     const std::vector<std::filesystem::path>& tempFolders) {
  PreparedSubtitle prepared;
  prepared.readPath = path;
  {
    FileDescriptor file = OpenRegularFile(path);
    unsigned char mark[2];
    if (ReadFully(file.Get(), reinterpret_cast<char*>(mark), 2, path) == 2) {
      const bool littleEndian = mark[0] == 0xFF && mark[1] == 0xFE;
      const bool bigEndian = mark[0] == 0xFE && mark[1] == 0xFF;
      if (littleEndian || bigEndian) {
        prepared.converted = ConvertUtf16File(file.Get(), path, bigEndian, tempFolders);
        prepared.readPath = prepared.converted.Path();
      }
    }
  }
  prepared.format = DetectFileFormat(prepared.readPath);
  return prepared;
}

void ReadTextSubtitle(const PreparedSubtitle& prepared, SubtitleStore& store, MessageSink& sink) {
  const std::string& path = prepared.readPath;
  switch (prepared.format) {
    case SubtitleFormat::Frame:
      return LoadFrameSubtitle(path, store, sink);
    case SubtitleFormat::SubRip:
      return LoadSrtSubtitle(path, store, sink);
    case SubtitleFormat::Ssa:
      return LoadSsaSubtitle(path, store, sink);
    case SubtitleFormat::SubViewer:
      return LoadSubViewerSubtitle(path, store, sink);
    case SubtitleFormat::TimeCode:
      return LoadTimeCodeSubtitle(path, store, sink);
    case SubtitleFormat::Unknown:
      break;
  }
  sink.ShowMessage("Error", UnknownFormatMessage(), MessageIcon::Information);
}

void LoadTextSubtitle(const std::string& path, SubtitleStore& store, MessageSink& sink,
                      const std::vector<std::filesystem::path>& tempFolders) {
  // The converted copy goes when the load ends, also when a reader raises.
  const PreparedSubtitle prepared = PrepareTextSubtitle(path, tempFolders);
  ReadTextSubtitle(prepared, store, sink);
}

std::string UnknownFormatMessage() {
  return std::string("Unknown subtitle file format, Please contact to ") + kSupportEmail + " !!!";
}

void ShowSubtitleFileError(MessageSink& sink) {
  sink.ShowMessage("Error", "Subtitle file error", MessageIcon::Information);
}

}  // namespace captivo
