#include "subtitle_loader.h"

#include "file_access.h"
#include "line_reader.h"
#include "maker.h"
#include "readers.h"
#include "text_rules.h"
#include "utf16_conversion.h"

namespace captivo {

namespace {

// Each text format: its name, the test of a file's first non-empty line, its reader. A
// key line is tried against the formats in this order; the first that claims it wins.
struct FormatDescriptor {
  SubtitleFormat format;
  const char* name;
  bool (*isKeyLine)(std::string_view keyLine);
  void (*read)(const std::string& path, SubtitleStore& store, MessageSink& sink);
};

constexpr FormatDescriptor kFormats[] = {
    {SubtitleFormat::Frame, "frame", [](std::string_view line) { return line.front() == '{'; },
     LoadFrameSubtitle},
    {SubtitleFormat::Ssa, "ssa",
     [](std::string_view line) { return line == "[Script Info]" || line == "Title:"; },
     LoadSsaSubtitle},
    {SubtitleFormat::SubViewer, "subviewer",
     [](std::string_view line) { return line == "[INFORMATION]"; }, LoadSubViewerSubtitle},
    {SubtitleFormat::TimeCode, "timecode",
     [](std::string_view line) { return line.substr(0, 3) == "00:"; }, LoadTimeCodeSubtitle},
    {SubtitleFormat::SubRip, "srt", [](std::string_view line) { return IsDigitsOrEmpty(line); },
     LoadSrtSubtitle},
};

const FormatDescriptor* Descriptor(SubtitleFormat format) {
  for (const FormatDescriptor& descriptor : kFormats)
    if (descriptor.format == format) return &descriptor;
  return nullptr;
}

// The format of the file's key line, judged where the line stands, never copied.
SubtitleFormat DetectFileFormat(const std::string& path) {
  LineReader reader(path);
  std::string_view keyLine;
  return DetectFormat(reader.ReadNonEmptyLine(keyLine) ? keyLine : std::string_view());
}

}  // namespace

const char* FormatName(SubtitleFormat format) {
  const FormatDescriptor* descriptor = Descriptor(format);
  return descriptor ? descriptor->name : "unknown";
}

SubtitleFormat DetectFormat(std::string_view keyLine) {
  if (keyLine.empty()) return SubtitleFormat::Unknown;
  for (const FormatDescriptor& descriptor : kFormats)
    if (descriptor.isKeyLine(keyLine)) return descriptor.format;
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
  if (const FormatDescriptor* descriptor = Descriptor(prepared.format))
    return descriptor->read(prepared.readPath, store, sink);
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
