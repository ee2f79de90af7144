#pragma once

#include <string>
#include <vector>

#include "message_sink.h"
#include "subtitle_loader.h"
#include "subtitle_store.h"

namespace captivo {

// The message boxes a load would show, kept to be printed.
class RecordedMessages : public MessageSink {
 public:
  struct Message {
    std::string title, text;
    MessageIcon icon;
  };
  std::vector<Message> messages;
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
    messages.push_back({title, text, icon});
  }
};

// Loads the text subtitle file `path` into `store` as the program's "Load Subtitle" does;
// false (with `error`) when it cannot be opened. A raised conversion error is kept in
// `error`: the file was read up to it. The file's encoding (SubtitleText::Encoding) into
// `encoding` when given.
bool LoadSubtitleFile(const std::string& path, SubtitleStore& store, RecordedMessages& sink,
                      SubtitleFormat& format, std::string& error, std::string* encoding = nullptr);

}  // namespace captivo
