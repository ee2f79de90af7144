#pragma once

#include <memory>

#include "main_window.h"
#include "scripted_prompts.h"
#include "subtitle_window.h"
#include "synchronize.h"
#include "test_support.h"

namespace captivo::test {

// The three long-lived windows in start-up order, in folders of their own.
struct WindowFixture {
  // `settings` is written to "set.ini" beside the program first, unless empty.
  explicit WindowFixture(const std::string& settings = {}, bool show = true);
  ~WindowFixture();

  TempDir dir;
  ShellPlaces places;
  ScriptedPrompts prompts;
  std::unique_ptr<TfmMain> fmMain;
  std::unique_ptr<TfmSub> fmSub;
  std::unique_ptr<TfmSynchronize> fmSynchronize;

  std::filesystem::path SettingsFile() const { return places.executableFolder / "set.ini"; }
};

}  // namespace captivo::test
