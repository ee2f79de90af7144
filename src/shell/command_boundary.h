#pragma once

#include <functional>

class QWidget;

namespace captivo {

class UserPrompts;

// The one place where an error raised inside a command ends: the command is abandoned,
// its message is shown in a box titled "Captivo" with the error icon, and the program
// goes on. Running out of memory is shown so too.
void RunCommand(UserPrompts& prompts, QWidget* owner, const std::function<void()>& command);

}  // namespace captivo
