#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "shared/ActiveTime.h"
#include "shared/DateTime.h"
#include "shared/EventRecord.h"

namespace ombrel {

// The stretches in which each row was active, one per row and fight, kept only
// when the rows cover several fights (one fight's stretch is the row's own
// start and end).
class RowSpans {
 public:
  explicit RowSpans(bool several_fights) : several_fights_(several_fights) {}

  void Note(size_t row, size_t fight, DateTime date) {
    if (!several_fights_) return;
    if (row >= last_.size()) {
      last_.resize(row + 1, {SIZE_MAX, 0});
      spans_.resize(row + 1);
    }
    auto& [last_fight, at] = last_[row];
    if (last_fight != fight) {
      const uint64_t key = (static_cast<uint64_t>(row) << 32) | fight;
      auto [it, added] = span_of_.try_emplace(key, spans_[row].size());
      if (added) spans_[row].push_back({date, date});
      last_fight = fight;
      at = it->second;
    }
    ActiveSpan& span = spans_[row][at];
    if (date < span.first) span.first = date;
    if (date > span.last) span.last = date;
  }

  int64_t Duration(size_t row, const EventRecord& summary) const {
    if (!several_fights_ || row >= spans_.size())
      return DurationSeconds(summary.StartDate, summary.EndDate);
    return ActiveSeconds(spans_[row]);
  }

 private:
  bool several_fights_;
  std::vector<std::pair<size_t, size_t>> last_;  // per row: its last fight, that span's index
  std::vector<std::vector<ActiveSpan>> spans_;
  std::unordered_map<uint64_t, size_t> span_of_;
};

}  // namespace ombrel
