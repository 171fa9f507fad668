#include "parse/TickOrder.h"

#include "parse/LineText.h"
#include "shared/TrimBlanks.h"

namespace ombrel {
namespace {

constexpr std::string_view kCorpse = "'s corpse";

// A rank ("Rk. II", "Rk.II") or a Roman numeral as the last word.
bool SpellShaped(std::string_view side) {
  const size_t blank = side.rfind(' ');
  std::string_view word = blank == std::string_view::npos ? side : side.substr(blank + 1);
  if (word.starts_with("Rk.")) word.remove_prefix(3);
  return !word.empty() && word.find_first_not_of("IVXLCDM") == std::string_view::npos;
}

// Logs stamped from this year on write the newer order, as a rule.
constexpr int kNewerOrderFrom = 2018;

// "a gnoll's corpse": the corpse's owner; any other side as it is.
std::string_view OwnerOfCorpse(std::string_view side) {
  if (!side.ends_with(kCorpse)) return side;
  return TrimBlanks(side.substr(0, side.size() - kCorpse.size()));
}

}  // namespace

std::string_view TickSides::Second() const {
  return rest.ends_with('.') ? TrimBlanks(rest.substr(0, rest.size() - 1)) : rest;
}

bool TickSides::Missing() const {
  return first.empty() || OwnerOfCorpse(Second()).empty();
}

TickReading ReadTickSides(const TickSides& sides, TickOrder order, std::string_view you_name,
                          std::string& spelled) {
  auto party = [you_name](std::string_view name) { return IsYou(name) ? you_name : name; };
  if (order == TickOrder::kCasterFirst) return {party(sides.first), sides.rest};
  const std::string_view caster = OwnerOfCorpse(sides.Second());
  if (!sides.rest.ends_with('.')) return {party(caster), sides.first};
  spelled.assign(sides.first);
  spelled += '.';
  return {party(caster), spelled};
}

bool TickOrderLog::Caster(std::string_view side) const {
  return IsYou(side) || SameParty(side, character_) || known_.contains(side);
}

TickOrder TickOrderLog::Decide(const TickSides& sides) {
  const std::string_view second = sides.Second();
  std::optional<TickOrder> decided;
  if (second.ends_with(kCorpse)) {
    decided = TickOrder::kCasterLast;
  } else if (const bool first_caster = Caster(sides.first); first_caster != Caster(second)) {
    decided = first_caster ? TickOrder::kCasterFirst : TickOrder::kCasterLast;
  } else if (const bool first_spell = SpellShaped(sides.first);
             first_spell != SpellShaped(second)) {
    decided = first_spell ? TickOrder::kCasterLast : TickOrder::kCasterFirst;
  }
  if (decided) {
    last_ = decided;
    return *decided;
  }
  if (last_) return *last_;
  return sides.date.ToCivil().year >= kNewerOrderFrom ? TickOrder::kCasterLast
                                                      : TickOrder::kCasterFirst;
}

void StretchTicks::Clear() {
  names_.clear();
  met_.clear();
  open_.clear();
}

void StretchTicks::Meet(std::string_view name) {
  if (!name.empty() && met_.insert(name).second) names_.push_back(name);
}

void StretchTicks::Open(size_t record, const TickSides& sides) {
  open_.push_back({record, names_.size(), sides});
}

bool StretchTicks::Fits() const {
  for (const OpenLine& line : open_)
    if (line.sides.first.size() + 1 > DamageTable::kMaxTextLength ||
        line.sides.rest.size() > DamageTable::kMaxTextLength)
      return false;
  return true;
}

void StretchTicks::Settle(TickOrderLog& log, DamageTable& table, size_t first_record) const {
  size_t met = 0;
  auto meet_until = [&](size_t count) {
    for (; met < count; ++met) log.Meet(table.Intern(names_[met]));
  };
  std::string spelled;
  for (const OpenLine& line : open_) {
    meet_until(line.names_before);
    const TickOrder order = log.Decide(line.sides);
    if (order == TickOrder::kCasterFirst || line.record == kNoRecord) continue;
    const TickReading reading = ReadTickSides(line.sides, order, log.character_name(), spelled);
    DamageRecord record = table[first_record + line.record];
    record.Dealer = reading.dealer;
    record.Name = reading.name;
    table.Replace(first_record + line.record, record);
  }
  meet_until(names_.size());
}

}  // namespace ombrel
