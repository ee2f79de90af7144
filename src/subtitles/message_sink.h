#pragma once

#include <string>

namespace captivo {

enum class MessageIcon { Information, Error };

// Where a reader's own modal message box goes: the main window shows it, tests record it.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) = 0;
};

}  // namespace captivo
