#pragma once

#include <vector>

#include "subtitle_timing.h"

namespace captivo {

// The subtitle rates that make sense for a movie at `movieFrameRate`: its own, the usual
// ones, and its own changed as from one usual rate to another (a subtitle made for a
// release at 25 fps of a movie shown at 23.976). Rising, no two within 0.01 % of each
// other; empty without a rate above 0.
std::vector<double> ReleaseRates(double movieFrameRate);

// The rates a solve tries: the release rates, and rates within 0.2 % of the movie's own
// in steps of 0.05 % to find one near it.
std::vector<double> CandidateRates(double movieFrameRate);

}  // namespace captivo
