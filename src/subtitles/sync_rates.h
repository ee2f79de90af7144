#pragma once

#include <vector>

namespace captivo {

// The frame rates releases are made at, as the frame rate menu offers them.
inline constexpr double kUsualFrameRates[] = {23.976, 24, 25, 29.97, 30};

// The subtitle rates that make sense for a movie at `movieFrameRate`: its own, the usual
// ones, and its own changed as from one usual rate to another (a subtitle made for a
// release at 25 fps of a movie shown at 23.976). Rising, no two within 0.01 % of each
// other; empty without a rate above 0.
std::vector<double> ReleaseRates(double movieFrameRate);

// The rates a solve tries: the release rates, and rates within 0.2 % of the movie's own
// in steps of 0.05 % to find one near it.
std::vector<double> CandidateRates(double movieFrameRate);

}  // namespace captivo
