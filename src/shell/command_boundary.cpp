#include "command_boundary.h"

#include <exception>
#include <new>

#include "user_prompts.h"

namespace captivo {

void RunCommand(UserPrompts& prompts, QWidget* owner, const std::function<void()>& command) {
  try {
    command();
  } catch (const std::bad_alloc&) {
    // What the command held has been given back on the way here: there is room for a box.
    prompts.ShowMessage(owner, "Captivo", "Not enough memory to finish this command",
                        QMessageBox::Critical);
  } catch (const std::exception& error) {
    prompts.ShowMessage(owner, "Captivo", QString::fromLocal8Bit(error.what()),
                        QMessageBox::Critical);
  }
}

}  // namespace captivo
