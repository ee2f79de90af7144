// The solve: which subtitle rate and offset lay the lines best on the evidence, found in
// steps from coarse to fine.
//   1. Every candidate rate, every offset within ten minutes at 100 ms: the lines' shown
//      time is scored by how much more evidence it covers than the average moment has.
//   2. At the best rate, a second offset from one line on, when the lines split there are
//      laid much better than all together (a cut).
//   3. Each offset to 10 ms by the same score.
//   4. The lines' starts against the evidence's onsets near them: the mean of the middle
//      half of the differences sets each offset, and a line through them all the rate,
//      taken as the release rate within 0.05 % of it where there is one. With a cut, the
//      lines near it then go to the part whose offset shows them where speech begins and
//      lasts, the dialogue kept in order, and step 4 is done again.
// Shown time t of a line stored at T: t = scale * T + shift, scale = rate / movieRate and
// shift = -scale * offset.
#include <algorithm>
#include <cmath>

#include "conversions.h"
#include "speech_sync.h"
#include "sync_evidence.h"
#include "sync_rates.h"
#include "two_point_timing.h"

namespace captivo {

namespace {

constexpr int64_t kCoarseMs = 100;
constexpr int64_t kFrameMs = kEvidenceFrameMs;
constexpr int64_t kRangeMs = 10 * 60'000;  // offsets tried either way
constexpr size_t kFewestLines = kFewestSyncLines;
// Less evidence than this in the whole movie is no speech at all.
constexpr double kLeastEvidenceMs = 2'000;
// The lines laid best must lie on speech this many spreads more often than chance's count,
// and this many in a hundred more.
constexpr double kLeastSpreadsOverChance = 6;
constexpr int kLeastGainPercent = 10;
// A line lies on the evidence when this share of its time is covered.
constexpr double kCoveredShare = 1.0 / 3;
// Step 3 looks this far either side of the coarse offset; step 4 this far for an onset,
// narrowing to the last for the centre.
constexpr int64_t kFineReachMs = 300;
constexpr double kOnsetReachMs[] = {500, 300, 200};
// A cut needs this many lines, this share of them, on either side, an offset this far
// from the other, and a gain of this many lines' worth at least.
constexpr size_t kFewestCutLines = 20;
constexpr double kLeastCutShare = 0.03;
constexpr int64_t kLeastCutShiftMs = 500;
// Either part laid apart must stand out there: this much higher above the typical offset
// than at any other offset further than kAsideSteps.
constexpr double kLeastCutStanding = 1.4;
constexpr size_t kAsideSteps = 5'000 / kCoarseMs;
constexpr double kLeastCutGainLines = 3;
// The lines near a cut found at 100 ms are weighed again one by one, this many either side.
constexpr size_t kCutReachLines = 30;

struct Line {
  double startMs, endMs;  // as stored
  size_t index;           // in the order given
};

// Running sums of the evidence less its mean, looked up anywhere: before the movie they
// stay 0, after it at the total.
class Sums {
 public:
  Sums(const std::vector<float>& frames, int64_t stepFrames, double mean) {
    const size_t steps = (frames.size() + size_t(stepFrames) - 1) / size_t(stepFrames);
    sums_.assign(steps + 1, 0.0);
    for (size_t i = 0; i < steps; ++i) {
      double value = 0;
      const size_t first = i * size_t(stepFrames),
                   last = std::min(frames.size(), first + size_t(stepFrames));
      for (size_t k = first; k < last; ++k) value += frames[k] - mean;
      sums_[i + 1] = sums_[i] + value;
    }
  }
  double At(int64_t step) const {
    return sums_[size_t(std::clamp<int64_t>(step, 0, int64_t(sums_.size()) - 1))];
  }
  size_t Steps() const { return sums_.size() - 1; }
  const double* Data() const { return sums_.data(); }

 private:
  std::vector<double> sums_;
};

struct Fit {
  double scale = 1;
  double shiftMs = 0;
  double Shown(double storedMs) const { return scale * storedMs + shiftMs; }
};

// What one line adds to the score of each offset of a range: the evidence under its shown
// time. `scores[j]` is for shift (firstStep + j) steps.
void AddLine(const Sums& sums, int64_t startStep, int64_t endStep, int64_t firstStep,
             std::vector<double>& scores) {
  const int64_t count = int64_t(scores.size());
  const int64_t last = int64_t(sums.Steps());
  // Within the movie the sums are looked up directly; outside, held at the ends.
  for (int64_t j = 0; j < count; ++j) {
    const int64_t a = startStep + firstStep + j, b = endStep + firstStep + j;
    if (a >= 0 && b <= last) {
      const int64_t run = std::min(count - j, last - b + 1);
      const double* starts = sums.Data() + a;
      const double* ends = sums.Data() + b;
      double* out = scores.data() + j;
      for (int64_t r = 0; r < run; ++r) out[r] += ends[r] - starts[r];
      j += run - 1;
    } else {
      scores[size_t(j)] += sums.At(b) - sums.At(a);
    }
  }
}

std::pair<int64_t, int64_t> Steps(const Line& line, double scale, int64_t stepMs) {
  const double start = scale * line.startMs;
  const double end = scale * std::min(line.endMs, line.startMs + double(kLongestLineMs));
  return {std::llround(start / double(stepMs)), std::llround(end / double(stepMs))};
}

// How much higher above the typical value a peak is than the best value further than
// `aside` from it; only the values where `counts` are compared with it.
double OverSecond(const std::vector<double>& scores, size_t peak, size_t aside,
                  const std::vector<bool>& counts) {
  std::vector<double> others;
  for (size_t j = 0; j < scores.size(); ++j)
    if ((j + aside < peak || j > peak + aside) && counts[j]) others.push_back(scores[j]);
  if (others.size() < 10) return 0;
  const double second = *std::max_element(others.begin(), others.end());
  auto middle = others.begin() + others.size() / 2;
  std::nth_element(others.begin(), middle, others.end());
  const double median = *middle;
  return second > median ? (scores[peak] - median) / (second - median) : 0;
}

// The centre of differences between lines and onsets: the mean of their middle half.
// Matched onsets lie evenly about the true difference and wrong matches anywhere in reach;
// the middle half leaves out most wrong ones and, unlike the middle one alone, averages
// the rest.
double Centre(std::vector<double>& values) {
  std::sort(values.begin(), values.end());
  const size_t from = values.size() / 4, to = values.size() - values.size() / 4;
  double total = 0;
  for (size_t i = from; i < to; ++i) total += values[i];
  return total / double(to - from);
}

struct Coarse {
  double rate = 0;
  int64_t firstStep = 0;
  std::vector<double> scores;
  size_t peak = 0;
};

class Solver {
 public:
  Solver(const SyncSubject& subject, Evidence evidence, const SyncProgress& progress)
      : subject_(subject),
        evidence_(std::move(evidence)),
        progress_(progress),
        mean_(Mean(evidence_.frames)),
        coarse_(evidence_.frames, kCoarseMs / kFrameMs, mean_),
        fine_(evidence_.frames, 1, mean_) {
    for (size_t i = 0; i < subject.lines.size(); ++i)
      lines_.push_back({double(subject.lines[i].startMs), double(subject.lines[i].endMs), i});
    std::stable_sort(lines_.begin(), lines_.end(),
                     [](const Line& a, const Line& b) { return a.startMs < b.startMs; });
    evidenceMs_ = mean_ * double(evidence_.frames.size()) * kFrameMs;
  }

  SyncResult Solve() {
    SyncResult result;
    if (lines_.empty()) return Outcome(SyncOutcome::NoLines);
    if (lines_.size() < kFewestLines) return Outcome(SyncOutcome::TooFewLines);
    if (!(subject_.movieFrameRate > 0)) return Outcome(SyncOutcome::NoMovieRate);
    if (evidenceMs_ < kLeastEvidenceMs) return Outcome(SyncOutcome::NoSpeech);
    const std::optional<Coarse> coarse = SearchCoarse();
    if (!coarse) return Outcome(SyncOutcome::Cancelled);

    const double scale = coarse->rate / subject_.movieFrameRate;
    const Fit start{scale, double((coarse->firstStep + int64_t(coarse->peak)) * kCoarseMs)};
    std::optional<Split> split =
        subject_.linesCanMove ? FindSplit(*coarse, scale) : std::optional<Split>();
    if (!progress_(0.9)) return Outcome(SyncOutcome::Cancelled);

    std::vector<Fit> fits;
    size_t cutAt = lines_.size();
    if (split) {
      cutAt = split->at;
      fits = {{scale, double(split->firstShift * kCoarseMs)},
              {scale, double(split->secondShift * kCoarseMs)}};
    } else {
      fits = {start};
    }
    for (Fit& fit : fits) fit = RefineFine(fit);
    RefineByOnsets(fits, cutAt);
    if (split) {
      // The cut placed line by line with each part's fit to 10 ms, and the fits again.
      cutAt = PlaceCut(cutAt, fits[0], fits[1]);
      RefineByOnsets(fits, cutAt);
    }

    const Fit& first = fits[0];
    result.subtitleFrameRate =
        subject_.onlyRate ? *subject_.onlyRate : first.scale * subject_.movieFrameRate;
    result.offsetMs = RoundToInt32(-first.shiftMs / first.scale);
    if (fits.size() == 2) {
      const Line& moved = lines_[cutAt];
      result.cut = SyncCut{moved.index, int64_t(moved.startMs),
                           RoundToInt32((fits[1].shiftMs - first.shiftMs) / first.scale)};
    }
    // How many lines lie on speech, against how many would were they laid anywhere else.
    const Agreement agreement = AgreementOf(fits, cutAt, 0);
    double chance = 0;
    for (const double away : {-181'000.0, -97'000.0, -53'000.0, 47'000.0, 89'000.0, 173'000.0})
      chance += AgreementOf(fits, cutAt, away).Share() / 6;
    result.agreementPercent = int(std::lround(100 * agreement.Share()));
    result.chancePercent = int(std::lround(100 * chance));
    // The share of lines on speech must lie far above chance's, in spreads of the count that
    // chance alone would give, and by a margin a user sees.
    const double p = std::clamp(chance, 0.02, 0.98);
    const double spreads = (agreement.Share() - p) /
                           std::sqrt(p * (1 - p) / double(std::max<size_t>(1, agreement.counted)));
    result.outcome = spreads >= kLeastSpreadsOverChance &&
                             result.agreementPercent >= result.chancePercent + kLeastGainPercent
                         ? SyncOutcome::Solved
                         : SyncOutcome::TooLittleAgreement;
    if (!progress_(1)) return Outcome(SyncOutcome::Cancelled);
    return result;
  }

 private:
  struct Split {
    size_t at;                        // the first line of the second part, in time order
    int64_t firstShift, secondShift;  // in coarse steps
  };

  static double Mean(const std::vector<float>& frames) {
    double total = 0;
    for (const float f : frames) total += f;
    return frames.empty() ? 0 : total / double(frames.size());
  }

  SyncResult Outcome(SyncOutcome outcome) const {
    SyncResult result;
    result.outcome = outcome;
    return result;
  }

  std::vector<double> Rates() const {
    if (subject_.onlyRate) return {*subject_.onlyRate};
    return CandidateRates(subject_.movieFrameRate);
  }

  // For each coarse offset, whether lines [first, end) then lie mostly within the movie: an
  // offset that lays them past its end says nothing of how well others lay them.
  std::vector<bool> WithinMovie(size_t first, size_t end, const Coarse& coarse) const {
    const double scale = coarse.rate / subject_.movieFrameRate;
    const double from = scale * lines_[first].startMs / kCoarseMs;
    const double to = scale * lines_[end - 1].startMs / kCoarseMs;
    const double movie = double(coarse_.Steps());
    const double enough = 0.5 * std::min(to - from, movie);
    std::vector<bool> counts(coarse.scores.size());
    for (size_t j = 0; j < counts.size(); ++j) {
      const double shift = double(coarse.firstStep + int64_t(j));
      counts[j] = std::min(to + shift, movie) - std::max(from + shift, 0.0) >= enough;
    }
    return counts;
  }

  // Step 1: the scores of every offset at every candidate rate; the rate with the best.
  std::optional<Coarse> SearchCoarse() {
    const Sums& sums = coarse_;
    const std::vector<double> rates = Rates();
    std::optional<Coarse> best;
    for (size_t r = 0; r < rates.size(); ++r) {
      Coarse coarse;
      coarse.rate = rates[r];
      const double scale = rates[r] / subject_.movieFrameRate;
      const int64_t reach = std::llround(kRangeMs * scale / kCoarseMs);
      coarse.firstStep = -reach;
      coarse.scores.assign(size_t(2 * reach + 1), 0.0);
      for (const Line& line : lines_) {
        const auto [a, b] = Steps(line, scale, kCoarseMs);
        if (b > a) AddLine(sums, a, b, coarse.firstStep, coarse.scores);
      }
      coarse.peak = size_t(std::max_element(coarse.scores.begin(), coarse.scores.end()) -
                           coarse.scores.begin());
      if (!best || coarse.scores[coarse.peak] > best->scores[best->peak]) best = std::move(coarse);
      if (!progress_(0.8 * double(r + 1) / double(rates.size()))) return std::nullopt;
    }
    return best;
  }

  // Step 2: the line before which the lines split into two parts laid best
  // each with an offset of its own; none unless the split gains clearly.
  std::optional<Split> FindSplit(const Coarse& coarse, double scale) const {
    const size_t n = lines_.size();
    const size_t fewest = std::max(kFewestCutLines, size_t(std::ceil(kLeastCutShare * double(n))));
    if (n < 2 * fewest) return std::nullopt;
    const Sums& sums = coarse_;
    const std::vector<double>& whole = coarse.scores;
    std::vector<double> before(whole.size(), 0.0);
    double bestScore = -INFINITY;
    std::optional<Split> best;
    for (size_t k = 0; k + fewest < n; ++k) {
      const auto [a, b] = Steps(lines_[k], scale, kCoarseMs);
      if (b > a) AddLine(sums, a, b, coarse.firstStep, before);
      const size_t at = k + 1;
      if (at < fewest || lines_[at].startMs == lines_[k].startMs) continue;
      size_t j1 = 0, j2 = 0;
      for (size_t j = 1; j < whole.size(); ++j) {
        if (before[j] > before[j1]) j1 = j;
        if (whole[j] - before[j] > whole[j2] - before[j2]) j2 = j;
      }
      const double score = before[j1] + whole[j2] - before[j2];
      if (score > bestScore) {
        bestScore = score;
        best = Split{at, coarse.firstStep + int64_t(j1), coarse.firstStep + int64_t(j2)};
      }
    }
    if (!best || std::llabs(best->firstShift - best->secondShift) * kCoarseMs < kLeastCutShiftMs)
      return std::nullopt;
    // A part laid apart from the whole must lie there much better than where the whole
    // lies, and stand out there: lines that fit the whole's offset well are not moved for
    // a small gain. The other part may lie about as well at either offset.
    std::vector<double> first(whole.size(), 0.0);
    for (size_t k = 0; k < best->at; ++k) {
      const auto [a, b] = Steps(lines_[k], scale, kCoarseMs);
      if (b > a) AddLine(sums, a, b, coarse.firstStep, first);
    }
    const double perLine = bestScore / double(n);
    bool moved = false;
    for (const bool isFirst : {true, false}) {
      const size_t own =
          size_t((isFirst ? best->firstShift : best->secondShift) - coarse.firstStep);
      if (std::llabs(int64_t(own) - int64_t(coarse.peak)) * kCoarseMs < kLeastCutShiftMs) continue;
      std::vector<double> part(whole.size());
      for (size_t j = 0; j < whole.size(); ++j) part[j] = isFirst ? first[j] : whole[j] - first[j];
      const double gain = part[own] - part[coarse.peak];
      const std::vector<bool> counts =
          isFirst ? WithinMovie(0, best->at, coarse) : WithinMovie(best->at, n, coarse);
      moved = moved || (gain >= std::max(part[coarse.peak], kLeastCutGainLines * perLine) &&
                        OverSecond(part, own, kAsideSteps, counts) >= kLeastCutStanding);
    }
    if (!moved) return std::nullopt;
    return best;
  }

  // Step 3: the offset to 10 ms within reach of `fit`'s.
  Fit RefineFine(const Fit& fit) const {
    const Sums& sums = fine_;
    const int64_t reach = kFineReachMs / kFrameMs;
    std::vector<double> scores(size_t(2 * reach + 1), 0.0);
    const int64_t firstStep = std::llround(fit.shiftMs / double(kFrameMs)) - reach;
    for (const Line& line : lines_) {
      const auto [a, b] = Steps(line, fit.scale, kFrameMs);
      if (b > a) AddLine(sums, a, b, firstStep, scores);
    }
    const size_t peak = size_t(std::max_element(scores.begin(), scores.end()) - scores.begin());
    return {fit.scale, double((firstStep + int64_t(peak)) * kFrameMs)};
  }

  // The first line of the second part, among those near where the coarse split put it:
  // each of them goes to the fit that shows it where speech begins and lasts. A film's
  // dialogue keeps its order across a cut, so where the second part is shown earlier than
  // the first part's fit would show it, the cut lies where the stored lines leave room for
  // that: its first line is not shown before the line ahead of it. Only when no place near
  // leaves room (lines of a cut scene among them) is the order not asked for.
  size_t PlaceCut(size_t at, const Fit& first, const Fit& second) const {
    const double reach = kOnsetReachMs[std::size(kOnsetReachMs) - 1];
    auto fitness = [&](const Line& line, const Fit& fit) {
      const std::optional<double> onset = NearestOnset(fit.Shown(line.startMs), reach);
      return (onset ? 1 - std::fabs(*onset) / reach : 0) + CoveredShare(line, fit, 0).value_or(0);
    };
    auto inOrder = [&](size_t k) {
      return second.Shown(lines_[k].startMs) >= first.Shown(lines_[k - 1].startMs);
    };
    const size_t low = at > kCutReachLines ? at - kCutReachLines : 1;
    const size_t high = std::min(lines_.size() - 1, at + kCutReachLines);
    bool anyInOrder = false;
    for (size_t k = low; k <= high; ++k) anyInOrder = anyInOrder || inOrder(k);
    double running = 0, best = 0;
    std::optional<size_t> bestAt;
    for (size_t k = low; k <= high; ++k) {
      // Moving the cut from before line k to after it gives line k the first part's fit.
      if (k > low) running += fitness(lines_[k - 1], first) - fitness(lines_[k - 1], second);
      if (k > low && lines_[k].startMs == lines_[k - 1].startMs) continue;
      if (anyInOrder && !inOrder(k)) continue;
      if (!bestAt || running > best) {
        best = running;
        bestAt = k;
      }
    }
    return bestAt.value_or(at);
  }

  // The onset nearest to `ms` within `reach`, as the difference from `ms`.
  std::optional<double> NearestOnset(double ms, double reach) const {
    const std::vector<int64_t>& onsets = evidence_.onsetsMs;
    const auto after = std::lower_bound(onsets.begin(), onsets.end(), int64_t(std::floor(ms)));
    std::optional<double> best;
    for (auto it : {after, after == onsets.begin() ? after : after - 1}) {
      if (it == onsets.end()) continue;
      const double difference = double(*it) - ms;
      if (std::fabs(difference) <= reach && (!best || std::fabs(difference) < std::fabs(*best)))
        best = difference;
    }
    return best;
  }

  // The share of the line's time, shown by `fit` and moved by `awayMs`, with speech (or a
  // reference line); none for a line that is never shown.
  std::optional<double> CoveredShare(const Line& line, const Fit& fit, double awayMs) const {
    const auto& frames = evidence_.frames;
    const auto [a, b] = Steps(line, fit.scale, kFrameMs);
    if (b <= a) return std::nullopt;
    const int64_t shift = std::llround((fit.shiftMs + awayMs) / double(kFrameMs));
    int64_t covered = 0;
    for (int64_t f = std::max<int64_t>(a + shift, 0);
         f < std::min<int64_t>(b + shift, int64_t(frames.size())); ++f)
      covered += frames[size_t(f)] >= 0.5f;
    return double(covered) / double(b - a);
  }

  // Step 4: each part's offset from the onsets nearest its lines' starts, and the rate
  // from all of them.
  void RefineByOnsets(std::vector<Fit>& fits, size_t cutAt) const {
    if (evidence_.onsetsMs.empty()) return;
    auto partOf = [&](size_t k) { return k < cutAt ? 0 : 1; };
    std::vector<double> centre(fits.size(), 0.0);
    for (const double reach : kOnsetReachMs) {
      std::vector<std::vector<double>> differences(fits.size());
      for (size_t k = 0; k < lines_.size(); ++k) {
        const size_t part = size_t(partOf(k));
        const double shown = fits[part].Shown(lines_[k].startMs) + centre[part];
        if (const auto d = NearestOnset(shown, reach))
          differences[part].push_back(*d + centre[part]);
      }
      for (size_t part = 0; part < fits.size(); ++part) {
        auto& d = differences[part];
        if (d.size() < kFewestLines) continue;
        std::erase_if(d, [&](double v) { return std::fabs(v - centre[part]) > reach; });
        if (d.empty()) continue;
        centre[part] = Centre(d);
      }
    }
    for (size_t part = 0; part < fits.size(); ++part) fits[part].shiftMs += centre[part];
    if (subject_.onlyRate) return;
    FitRate(fits, cutAt);
  }

  void FitRate(std::vector<Fit>& fits, size_t cutAt) const {
    // Pairs of stored start and onset, within the last reach of the fit so far.
    const double reach = kOnsetReachMs[std::size(kOnsetReachMs) - 1];
    std::vector<std::vector<std::pair<double, double>>> pairs(fits.size());
    for (size_t k = 0; k < lines_.size(); ++k) {
      const size_t part = k < cutAt ? 0 : 1;
      const double shown = fits[part].Shown(lines_[k].startMs);
      if (const auto d = NearestOnset(shown, reach))
        pairs[part].push_back({lines_[k].startMs, shown + *d});
    }
    // One slope for all parts, through each part's own means.
    double sxy = 0, sxx = 0;
    size_t count = 0;
    for (const auto& part : pairs) {
      if (part.size() < kFewestLines) continue;
      double mx = 0, my = 0;
      for (const auto& [x, y] : part) mx += x, my += y;
      mx /= double(part.size());
      my /= double(part.size());
      for (const auto& [x, y] : part) sxy += (x - mx) * (y - my), sxx += (x - mx) * (x - mx);
      count += part.size();
    }
    if (count < 2 * kFewestLines || sxx <= 0) return;
    // A rate near a release rate is that rate; the steps near the movie's were only a search.
    const double rate =
        SnappedRate(sxy / sxx * subject_.movieFrameRate, ReleaseRates(subject_.movieFrameRate));
    const double scale = rate / subject_.movieFrameRate;
    // The offsets again for that rate: the centre of each part's differences.
    for (size_t part = 0; part < fits.size(); ++part) {
      std::vector<double> d;
      for (const auto& [x, y] : pairs[part]) d.push_back(y - scale * x);
      fits[part].scale = scale;
      if (d.empty()) continue;
      fits[part].shiftMs = Centre(d);
    }
  }

  struct Agreement {
    size_t on = 0, counted = 0;
    double Share() const { return counted ? double(on) / double(counted) : 0; }
  };

  // The lines whose shown time is covered by evidence enough, among those ever shown, the
  // fits moved by `awayMs` (how many would lie on speech by chance).
  Agreement AgreementOf(const std::vector<Fit>& fits, size_t cutAt, double awayMs) const {
    Agreement agreement;
    for (size_t k = 0; k < lines_.size(); ++k) {
      const std::optional<double> share = CoveredShare(lines_[k], fits[k < cutAt ? 0 : 1], awayMs);
      if (!share) continue;
      ++agreement.counted;
      agreement.on += *share >= kCoveredShare;
    }
    return agreement;
  }

  const SyncSubject& subject_;
  Evidence evidence_;
  const SyncProgress& progress_;
  double mean_;
  // The running sums at 100 ms and at 10 ms.
  Sums coarse_, fine_;
  std::vector<Line> lines_;  // in time order
  double evidenceMs_ = 0;
};

}  // namespace

SyncResult SyncToSpeech(const SyncSubject& subject, const SpeechLevels& speech,
                        const SyncProgress& progress) {
  return Solver(subject, EvidenceFromSpeech(speech), progress).Solve();
}

SyncResult SyncToLines(const SyncSubject& subject, std::span<const LineTimes> reference,
                       const SyncProgress& progress) {
  return Solver(subject, EvidenceFromLines(reference), progress).Solve();
}

}  // namespace captivo
