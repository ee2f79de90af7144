#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace captivo::test {

// The speech library's functions with answers set here: the levels "heard", or a failure.
// The reading takes `readingSteps` steps of `stepMs`, asking the progress function after
// each, so that a test can watch the window while it runs and cancel it.
struct FakeSpeech {
  std::vector<uint8_t> levels;
  double frameRate = 25;
  int32_t status = 0;  // SPEECH_READ
  int readingSteps = 1;
  int stepMs = 0;
  std::atomic<int> reads{0};
  std::atomic<bool> readsStopped{false};  // a reading was stopped by its progress function
  std::string lastPath;
  int32_t lastTrack = 0;

  // As at the start: no levels, 25 fps, read at once.
  void Reset();
};

FakeSpeech& Speech();

}  // namespace captivo::test
