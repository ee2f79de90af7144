#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "file_access.h"
#include "message_sink.h"
#include "subtitle_store.h"

namespace captivo {

enum class SubtitleFormat { Unknown, Frame, SubRip, Ssa, SubViewer, TimeCode };

// A short name for each format: frame, srt, ssa, subviewer, timecode, unknown.
const char* FormatName(SubtitleFormat format);

// The format that a file's key line (its first non-empty trimmed line; empty when it has
// none) stands for.
SubtitleFormat DetectFormat(std::string_view keyLine);

// A text subtitle file made ready for its reader: a UTF-16 file is converted first and
// `readPath` names the converted copy, which is removed when this goes.
struct PreparedSubtitle {
  std::string readPath;
  SubtitleFormat format = SubtitleFormat::Unknown;
  TemporaryFile converted;
};
PreparedSubtitle PrepareTextSubtitle(const std::string& path,
                                     const std::vector<std::filesystem::path>& tempFolders);

// Runs the reader of the prepared file, or shows the unknown-format message and leaves
// the store (its entries and their unit) as it was.
void ReadTextSubtitle(const PreparedSubtitle& prepared, SubtitleStore& store, MessageSink& sink);

// Both steps: what "Load Subtitle" does with a text file.
void LoadTextSubtitle(const std::string& path, SubtitleStore& store, MessageSink& sink,
                      const std::vector<std::filesystem::path>& tempFolders);

std::string UnknownFormatMessage();

}  // namespace captivo
