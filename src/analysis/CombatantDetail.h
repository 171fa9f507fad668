#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/SourceTable.h"
#include "shared/EventRecord.h"
#include "shared/LineRules.h"
#include "shared/ListColumns.h"
#include "shared/ParsedLog.h"
#include "shared/TextTable.h"

namespace ombrel {

// Put before the source name of a row whose latest record a pet or warder dealt.
inline constexpr std::string_view kPetSourcePrefix = "Pet - ";

// The sources (attacks and spells) with which the combatant listed as
// `combatant_text` in the event-detail list acted on the opponent of event
// `event_number` (1-based):
// - a plain name: the records that name dealt itself;
// - " [ Total ] ": every record aimed at the opponent, from any dealer, by
//   source, without pet marks;
// - "Name + pet": the same rows as CombatantReportSources gives for that text.
// `include_pets` tells whether the list was built with pets on their owners'
// rows. Without a qualifying record the result is one unnamed row of zeros.
std::vector<SourceRow> BuildCombatantDetail(const ParsedLog& log, const FightSelection& fights,
                                            std::string_view combatant_text, bool include_pets);

// The per-source rows of one event-detail row as the event-detail report
// unfolds them: the records dealt by the combatant or by a name that begins
// with it and a grave accent (its pets and warders). When the text carries
// " + pet" and pets are included, HasPet marks a row whose latest record a pet
// or warder dealt. The report has no block for " [ Total ] "; for that text
// the rows are those of the whole party, as BuildCombatantDetail gives them.
std::vector<SourceRow> CombatantReportSources(const ParsedLog& log, const FightSelection& fights,
                                              std::string_view combatant_text, bool include_pets);

// Where the event-detail report takes the per-source rows of each row it
// unfolds from.
class CombatantSources {
 public:
  virtual ~CombatantSources() = default;
  virtual std::vector<SourceRow> For(std::string_view combatant_text) const = 0;
};

// CombatantReportSources for many rows of the same fights, grouping their
// records once: the report unfolds every row of a list that may hold tens of
// thousands of combatants.
class EventReportSources : public CombatantSources {
 public:
  // `log` must outlive this.
  EventReportSources(const ParsedLog& log, const FightSelection& fights, bool include_pets);
  EventReportSources(const EventReportSources&) = delete;
  EventReportSources& operator=(const EventReportSources&) = delete;
  std::vector<SourceRow> For(std::string_view combatant_text) const override;

 private:
  FightUnion fights_;
  bool include_pets_;
  EventSwingsByDealer swings_;
};

// The combatant-detail list, one row per source, a pet's row named with
// kPetSourcePrefix. `event_duration` is the whole event's, at least 1. Under
// the extended rules the crits and crit rate of the hits follow the other
// columns.
// The list holds a copy of the rows and no text: a cell is made from its row
// each time it is read.
TextTable CombatantDetailListRows(const std::vector<SourceRow>& rows, int64_t event_duration,
                                  LineRules rules = LineRules::kDefault);
// The text of one cell of `row` in that list.
std::string CombatantDetailListCell(const SourceRow& row, int64_t event_duration,
                                    CombatantDetailColumn column);
// The same list with every text made at once, row by row: what the rendered
// list is checked against.
TextTable CombatantDetailListTexts(const std::vector<SourceRow>& rows, int64_t event_duration,
                                   LineRules rules = LineRules::kDefault);

// PCdetail.csv: header and 11 fields per row, CR LF line ends; names as the
// list shows them. Under the extended rules 13, the crits and crit rate last.
void WritePcDetailCsv(std::ostream& out, const std::vector<SourceRow>& rows,
                      LineRules rules = LineRules::kDefault);

}  // namespace ombrel
