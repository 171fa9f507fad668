#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/EventDetail.h"
#include "analysis/FightUnion.h"
#include "shared/DateTime.h"
#include "shared/EventRecord.h"
#include "shared/ParsedLog.h"

namespace ombrel {

// The damage of one combatant row in one second of the fight.
struct TimelineCell {
  int64_t Second = 0;  // whole seconds from the event's start to the records' date
  size_t Row = 0;      // index into Timeline::Rows
  int64_t DamageDealt = 0;
  int64_t DamageTaken = 0;
};

// A combatant row of the event-detail list (never the total row).
struct TimelineRow {
  std::string Name;  // as listed, " + pet" included
  int64_t DamageDealt = 0;
  int64_t DamageTaken = 0;
};

// The damage one opponent dealt to the rows in one second, kept when the
// timeline covers several opponents.
struct OpponentCell {
  int64_t Second = 0;
  size_t Opponent = 0;  // index into Timeline::Opponents
  int64_t Damage = 0;
};

// The fight over time: the records each event-detail row counts, summed by
// second. A row's cells add up to its damage dealt and taken. Over several
// fights, second 0 is the earliest fight's start.
struct Timeline {
  std::string Opponent;  // the opponent, or "first + N more" over several fights
  DateTime Start;        // second 0: the event's start
  // The seconds the fight covers: from 0 (or an earlier record, after the
  // clock stepped back) to the event's end (or a later record).
  int64_t FirstSecond = 0;
  int64_t LastSecond = 0;
  std::vector<TimelineRow> Rows;    // in the rows' table order
  std::vector<TimelineCell> Cells;  // by second, then row; never both sums 0
  // Over fights of more than one opponent: their names, each once, and what
  // each dealt by second (by second, then opponent; never 0). Empty otherwise,
  // the opponent's damage being the rows' damage taken.
  std::vector<std::string> Opponents;
  std::vector<OpponentCell> OpponentCells;
};

// Collects the records that the event-detail rows count, as BuildEventDetail
// assigns them, so the list and its timeline come from one walk:
//
//   TimelineCollector collector(event);
//   auto rows = BuildEventDetail(log, n, include_pets, collector.Sink()).rows;
//   Timeline timeline = collector.Finish(rows);
class TimelineCollector {
 public:
  explicit TimelineCollector(const EventRecord& event);
  explicit TimelineCollector(const FightUnion& fights);

  // The sink to hand to BuildEventDetail; valid while the collector lives.
  CountedRecordSink Sink();
  // The timeline of the rows BuildEventDetail returned (total row first).
  Timeline Finish(const std::vector<CombatantSummary>& rows);

 private:
  void Count(size_t row, bool taken, const DamageRecord& record);

  Timeline timeline_;
  int64_t event_end_second_ = 0;
  std::vector<TimelineCell> cells_;
  std::vector<size_t> last_cell_of_row_;  // index into cells_ + 1; 0 for none yet
  std::unordered_map<std::string_view, size_t> opponent_of_;  // when several
};

// The event-detail rows and the timeline of the selected fights in one walk
// (see BuildEventDetail); an empty timeline when no fight is in the list.
Timeline BuildTimeline(const ParsedLog& log, const FightSelection& fights, bool include_pets);

// The timeline's rows in the order of `listed_names` (the event-detail list's
// first column, the total row included or not); rows the list does not name
// follow in table order. Equal names are matched in turn.
std::vector<size_t> RowsInListOrder(const Timeline& timeline,
                                    std::span<const std::string> listed_names);

// timeline.csv: one line per (second, row) with damage, seconds ascending and
// the rows in `row_order` within a second; CR LF line ends.
void WriteTimelineCsv(std::ostream& out, const Timeline& timeline,
                      std::span<const size_t> row_order);

// The moving-window damage per second of the chart.
enum class SeriesKind { kCombatant, kOthers, kOpponent };

struct DpsSeries {
  std::string Name;
  SeriesKind Kind = SeriesKind::kCombatant;
  std::vector<size_t> Rows;    // the timeline rows it adds up (none for the opponent)
  std::vector<double> Values;  // one per point of the chart
};

struct DpsChart {
  int WindowSeconds = 3;  // the window asked for
  // Point i stands for second FirstSecond + (i + 1) * StepSeconds - 1 and
  // holds the damage of the WindowSeconds (at least StepSeconds) seconds
  // that end there, divided by that length. Long fights are drawn in steps
  // of more than one second so that a series keeps to kMaxDpsPoints points.
  int64_t FirstSecond = 0;
  int64_t StepSeconds = 1;
  size_t Points = 0;
  // The combatants with the most damage dealt (at most kTopDpsSeries, most
  // first, ties in table order), then "Others" when other rows dealt damage,
  // then the opponent's damage dealt (what the rows took), one series per
  // opponent over fights of several.
  std::vector<DpsSeries> Series;

  int64_t SecondOfPoint(size_t i) const {
    return FirstSecond + (static_cast<int64_t>(i) + 1) * StepSeconds - 1;
  }
  double Peak() const;
  // The series that shows timeline row `row` (its own or "Others"); -1 when none does.
  int SeriesOfRow(size_t row) const;
};

inline constexpr int kDpsWindowChoices[] = {1, 3, 5, 10};
inline constexpr int kDefaultDpsWindow = 3;
inline constexpr size_t kTopDpsSeries = 8;
inline constexpr size_t kMaxDpsPoints = 3600;
inline constexpr std::string_view kOthersSeriesName = "Others";

// The chart's series of `timeline` over a trailing window of `window_seconds`
// (at least 1).
DpsChart MovingWindowDps(const Timeline& timeline, int window_seconds);

}  // namespace ombrel
