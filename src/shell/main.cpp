// Captivo: start-up in its fixed order, then the message loop until the main window closes.
#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <clocale>
#include <string>

#include "command_line.h"
#include "file_names.h"
#include "main_window.h"
#include "movie_library.h"
#include "start_trace.h"
#include "subtitle_window.h"
#include "synchronize.h"
#include "user_prompts.h"

int main(int argc, char** argv) {
  captivo::TraceStep("main");
  if (const auto status = captivo::AnswerInformationRequest(argc, argv)) return *status;
  QApplication application(argc, argv);
  std::setlocale(LC_NUMERIC, "C");  // the movie library reads numbers the C way
  // On X11 the application name is the windows' class: running main windows are told by
  // the class "TfmMain" and the title "Captivo".
  QApplication::setApplicationName("TfmMain");
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(QIcon::fromTheme("captivo", QIcon(":/captivo.png")));
  captivo::TraceStep("toolkit started");
  // Once the toolkit has loaded its platform: the engine's libraries load beside the
  // window's making, one at a time, so that the toolkit's own loads wait for one at most.
  captivo::StartLoadingMovieLibrary();

  captivo::ToolkitPrompts prompts;
  captivo::TfmMain fmMain(captivo::ShellPlaces::ForThisProcess(), prompts);
  captivo::TfmSub fmSub;
  captivo::TfmSynchronize fmSynchronize(&fmMain);
  fmMain.AttachWindows(&fmSub, &fmSynchronize);
  captivo::TraceStep("windows built");
  fmMain.show();
  captivo::TraceStep("main window shown");
  // "captivo FILE", as the desktop's "Open With" starts it: FILE opens like a drop. It
  // names a local file, whatever it looks like: an address is no file and fails to open.
  if (argc > 1) {
    const std::string file = captivo::AbsoluteLocalPath(argv[1]);
    QTimer::singleShot(0, &fmMain, [&fmMain, file] { fmMain.OpenDroppedFile(file); });
  }
  return application.exec();
}
