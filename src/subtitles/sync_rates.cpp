#include "sync_rates.h"

#include <algorithm>
#include <cmath>

namespace captivo {

namespace {

constexpr double kNearStep = 0.0005;  // rates near the movie's, 0.05 % apart
constexpr int kNearSteps = 4;
constexpr double kSameRate = 0.0001;
// The release rates whose ratios a subtitle may have been made across.
constexpr double kReleaseRates[] = {23.976, 24, 25, 29.97};

}  // namespace

namespace {

// Rising, without near twins; of two alike the movie's own or a usual rate stays.
std::vector<double> Distinct(std::vector<double> rates, double movieFrameRate) {
  std::sort(rates.begin(), rates.end());
  std::vector<double> distinct;
  for (const double rate : rates) {
    if (rate < movieFrameRate / 2 || rate > movieFrameRate * 2) continue;
    if (!distinct.empty() && rate - distinct.back() <= distinct.back() * kSameRate) {
      if (rate == movieFrameRate || std::find(kFixedFrameRates.begin(), kFixedFrameRates.end(),
                                              rate) != kFixedFrameRates.end())
        distinct.back() = rate;
      continue;
    }
    distinct.push_back(rate);
  }
  return distinct;
}

}  // namespace

std::vector<double> ReleaseRates(double movieFrameRate) {
  if (!(movieFrameRate > 0) || !std::isfinite(movieFrameRate)) return {};
  std::vector<double> rates(kFixedFrameRates.begin(), kFixedFrameRates.end());
  for (const double from : kReleaseRates)
    for (const double to : kReleaseRates) rates.push_back(movieFrameRate * to / from);
  return Distinct(std::move(rates), movieFrameRate);
}

std::vector<double> CandidateRates(double movieFrameRate) {
  std::vector<double> rates = ReleaseRates(movieFrameRate);
  if (rates.empty()) return rates;
  for (int step = -kNearSteps; step <= kNearSteps; ++step)
    if (step != 0) rates.push_back(movieFrameRate * (1 + step * kNearStep));
  return Distinct(std::move(rates), movieFrameRate);
}

}  // namespace captivo
