#include "analysis/EventDetail.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "analysis/EventRange.h"
#include "analysis/Rates.h"
#include "analysis/RowSpans.h"
#include "analysis/SwingOutcome.h"
#include "shared/Csv.h"
#include "shared/Display.h"
#include "shared/ListColumns.h"

namespace ombrel {
namespace {

// Combatants with shorter names get no row: "YOU" (the character as the taker
// of avoidances) and stray fragments of the log.
constexpr size_t kShortestCombatantName = 4;

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Casts are tracked before any filter, so casts by anyone in the event's index
// range count, whoever they are aimed at.
void TrackAbility(EventDetail& detail, std::string_view spell, size_t index) {
  if (Contains(spell, "Glyph of")) detail.GlyphList.push_back(static_cast<int64_t>(index));
  if (Contains(spell, "Staunch Recovery") || Contains(spell, "Intensity of the Resolute"))
    detail.VeteranList.push_back(static_cast<int64_t>(index));
}

// The game names a pet "Owner`s pet" and a warder "Owner`s warder": cutting the
// possessive off lands their records on the owner's row.
std::string_view OwnerOfPet(std::string_view name, bool& is_pet) {
  constexpr std::string_view kPet = "`s pet";
  constexpr std::string_view kWarder = "`s warder";
  if (Contains(name, kPet)) {
    name.remove_suffix(kPet.size());
    is_pet = true;
  }
  if (Contains(name, kWarder)) {
    name.remove_suffix(kWarder.size());
    is_pet = true;
  }
  return name;
}

// The extremes of one side of a row. Until the side's first hit is counted, any
// positive amount (a hit, or an avoidance carrying damage) sets the minimum;
// after it, only a positive amount below the minimum lowers it, so a 0-damage
// hit counted first keeps the minimum at 0.
void TrackExtremes(int32_t damage, uint32_t hits_so_far, int32_t& max_hit, int32_t& min_hit) {
  if (damage > max_hit) max_hit = damage;
  if (hits_so_far == 0) {
    if (damage > 0) min_hit = damage;
  } else if (damage >= 1 && damage < min_hit) {
    min_hit = damage;
  }
}

CombatantSummary TotalRow(const EventRecord& event) {
  CombatantSummary total;
  total.Name = std::string(kTotalRowName);
  total.DamageTaken = event.DamageTaken;
  total.DamageDealt = event.DamageDealt;
  total.StartDate = event.StartDate;
  total.EndDate = event.EndDate;
  total.MaxHitTaken = event.MaxHitTaken;
  total.MinHitTaken = event.MinHitTaken;
  total.HitsTaken = event.HitsTaken;
  total.MaxHitDealt = event.MaxHitDealt;
  total.MinHitDealt = event.MinHitDealt;
  total.HitsDealt = event.HitsDealt;
  return total;
}

void CountTaken(const DamageRecord& r, CombatantSummary& row, CombatantSummary& total) {
  row.DamageTaken += r.Damage;
  TrackExtremes(r.Damage, row.HitsTaken, row.MaxHitTaken, row.MinHitTaken);
  if (IsDamageType(r.Type)) ++row.HitsTaken;
  if (IsCriticalHit(r)) {
    ++row.CritsTaken;
    ++total.CritsDealt;
  }
  ++row.SwingsTaken;
  ++total.SwingsDealt;
}

// Avoidances count on the attacker's side only: they tell how the opponent
// escaped this combatant's swings.
void CountDealt(const DamageRecord& r, CombatantSummary& row, CombatantSummary& total) {
  row.DamageDealt += r.Damage;
  TrackExtremes(r.Damage, row.HitsDealt, row.MaxHitDealt, row.MinHitDealt);
  if (IsDamageType(r.Type))
    ++row.HitsDealt;
  else
    CountMissOrAvoidance(row, r.Type);
  if (IsCriticalHit(r)) {
    ++row.CritsDealt;
    ++total.CritsTaken;
  }
  ++row.SwingsDealt;
  ++total.SwingsTaken;
}

void Finish(std::vector<CombatantSummary>& rows, const RowSpans& spans, int64_t total_duration) {
  CombatantSummary& total = rows[0];
  // The total row comes first while its own counts are still 0, so they end
  // as the sums over the combatants.
  for (size_t i = 0; i < rows.size(); ++i) {
    CombatantSummary& row = rows[i];
    row.Duration = i == 0 ? total_duration : spans.Duration(i, row);
    const int64_t misses = row.Misses, parries = row.Parries, dodges = row.Dodges,
                  ripostes = row.Ripostes, blocks = row.Blocks;
    total.Misses += misses;
    total.Parries += parries;
    total.Dodges += dodges;
    total.Ripostes += ripostes;
    total.Blocks += blocks;
    if (row.HasPet) row.Name += kPetSuffix;
  }
}

}  // namespace

EventDetail BuildEventDetail(const ParsedLog& log, const FightSelection& fights, bool include_pets,
                             const CountedRecordSink& sink) {
  return BuildEventDetail(FightUnion(log, fights), include_pets, sink);
}

EventDetail BuildEventDetail(const FightUnion& fights, bool include_pets,
                             const CountedRecordSink& sink) {
  EventDetail detail;
  if (fights.empty()) return detail;
  const DamageTable& table = fights.Log().DamageTable();
  const EventRecord& summary = fights.Summary();
  RowSpans spans(fights.Fights().size() > 1);

  std::vector<CombatantSummary>& rows = detail.rows;
  rows.push_back(TotalRow(summary));
  // Names are unique among the rows, so a hash lookup finds the same row as a
  // walk from the total row down. The keys view the damage table's texts.
  std::unordered_map<std::string_view, size_t> row_of;
  row_of.emplace(kTotalRowName, 0);

  auto walk = [&](size_t j) {
    const DamageRecord r = table[j];
    if (r.Type == kSpellCast) TrackAbility(detail, r.Name, j);
    if (r.Type < kMelee || r.Type > kBlock) return;

    // The opponent's side: a record names the opponent of the fight it belongs to.
    const FightUnion::Owner owner = fights.OwnerOf(j);
    if (owner.fight < 0) return;
    const bool taken = owner.opponent_dealt;
    std::string_view combatant = taken ? r.Taker : r.Dealer;
    bool is_pet = false;
    if (include_pets) combatant = OwnerOfPet(combatant, is_pet);

    size_t x = 0;
    if (auto it = row_of.find(combatant); it != row_of.end()) {
      x = it->second;
      if (is_pet) rows[x].HasPet = true;
    } else if (combatant.size() >= kShortestCombatantName) {
      x = rows.size();
      CombatantSummary row;
      row.Name = std::string(combatant);
      row.HasPet = is_pet;
      row.StartDate = r.Date;
      row.EndDate = r.Date;
      rows.push_back(std::move(row));
      row_of.emplace(combatant, x);
    } else {
      return;
    }

    CombatantSummary& row = rows[x];
    if (taken)
      CountTaken(r, row, rows[0]);
    else
      CountDealt(r, row, rows[0]);
    if (sink) sink(x, taken, r);
    if (row.EndDate < r.Date) row.EndDate = r.Date;
    if (row.StartDate > r.Date) row.StartDate = r.Date;
    spans.Note(x, static_cast<size_t>(owner.fight), r.Date);
  };
  for (const IndexRange& range : fights.Ranges()) {
    for (size_t j = range.begin; j < range.end; ++j) walk(j);
  }
  // One fight's total row spans its first to its last record, as its other
  // rows do; several fights' the time any of them was active.
  const int64_t total_duration = fights.Fights().size() == 1
                                     ? DurationSeconds(summary.StartDate, summary.EndDate)
                                     : summary.Duration;
  Finish(rows, spans, total_duration);
  return detail;
}

std::string EventDetailListCell(const std::vector<CombatantSummary>& rows, size_t row,
                                EventDetailColumn column) {
  using Column = EventDetailColumn;
  const CombatantSummary& r = rows[row];
  // The total row describes the opponent: its dealt-side columns show what the
  // opponent took (what the combatants dealt together) and the reverse, and its
  // percentages use the combatants' swings at the opponent.
  const bool total = row == 0;
  const int64_t dealt = total ? r.DamageTaken : r.DamageDealt;
  const int64_t taken = total ? r.DamageDealt : r.DamageTaken;
  const int64_t swings = total ? r.SwingsTaken : r.SwingsDealt;
  switch (column) {
    case Column::kDamageBy:
      return r.Name;
    case Column::kDmgDealt:
      return display::Grouped(dealt);
    case Column::kDuration:
      return display::Plain(r.Duration);
    case Column::kDPSDealt:
      return display::Fixed2(PerSecond(dealt, r.Duration));
    case Column::kADPSDealt:
      return display::Fixed2(PerSecond(dealt, rows[0].Duration));
    case Column::kStart:
      return display::DateTimeText(r.StartDate);
    case Column::kEnd:
      return display::DateTimeText(r.EndDate);
    case Column::kMaxHitTaken:
      return display::Plain(r.MaxHitTaken);
    case Column::kMinHitTaken:
      return display::Plain(r.MinHitTaken);
    case Column::kHitsTaken:
      return display::Plain(r.HitsTaken);
    case Column::kMaxHitDealt:
      return display::Plain(r.MaxHitDealt);
    case Column::kMinHitDealt:
      return display::Plain(r.MinHitDealt);
    case Column::kHitsDealt:
      return display::Plain(r.HitsDealt);
    case Column::kDmgTaken:
      return display::Plain(taken);
    case Column::kDPSTaken:
      return display::Fixed2(PerSecond(taken, r.Duration));
    case Column::kMisses:
      return display::Plain(r.Misses);
    case Column::kParries:
      return display::Plain(r.Parries);
    case Column::kDodges:
      return display::Plain(r.Dodges);
    case Column::kRipostes:
      return display::Plain(r.Ripostes);
    case Column::kBlocks:
      return display::Plain(r.Blocks);
    case Column::kSwingsTaken:
      return display::Plain(r.SwingsTaken);
    case Column::kSwingsDealt:
      return display::Plain(r.SwingsDealt);
    case Column::kAccuracy:
      return PercentOf(swings - r.Misses, swings);
    case Column::kEvasion:
      return PercentOf(Avoidances(r), r.Misses);
    case Column::kDefense:
      return PercentOf(Avoidances(r), swings);
    case Column::kCrits:
      return display::Plain(total ? r.CritsTaken : r.CritsDealt);
    case Column::kCritRate:
      return total ? PercentOf(r.CritsTaken, r.HitsTaken) : PercentOf(r.CritsDealt, r.HitsDealt);
    case Column::kCount:
      break;
  }
  return {};
}

TextTable EventDetailListRows(const std::vector<CombatantSummary>& rows, LineRules rules) {
  using Column = EventDetailColumn;
  if (rows.empty()) return EmptyList<Column>(rules);
  auto held = std::make_shared<const std::vector<CombatantSummary>>(rows);
  return TextTable(ColumnCount<Column>(rules), rows.size(),
                   [held = std::move(held)](size_t row, size_t column) {
                     return EventDetailListCell(*held, row, static_cast<Column>(column));
                   });
}

TextTable EventDetailListTexts(const std::vector<CombatantSummary>& rows, LineRules rules) {
  using Column = EventDetailColumn;
  TextTable list = EmptyList<Column>(rules);
  const bool crits = rules == LineRules::kExtended;
  if (rows.empty()) return list;
  list.Reserve(rows.size());
  const int64_t event_duration = rows[0].Duration;
  for (size_t i = 0; i < rows.size(); ++i) {
    const CombatantSummary& row = rows[i];
    // The total row describes the opponent: its dealt-side columns show what
    // the opponent took (what the combatants dealt together) and the reverse,
    // and its percentages use the combatants' swings at the opponent.
    const bool total = i == 0;
    const int64_t dealt = total ? row.DamageTaken : row.DamageDealt;
    const int64_t taken = total ? row.DamageDealt : row.DamageTaken;
    const int64_t swings = total ? row.SwingsTaken : row.SwingsDealt;
    const int64_t hits = total ? row.HitsTaken : row.HitsDealt;
    const int64_t crit_hits = total ? row.CritsTaken : row.CritsDealt;
    ListRow<Column> cells;
    cells[Column::kDamageBy] = row.Name;
    cells[Column::kDmgDealt] = display::Grouped(dealt);
    cells[Column::kDuration] = display::Plain(row.Duration);
    cells[Column::kDPSDealt] = display::Fixed2(PerSecond(dealt, row.Duration));
    cells[Column::kADPSDealt] = display::Fixed2(PerSecond(dealt, event_duration));
    cells[Column::kStart] = display::DateTimeText(row.StartDate);
    cells[Column::kEnd] = display::DateTimeText(row.EndDate);
    cells[Column::kMaxHitTaken] = display::Plain(row.MaxHitTaken);
    cells[Column::kMinHitTaken] = display::Plain(row.MinHitTaken);
    cells[Column::kHitsTaken] = display::Plain(row.HitsTaken);
    cells[Column::kMaxHitDealt] = display::Plain(row.MaxHitDealt);
    cells[Column::kMinHitDealt] = display::Plain(row.MinHitDealt);
    cells[Column::kHitsDealt] = display::Plain(row.HitsDealt);
    cells[Column::kDmgTaken] = display::Plain(taken);
    cells[Column::kDPSTaken] = display::Fixed2(PerSecond(taken, row.Duration));
    cells[Column::kMisses] = display::Plain(row.Misses);
    cells[Column::kParries] = display::Plain(row.Parries);
    cells[Column::kDodges] = display::Plain(row.Dodges);
    cells[Column::kRipostes] = display::Plain(row.Ripostes);
    cells[Column::kBlocks] = display::Plain(row.Blocks);
    cells[Column::kSwingsTaken] = display::Plain(row.SwingsTaken);
    cells[Column::kSwingsDealt] = display::Plain(row.SwingsDealt);
    cells[Column::kAccuracy] = PercentOf(swings - row.Misses, swings);
    cells[Column::kEvasion] = PercentOf(Avoidances(row), row.Misses);
    cells[Column::kDefense] = PercentOf(Avoidances(row), swings);
    if (crits) {
      cells[Column::kCrits] = display::Plain(crit_hits);
      cells[Column::kCritRate] = PercentOf(crit_hits, hits);
    }
    list.AddRow(std::move(cells).Take());
  }
  return list;
}

void WriteTextPcListCsv(std::ostream& out, const std::vector<CombatantSummary>& rows,
                        LineRules rules) {
  CsvWriter csv(out);
  constexpr std::string_view kHeader =
      "Mob,Dmg Dealt,Dmg Taken,Duration,Start Date,End Date,Max Dealt,Min Dealt,Hits Dealt,"
      "Max Taken,Min Taken,Hits Taken,Misses,Parries,Dodges,Ripostes,Blocks,Swings Taken,"
      "Swings Dealt";
  const bool crits = rules == LineRules::kExtended;
  csv.Header(crits ? std::string(kHeader) + ",Crits,Crit Rate" : std::string(kHeader));
  // Each row's own fields: the total row's "Dmg Dealt" is what the opponent dealt.
  for (const CombatantSummary& row : rows) {
    csv.Field(row.Name)
        .Field(row.DamageDealt)
        .Field(row.DamageTaken)
        .Field(row.Duration)
        .Field(display::DateTimeText(row.StartDate))
        .Field(display::DateTimeText(row.EndDate))
        .Field(row.MaxHitDealt)
        .Field(row.MinHitDealt)
        .Field(row.HitsDealt)
        .Field(row.MaxHitTaken)
        .Field(row.MinHitTaken)
        .Field(row.HitsTaken)
        .Field(row.Misses)
        .Field(row.Parries)
        .Field(row.Dodges)
        .Field(row.Ripostes)
        .Field(row.Blocks)
        .Field(row.SwingsTaken)
        .Field(row.SwingsDealt);
    // The crits of the row's own hits dealt, as its other fields.
    if (crits) csv.Field(row.CritsDealt).Field(PercentOf(row.CritsDealt, row.HitsDealt));
    csv.EndLine();
  }
}

}  // namespace ombrel
