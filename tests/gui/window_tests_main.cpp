#include <QApplication>
#include <QtTest>

#include "test_processes.h"

int RunMainWindowTests(int argc, char** argv);
int RunSynchronizeTests(int argc, char** argv);
int RunSubtitleDisplayTests(int argc, char** argv);
int RunMovieCommandsTests(int argc, char** argv);
int RunMovieControlTests(int argc, char** argv);
int RunBitmapSubtitlesTests(int argc, char** argv);
int RunViewSizesTests(int argc, char** argv);
int RunBadInputTests(int argc, char** argv);
int RunPlayerKeysTests(int argc, char** argv);
int RunLineTimingTests(int argc, char** argv);
int RunTrackMenusTests(int argc, char** argv);
int RunSyncCommandsTests(int argc, char** argv);
int RunSecondSubtitleTests(int argc, char** argv);

int main(int argc, char** argv) {
  captivo::test::HoldRegistrationIfAsked(argc, argv);
  QApplication application(argc, argv);
  int failures = 0;
  failures += RunMainWindowTests(argc, argv);
  failures += RunSynchronizeTests(argc, argv);
  failures += RunSubtitleDisplayTests(argc, argv);
  failures += RunMovieCommandsTests(argc, argv);
  failures += RunMovieControlTests(argc, argv);
  failures += RunBitmapSubtitlesTests(argc, argv);
  failures += RunViewSizesTests(argc, argv);
  failures += RunBadInputTests(argc, argv);
  failures += RunPlayerKeysTests(argc, argv);
  failures += RunLineTimingTests(argc, argv);
  failures += RunTrackMenusTests(argc, argv);
  failures += RunSyncCommandsTests(argc, argv);
  failures += RunSecondSubtitleTests(argc, argv);
  return failures == 0 ? 0 : 1;
}
