#pragma once

#include <string>
#include <string_view>

#include "message_sink.h"
#include "subtitle_store.h"
#include "subtitle_text.h"

namespace captivo {

enum class SubtitleFormat { Unknown, Frame, SubRip, Ssa, SubViewer, TimeCode, WebVtt };

// A short name for each format: frame, srt, ssa, subviewer, timecode, webvtt, unknown.
const char* FormatName(SubtitleFormat format);

// The format that a file's key line (its first non-empty trimmed line; empty when it has
// none) stands for.
SubtitleFormat DetectFormat(std::string_view keyLine);

// The format of a text file's bytes, judged by their key line.
SubtitleFormat DetectTextFormat(std::string_view bytes);

// Runs the reader of `format` over `text`, or shows the unknown-format message and leaves
// the store (its entries and their unit) as it was. The text is let go before any message
// box: nothing large is held while one waits for the user.
void ReadTextSubtitle(SubtitleText text, SubtitleFormat format, SubtitleStore& store,
                      MessageSink& sink);

// Both steps: what "Load Subtitle" does with a text file. The file is read once (FileError
// "Cannot open file %s" when it cannot be; the store is then left alone). The format
// found; the file's encoding (SubtitleText::Encoding) into `encoding` when given.
SubtitleFormat LoadTextSubtitle(const std::string& path, SubtitleStore& store, MessageSink& sink,
                                std::string* encoding = nullptr);

// The same for a file's bytes already in memory (tests, fuzzers), UTF-16 ones included.
SubtitleFormat LoadTextSubtitleBytes(std::string_view bytes, SubtitleStore& store,
                                     MessageSink& sink);

std::string UnknownFormatMessage();

}  // namespace captivo
