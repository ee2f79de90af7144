#include "problem_log.h"

namespace vobsub {

void ProblemLog::Add(std::string problem) {
  if (kept_.size() < kKept)
    kept_.push_back(std::move(problem));
  else
    ++leftOut_;
}

void ProblemLog::Clear() {
  kept_.clear();
  leftOut_ = 0;
}

std::vector<std::string> ProblemLog::Lines() const {
  std::vector<std::string> lines = kept_;
  if (leftOut_) lines.push_back(std::to_string(leftOut_) + " more problems left out");
  return lines;
}

}  // namespace vobsub
