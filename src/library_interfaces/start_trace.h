#pragma once

// With CAPTIVO_TRACE set, the steps of start-up and of opening a movie go to standard
// error, each with the milliseconds since the process started: where the time to the
// first picture goes.
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace captivo {

inline double MillisecondsSinceProcessStart() {
  // The process's start in clock ticks since boot: the 22nd field of /proc/self/stat.
  static const double started = [] {
    unsigned long long ticks = 0;
    if (FILE* stat = std::fopen("/proc/self/stat", "r")) {
      char comm[64];
      // pid (comm) state, then 18 fields before starttime; comm holds no blank here.
      if (std::fscanf(stat,
                      "%*d %63s %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d "
                      "%*d %*d %*d %llu",
                      comm, &ticks) != 2)
        ticks = 0;
      std::fclose(stat);
    }
    return ticks * 1000.0 / sysconf(_SC_CLK_TCK);
  }();
  timespec now;
  clock_gettime(CLOCK_BOOTTIME, &now);
  return now.tv_sec * 1000.0 + now.tv_nsec / 1e6 - started;
}

inline void TraceStep(const char* step) {
  static const bool tracing = std::getenv("CAPTIVO_TRACE") != nullptr;
  if (tracing)
    std::fprintf(stderr, "captivo-trace %8.1f ms  %s\n", MillisecondsSinceProcessStart(), step);
}

}  // namespace captivo
