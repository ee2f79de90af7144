#include "window_fixture.h"

namespace captivo::test {

WindowFixture::WindowFixture(const std::string& settings, bool show) {
  places = {dir.Path() / "bin", dir.Path() / "config", dir.Path() / "cache", dir.Path() / "run"};
  std::filesystem::create_directories(places.executableFolder);
  if (!settings.empty()) dir.Write("bin/set.ini", settings);
  fmMain = std::make_unique<TfmMain>(places, prompts);
  fmSub = std::make_unique<TfmSub>();
  fmSynchronize = std::make_unique<TfmSynchronize>(fmMain.get());
  fmMain->AttachWindows(fmSub.get(), fmSynchronize.get());
  if (show) fmMain->show();
}

WindowFixture::~WindowFixture() {
  fmSynchronize.reset();
  fmMain.reset();
}

}  // namespace captivo::test
