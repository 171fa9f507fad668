#include "analysis/FightUnion.h"

#include <algorithm>

#include "shared/ActiveTime.h"

namespace ombrel {
namespace {

// Adds one fight's figures (seen from its opponent) to the union's.
void AddFight(EventRecord& sum, const EventRecord& fight) {
  auto side = [](int32_t& max_hit, int32_t& min_hit, uint32_t& hits, int32_t fight_max,
                 int32_t fight_min, uint32_t fight_hits) {
    if (fight_hits == 0) return;
    if (hits == 0 || fight_max > max_hit) max_hit = fight_max;
    if (hits == 0 || fight_min < min_hit) min_hit = fight_min;
    hits += fight_hits;
  };
  sum.DamageTaken += fight.DamageTaken;
  sum.DamageDealt += fight.DamageDealt;
  side(sum.MaxHitTaken, sum.MinHitTaken, sum.HitsTaken, fight.MaxHitTaken, fight.MinHitTaken,
       fight.HitsTaken);
  side(sum.MaxHitDealt, sum.MinHitDealt, sum.HitsDealt, fight.MaxHitDealt, fight.MinHitDealt,
       fight.HitsDealt);
  if (fight.StartDate < sum.StartDate) sum.StartDate = fight.StartDate;
  if (fight.EndDate > sum.EndDate) sum.EndDate = fight.EndDate;
  sum.StartCounter = std::min(sum.StartCounter, fight.StartCounter);
  sum.EndCounter = std::max(sum.EndCounter, fight.EndCounter);
}

}  // namespace

FightUnion::FightUnion(const ParsedLog& log, const FightSelection& selection) : log_(log) {
  numbers_ = selection.event_numbers;
  std::sort(numbers_.begin(), numbers_.end());
  numbers_.erase(std::unique(numbers_.begin(), numbers_.end()), numbers_.end());
  std::erase_if(numbers_, [&log](int32_t n) { return log.FindEvent(n) == nullptr; });
  const DamageTable& table = log.DamageTable();
  for (int32_t n : numbers_) {
    fights_.push_back(log.FindEvent(n));
    fight_ranges_.push_back(EventIndexes(table, *fights_.back()));
  }
  if (fights_.empty()) return;

  // The merged ranges, walked once for all fights.
  std::vector<IndexRange> sorted = fight_ranges_;
  std::sort(sorted.begin(), sorted.end(),
            [](const IndexRange& a, const IndexRange& b) { return a.begin < b.begin; });
  for (const IndexRange& r : sorted) {
    if (r.begin >= r.end) continue;
    if (!ranges_.empty() && r.begin <= ranges_.back().end)
      ranges_.back().end = std::max(ranges_.back().end, r.end);
    else
      ranges_.push_back(r);
  }

  // Each opponent's fights by range start, with the reach of the ranges so far,
  // so that the fight holding an index is found by a binary search and a short
  // walk back (a mob's fights seldom overlap).
  for (size_t f = 0; f < fights_.size(); ++f) {
    const uint32_t id = table.FindId(fights_[f]->Name);
    opponent_ids_.push_back(id);
    if (id != DamageTable::kNoText) by_opponent_[id].fights.push_back(f);
  }
  for (auto& [id, candidates] : by_opponent_) {
    std::stable_sort(
        candidates.fights.begin(), candidates.fights.end(),
        [this](size_t a, size_t b) { return fight_ranges_[a].begin < fight_ranges_[b].begin; });
    size_t reach = 0;
    for (size_t f : candidates.fights) {
      reach = std::max(reach, fight_ranges_[f].end);
      candidates.reach.push_back(reach);
    }
  }

  if (fights_.size() == 1) {
    summary_ = *fights_.front();
    return;
  }
  summary_.Name = fights_.front()->Name;
  summary_.StartDate = fights_.front()->StartDate;
  summary_.EndDate = fights_.front()->EndDate;
  summary_.StartCounter = fights_.front()->StartCounter;
  summary_.EndCounter = fights_.front()->EndCounter;
  std::vector<ActiveSpan> spans;
  for (const EventRecord* fight : fights_) {
    AddFight(summary_, *fight);
    spans.push_back({fight->StartDate, fight->EndDate});
  }
  summary_.Duration = ActiveSeconds(std::move(spans));
}

int FightUnion::FightOf(uint32_t id, size_t j) const {
  const auto it = by_opponent_.find(id);
  if (it == by_opponent_.end()) return -1;
  const Candidates& c = it->second;
  // The last fight whose range begins at or before j, then back while an
  // earlier range may still reach j.
  size_t k = static_cast<size_t>(
      std::upper_bound(c.fights.begin(), c.fights.end(), j,
                       [this](size_t index, size_t f) { return index < fight_ranges_[f].begin; }) -
      c.fights.begin());
  while (k-- > 0 && c.reach[k] > j) {
    const IndexRange& r = fight_ranges_[c.fights[k]];
    if (r.begin <= j && j < r.end) return static_cast<int>(c.fights[k]);
  }
  return -1;
}

FightUnion::Owner FightUnion::OwnerOf(size_t j) const {
  const DamageTable& table = log_.DamageTable();
  if (const int f = FightOf(table.DealerId(j), j); f >= 0) return {f, true};
  return {FightOf(table.TakerId(j), j), false};
}

std::string FightUnion::Caption() const {
  return fights_.empty() ? std::string() : UnionCaption(fights_.front()->Name, fights_.size());
}

}  // namespace ombrel
