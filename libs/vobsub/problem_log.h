#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vobsub {

// What was skipped while reading a set, in the order found. A hostile file can hold a
// problem on every line, so only the first kKept are kept and the rest counted.
class ProblemLog {
 public:
  static constexpr size_t kKept = 200;

  void Add(std::string problem);
  // Kept even when the log is full: for a problem that ends the reading.
  void AddLast(std::string problem) { kept_.push_back(std::move(problem)); }
  void Clear();
  // The kept problems, then one line telling how many more were left out.
  std::vector<std::string> Lines() const;

 private:
  std::vector<std::string> kept_;
  size_t leftOut_ = 0;
};

}  // namespace vobsub
