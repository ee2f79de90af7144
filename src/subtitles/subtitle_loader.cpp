#include "subtitle_loader.h"

#include <utility>

#include "line_reader.h"
#include "maker.h"
#include "readers.h"
#include "text_rules.h"

namespace captivo {

namespace {

// Each text format: its name, the test of a file's first non-empty line, its reader. A
// key line is tried against the formats in this order; the first that claims it wins.
struct FormatDescriptor {
  SubtitleFormat format;
  const char* name;
  bool (*isKeyLine)(std::string_view keyLine);
  ReaderResult (*read)(std::string_view bytes, SubtitleStore& store);
};

constexpr FormatDescriptor kFormats[] = {
    {SubtitleFormat::Frame, "frame", [](std::string_view line) { return line.front() == '{'; },
     ReadFrameSubtitle},
    {SubtitleFormat::Ssa, "ssa",
     [](std::string_view line) { return line == "[Script Info]" || line == "Title:"; },
     ReadSsaSubtitle},
    {SubtitleFormat::SubViewer, "subviewer",
     [](std::string_view line) { return line == "[INFORMATION]"; }, ReadSubViewerSubtitle},
    {SubtitleFormat::TimeCode, "timecode",
     [](std::string_view line) { return line.substr(0, 3) == "00:"; }, ReadTimeCodeSubtitle},
    {SubtitleFormat::WebVtt, "webvtt", IsVttSignature, ReadVttSubtitle},
    {SubtitleFormat::SubRip, "srt", [](std::string_view line) { return IsDigitsOrEmpty(line); },
     ReadSrtSubtitle},
};

const FormatDescriptor* Descriptor(SubtitleFormat format) {
  for (const FormatDescriptor& descriptor : kFormats)
    if (descriptor.format == format) return &descriptor;
  return nullptr;
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

SubtitleFormat DetectTextFormat(std::string_view bytes) {
  std::string_view keyLine;
  LineReader(bytes).ReadNonEmptyLine(keyLine);
  return DetectFormat(keyLine);
}

void ReadTextSubtitle(SubtitleText text, SubtitleFormat format, SubtitleStore& store,
                      MessageSink& sink) {
  const FormatDescriptor* descriptor = Descriptor(format);
  const ReaderResult message = descriptor ? descriptor->read(text.View(), store) : std::nullopt;
  text.Release();
  if (!descriptor)
    sink.ShowMessage("Error", UnknownFormatMessage(), MessageIcon::Information);
  else if (message)
    sink.ShowMessage("Error", message->text, message->icon);
}

namespace {

SubtitleFormat LoadText(SubtitleText text, SubtitleStore& store, MessageSink& sink,
                        std::string* encoding = nullptr) {
  if (encoding) *encoding = text.Encoding();
  const SubtitleFormat format = DetectTextFormat(text.View());
  ReadTextSubtitle(std::move(text), format, store, sink);
  return format;
}

}  // namespace

SubtitleFormat LoadTextSubtitle(const std::string& path, SubtitleStore& store, MessageSink& sink,
                                std::string* encoding) {
  return LoadText(SubtitleText::FromFile(path), store, sink, encoding);
}

SubtitleFormat LoadTextSubtitleBytes(std::string_view bytes, SubtitleStore& store,
                                     MessageSink& sink) {
  return LoadText(SubtitleText::FromBytes(bytes), store, sink);
}

std::string UnknownFormatMessage() {
  return std::string("Unknown subtitle file format, Please contact to ") + kSupportEmail + " !!!";
}

}  // namespace captivo
