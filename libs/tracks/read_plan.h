#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>

namespace tracks {

// Which parts of a track have been read, and where reading goes next. Reading is a run of
// packets read in the file's order from a start time on: from the movie's start, from a
// time asked for, or from the start of the first part not read yet. A run keeps the
// packets due from its start on, ends at the end of the file or where it meets a part
// already read (and goes on after that part), and what it read then counts as read. Times
// are milliseconds; a span [from, to) holds the packets due from `from` up to `to`.
//
// A run stopped short may have read some of the packets due at its last time and not
// others: that time counts as not read, and the packets due then that come again are kept
// unless the same ones are there already.
class ReadPlan {
 public:
  static constexpr int64_t kMovieStart = INT64_MIN / 4;  // before any packet
  static constexpr int64_t kMovieEnd = INT64_MAX / 4;    // after every packet

  // What to do with a packet the run read.
  enum class Verdict {
    Keep,       // new: keep it
    KeepIfNew,  // due when a run stopped: keep it unless the same packet is kept already
    Drop,       // read before, or due before the run's start (a part another run reads)
    Jump,       // the run met a part already read: read on from RunStart(), after it
  };

  ReadPlan();  // a run from the movie's start, as a file is read when just opened

  bool RunActive() const { return active_; }
  int64_t RunStart() const { return runStart_; }
  int64_t RunEnd() const { return runEnd_; }  // just after the latest packet it kept
  Verdict Packet(int64_t ms);
  // The file ended: the run read everything from its start on.
  void EndOfFile();
  // The run stops short (to serve a request): what it read before the time of its last
  // packet counts as read.
  void StopRun();
  // Starts a run at the first time not read from `ms` on (kMovieStart: the first time not
  // read at all); false, with no run, when everything from there on has been read.
  bool StartRun(int64_t ms = kMovieStart);
  // The run cannot go on (its seek failed): the whole part not read where it started
  // counts as read, so that reading never comes back to it.
  void AbandonRun();

  // Whether every packet due in [from, to] is known: read, or kept by the run under way.
  bool Covers(int64_t from, int64_t to) const;
  bool Complete() const { return Covers(kMovieStart, kMovieEnd - 1); }

 private:
  void Add(int64_t from, int64_t to);
  // The read part that holds `ms`, as an iterator into read_, or read_.end().
  std::map<int64_t, int64_t>::const_iterator Holding(int64_t ms) const;
  int64_t FirstUnreadFrom(int64_t ms) const;
  // The start of the first read part after `ms`, or kMovieEnd.
  int64_t NextPartStart(int64_t ms) const;

  std::map<int64_t, int64_t> read_;  // from -> to, disjoint and apart
  std::set<int64_t> stops_;          // the last times of runs stopped short
  bool active_ = true;
  int64_t runStart_ = kMovieStart;
  int64_t runEnd_ = kMovieStart;
};

}  // namespace tracks
