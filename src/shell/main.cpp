// Captivo: start-up in its fixed order, then the message loop until the main window closes.
#include <QApplication>

#include "main_window.h"
#include "subtitle_window.h"
#include "synchronize.h"
#include "user_prompts.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // On X11 the application name is the windows' class: running main windows are told by
  // the class "TfmMain" and the title "Captivo".
  QApplication::setApplicationName("TfmMain");
  QApplication::setQuitOnLastWindowClosed(false);

  captivo::ToolkitPrompts prompts;
  captivo::TfmMain fmMain(captivo::ShellPlaces::ForThisProcess(), prompts);
  captivo::TfmSub fmSub;
  fmSub.show();
  captivo::TfmSynchronize fmSynchronize(&fmMain);
  fmMain.AttachWindows(&fmSub, &fmSynchronize);
  fmMain.show();
  return application.exec();
}
