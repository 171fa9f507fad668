#include "analysis/Timeline.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "analysis/EventRange.h"
#include "shared/Csv.h"

namespace ombrel {

TimelineCollector::TimelineCollector(const EventRecord& event) {
  timeline_.Opponent = event.Name;
  timeline_.Start = event.StartDate;
  event_end_second_ = std::max<int64_t>(0, SecondsBetween(event.StartDate, event.EndDate));
}

TimelineCollector::TimelineCollector(const FightUnion& fights)
    : TimelineCollector(fights.Summary()) {
  timeline_.Opponent = fights.Caption();
  for (const EventRecord* fight : fights.Fights()) {
    if (opponent_of_.try_emplace(fight->Name, timeline_.Opponents.size()).second)
      timeline_.Opponents.push_back(fight->Name);
  }
  if (timeline_.Opponents.size() < 2) {
    timeline_.Opponents.clear();
    opponent_of_.clear();
  }
}

CountedRecordSink TimelineCollector::Sink() {
  return [this](size_t row, bool taken, const DamageRecord& record) { Count(row, taken, record); };
}

void TimelineCollector::Count(size_t row, bool taken, const DamageRecord& record) {
  // Table row 0 is the total row, which sums the opponent's side; a combatant
  // that happens to carry its name lands there and has no line of its own.
  if (row == 0) return;
  const size_t timeline_row = row - 1;
  const int64_t second = SecondsBetween(timeline_.Start, record.Date);
  if (timeline_row >= last_cell_of_row_.size()) last_cell_of_row_.resize(timeline_row + 1, 0);
  // Records come in time order but for clock steps, so a row's cells mostly
  // grow at their end; Finish merges the rest.
  size_t& last = last_cell_of_row_[timeline_row];
  if (last == 0 || cells_[last - 1].Second != second) {
    cells_.push_back({second, timeline_row, 0, 0});
    last = cells_.size();
  }
  TimelineCell& cell = cells_[last - 1];
  (taken ? cell.DamageTaken : cell.DamageDealt) += record.Damage;
  // A taken record belongs to the fight of the opponent that dealt it.
  if (taken && !opponent_of_.empty()) {
    if (auto it = opponent_of_.find(record.Dealer); it != opponent_of_.end())
      timeline_.OpponentCells.push_back({second, it->second, record.Damage});
  }
}

Timeline TimelineCollector::Finish(const std::vector<CombatantSummary>& rows) {
  Timeline timeline = std::move(timeline_);
  for (size_t i = 1; i < rows.size(); ++i) {
    timeline.Rows.push_back({rows[i].Name, rows[i].DamageDealt, rows[i].DamageTaken});
  }
  std::stable_sort(cells_.begin(), cells_.end(), [](const TimelineCell& a, const TimelineCell& b) {
    return a.Second != b.Second ? a.Second < b.Second : a.Row < b.Row;
  });
  timeline.FirstSecond = 0;
  timeline.LastSecond = event_end_second_;
  for (const TimelineCell& cell : cells_) {
    TimelineCell* merged = timeline.Cells.empty() ? nullptr : &timeline.Cells.back();
    if (merged != nullptr && merged->Second == cell.Second && merged->Row == cell.Row) {
      merged->DamageDealt += cell.DamageDealt;
      merged->DamageTaken += cell.DamageTaken;
    } else {
      timeline.Cells.push_back(cell);
    }
  }
  std::erase_if(timeline.Cells,
                [](const TimelineCell& c) { return c.DamageDealt == 0 && c.DamageTaken == 0; });
  std::vector<OpponentCell>& by_opponent = timeline.OpponentCells;
  std::stable_sort(by_opponent.begin(), by_opponent.end(),
                   [](const OpponentCell& a, const OpponentCell& b) {
                     return a.Second != b.Second ? a.Second < b.Second : a.Opponent < b.Opponent;
                   });
  size_t kept = 0;
  for (const OpponentCell& cell : by_opponent) {
    if (kept > 0 && by_opponent[kept - 1].Second == cell.Second &&
        by_opponent[kept - 1].Opponent == cell.Opponent)
      by_opponent[kept - 1].Damage += cell.Damage;
    else
      by_opponent[kept++] = cell;
  }
  by_opponent.resize(kept);
  std::erase_if(by_opponent, [](const OpponentCell& c) { return c.Damage == 0; });
  if (!timeline.Cells.empty()) {
    timeline.FirstSecond = std::min(timeline.FirstSecond, timeline.Cells.front().Second);
    timeline.LastSecond = std::max(timeline.LastSecond, timeline.Cells.back().Second);
  }
  cells_.clear();
  last_cell_of_row_.clear();
  opponent_of_.clear();
  return timeline;
}

Timeline BuildTimeline(const ParsedLog& log, const FightSelection& selection, bool include_pets) {
  const FightUnion fights(log, selection);
  if (fights.empty()) return {};
  TimelineCollector collector(fights);
  const EventDetail detail = BuildEventDetail(fights, include_pets, collector.Sink());
  return collector.Finish(detail.rows);
}

std::vector<size_t> RowsInListOrder(const Timeline& timeline,
                                    std::span<const std::string> listed_names) {
  std::unordered_map<std::string_view, std::vector<size_t>> rows_named;
  for (size_t r = timeline.Rows.size(); r-- > 0;) rows_named[timeline.Rows[r].Name].push_back(r);
  std::vector<size_t> order;
  order.reserve(timeline.Rows.size());
  std::vector<bool> placed(timeline.Rows.size(), false);
  for (const std::string& name : listed_names) {
    auto it = rows_named.find(name);
    if (it == rows_named.end() || it->second.empty()) continue;
    order.push_back(it->second.back());
    placed[it->second.back()] = true;
    it->second.pop_back();
  }
  for (size_t r = 0; r < timeline.Rows.size(); ++r) {
    if (!placed[r]) order.push_back(r);
  }
  return order;
}

void WriteTimelineCsv(std::ostream& out, const Timeline& timeline,
                      std::span<const size_t> row_order) {
  std::vector<size_t> rank(timeline.Rows.size(), timeline.Rows.size());
  for (size_t i = 0; i < row_order.size(); ++i) {
    if (row_order[i] < rank.size()) rank[row_order[i]] = i;
  }
  std::vector<const TimelineCell*> cells;
  cells.reserve(timeline.Cells.size());
  for (const TimelineCell& cell : timeline.Cells) cells.push_back(&cell);
  // The cells are in second order already; only the rows within a second move.
  std::stable_sort(
      cells.begin(), cells.end(), [&rank](const TimelineCell* a, const TimelineCell* b) {
        return a->Second != b->Second ? a->Second < b->Second : rank[a->Row] < rank[b->Row];
      });

  CsvWriter csv(out);
  csv.Header("Second,Combatant,Damage Dealt,Damage Taken");
  for (const TimelineCell* cell : cells) {
    csv.Field(cell->Second)
        .Field(timeline.Rows[cell->Row].Name)
        .Field(cell->DamageDealt)
        .Field(cell->DamageTaken);
    csv.EndLine();
  }
}

double DpsChart::Peak() const {
  double peak = 0;
  for (const DpsSeries& s : Series) {
    for (double v : s.Values) peak = std::max(peak, v);
  }
  return peak;
}

int DpsChart::SeriesOfRow(size_t row) const {
  for (size_t i = 0; i < Series.size(); ++i) {
    const std::vector<size_t>& rows = Series[i].Rows;
    if (std::find(rows.begin(), rows.end(), row) != rows.end()) return static_cast<int>(i);
  }
  return -1;
}

DpsChart MovingWindowDps(const Timeline& timeline, int window_seconds) {
  DpsChart chart;
  chart.WindowSeconds = std::max(window_seconds, 1);
  chart.FirstSecond = timeline.FirstSecond;
  const int64_t span = timeline.LastSecond - timeline.FirstSecond + 1;
  const int64_t max_points = static_cast<int64_t>(kMaxDpsPoints);
  chart.StepSeconds = std::max<int64_t>(1, (span + max_points - 1) / max_points);
  chart.Points = static_cast<size_t>((span + chart.StepSeconds - 1) / chart.StepSeconds);

  // The series: the top dealers, "Others", the opponent.
  std::vector<size_t> dealers;
  for (size_t r = 0; r < timeline.Rows.size(); ++r) {
    if (timeline.Rows[r].DamageDealt != 0) dealers.push_back(r);
  }
  std::stable_sort(dealers.begin(), dealers.end(), [&timeline](size_t a, size_t b) {
    return timeline.Rows[a].DamageDealt > timeline.Rows[b].DamageDealt;
  });
  std::vector<int> series_of_row(timeline.Rows.size(), -1);
  for (size_t i = 0; i < dealers.size(); ++i) {
    const size_t row = dealers[i];
    if (i < kTopDpsSeries) {
      series_of_row[row] = static_cast<int>(chart.Series.size());
      chart.Series.push_back({timeline.Rows[row].Name, SeriesKind::kCombatant, {row}, {}});
    } else {
      if (i == kTopDpsSeries) {
        chart.Series.push_back({std::string(kOthersSeriesName), SeriesKind::kOthers, {}, {}});
      }
      series_of_row[row] = static_cast<int>(chart.Series.size()) - 1;
      chart.Series.back().Rows.push_back(row);
    }
  }
  const size_t opponent = chart.Series.size();
  if (timeline.Opponents.empty()) {
    chart.Series.push_back({timeline.Opponent, SeriesKind::kOpponent, {}, {}});
  } else {
    for (const std::string& name : timeline.Opponents)
      chart.Series.push_back({name, SeriesKind::kOpponent, {}, {}});
  }

  // Damage per step, then a trailing sum over the window's steps.
  std::vector<std::vector<int64_t>> sums(chart.Series.size(),
                                         std::vector<int64_t>(chart.Points, 0));
  for (const TimelineCell& cell : timeline.Cells) {
    const auto point = static_cast<size_t>((cell.Second - chart.FirstSecond) / chart.StepSeconds);
    if (series_of_row[cell.Row] >= 0) {
      sums[static_cast<size_t>(series_of_row[cell.Row])][point] += cell.DamageDealt;
    }
    if (timeline.Opponents.empty()) sums[opponent][point] += cell.DamageTaken;
  }
  for (const OpponentCell& cell : timeline.OpponentCells) {
    const auto point = static_cast<size_t>((cell.Second - chart.FirstSecond) / chart.StepSeconds);
    sums[opponent + cell.Opponent][point] += cell.Damage;
  }
  const int64_t window_steps =
      std::max<int64_t>(1, (chart.WindowSeconds + chart.StepSeconds - 1) / chart.StepSeconds);
  const double window_length = static_cast<double>(window_steps * chart.StepSeconds);
  for (size_t s = 0; s < chart.Series.size(); ++s) {
    std::vector<double>& values = chart.Series[s].Values;
    values.resize(chart.Points);
    int64_t in_window = 0;
    for (size_t p = 0; p < chart.Points; ++p) {
      in_window += sums[s][p];
      if (p >= static_cast<size_t>(window_steps)) in_window -= sums[s][p - window_steps];
      values[p] = static_cast<double>(in_window) / window_length;
    }
  }
  return chart;
}

}  // namespace ombrel
