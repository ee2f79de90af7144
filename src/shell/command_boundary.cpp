#include "command_boundary.h"

#include <exception>

#include "user_prompts.h"

namespace captivo {

void RunCommand(UserPrompts& prompts, QWidget* owner, const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& error) {
    prompts.ShowMessage(owner, "Captivo", QString::fromLocal8Bit(error.what()),
                        QMessageBox::Critical);
  }
}

}  // namespace captivo
