#pragma once

#include <functional>

class QWidget;

namespace captivo {

class UserPrompts;

// The one place where an error raised inside a command ends: the command is abandoned,
// its message is shown in a box titled "Captivo" with the error icon, and the program
// goes on. Running out of memory is shown so too.
void RunCommand(UserPrompts& prompts, QWidget* owner, const std::function<void()>& command);

// How a part of the window runs a command of its own: behind the window's boundary.
using CommandRunner = std::function<void(const std::function<void()>& command)>;

}  // namespace captivo
