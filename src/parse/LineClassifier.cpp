#include "parse/LineClassifier.h"

#include <cstring>

#include "parse/LineText.h"
#include "parse/LogLineTime.h"
#include "parse/TextSearch.h"

namespace ombrel {
namespace {

constexpr size_t kNone = std::string_view::npos;

// 1-based position of the first occurrence of `literal`, 0 when absent.
int64_t Position(std::string_view line, std::string_view literal) {
  const size_t at = FindText(line, literal);
  return at == kNone ? 0 : static_cast<int64_t>(at) + 1;
}

// The amount in a cut-out; false when there is no cut-out or no amount in it.
bool ReadAmountOf(const std::optional<std::string_view>& text, int32_t& amount) {
  if (!text) return false;
  const std::optional<int32_t> read = ReadAmount(*text);
  if (!read) return false;
  amount = *read;
  return true;
}

// The message text begins at character 28, after the time stamp and a blank.
constexpr int64_t kMessageStart = 28;

// The five avoidance markers, in rule order, with the record type of each.
constexpr std::string_view kAvoidanceMarkers[5] = {" but misses!", " parries!", " dodges!",
                                                   " ripostes!", " blocks!"};
constexpr int32_t kAvoidanceTypes[5] = {kMiss, kParry, kDodge, kRiposte, kBlock};

}  // namespace

// One line on its way through the rules.
struct LineClassifier::Line {
  std::string_view text;
  int64_t length = 0;
  int64_t index = 0;
  bool failed = false;  // a rule matched but could not read the line

  bool date_read = false;
  std::optional<DateTime> date;
  bool chatter_read = false;
  bool chatter = false;
  bool verb_read = false;
  VerbMatch verb;
};

LineClassifier::LineClassifier(DamageTable& table, std::vector<std::string_view>& mob_list,
                               const ClassifierTexts& texts, const VerbScanner& verbs)
    : table_(table), mobs_(mob_list), texts_(texts), verbs_(verbs) {}

void LineClassifier::Classify(std::string_view text, int64_t index) {
  // Every rule's literals hold one of these four words; chat and most other
  // messages hold none and are done with after four quick scans.
  const bool casts = FindText(text, "begin") != kNone;
  const bool tries = FindText(text, "tries to") != kNone;
  const bool damage = FindText(text, "damage") != kNone;
  const bool energy = FindText(text, "energy") != kNone;
  if (!casts && !tries && !damage && !energy) return;

  Line line;
  line.text = text;
  line.length = static_cast<int64_t>(text.size());
  line.index = index;
  if (casts) SpellCasts(line);
  if (tries) Avoidances(line);
  if (damage) Damage(line);
  if (energy) SpecialNames(line);
  if (line.failed) ++unreadable_lines_;
}

std::optional<DateTime> LineClassifier::Date(Line& line) {
  if (line.date_read) return line.date;
  line.date_read = true;
  const std::string_view text = line.text;
  if (text.size() < 25) return line.date;
  // Neighbouring lines mostly share their time stamp.
  if (!has_stamp_ || std::memcmp(stamp_, text.data(), sizeof stamp_) != 0) {
    std::memcpy(stamp_, text.data(), sizeof stamp_);
    has_stamp_ = true;
    stamp_date_ = LogLineTime(text.substr(0, 28));
  }
  line.date = stamp_date_;
  return line.date;
}

bool LineClassifier::Chatter(Line& line) {
  if (line.chatter_read) return line.chatter;
  line.chatter_read = true;
  const std::string_view text = line.text;
  for (size_t at = FindText(text, " tell"); at != kNone; at = FindText(text, " tell", at + 1)) {
    if (StartsAt(text, at + 5, " ") || StartsAt(text, at + 5, "s ")) {
      line.chatter = true;
      return true;
    }
  }
  line.chatter = ContainsText(text, " -> ") || ContainsText(text, " <- ") ||
                 ContainsText(text, "to your guild");
  return line.chatter;
}

const VerbMatch& LineClassifier::Verb(Line& line) {
  if (!line.verb_read) {
    line.verb = verbs_.Scan(line.text);
    // The record's name views the verb where the line holds it, inside the table's buffer.
    if (line.verb.found())
      line.verb.verb = line.text.substr(line.verb.at + 1, line.verb.verb.size());
    line.verb_read = true;
  }
  return line.verb;
}

bool LineClassifier::Keep(const DamageRecord& record) {
  if (!table_.Append(record)) return false;
  has_last_ = true;
  last_ = record;
  return true;
}

// A non-melee hit right after a cast by the same dealer completes that cast:
// the cast record takes the hit's taker, amount and type and keeps its own
// date, dealer, spell name and line number.
bool LineClassifier::KeepOrMerge(const DamageRecord& record) {
  if (has_last_ && record.Type == kNonMelee && last_.Type == kSpellCast &&
      last_.Dealer == record.Dealer) {
    DamageRecord merged = last_;
    merged.Taker = record.Taker;
    merged.Damage = record.Damage;
    merged.Crit = record.Crit;
    merged.Type = record.Type;
    if (!table_.ReplaceLast(merged)) return false;
    last_ = merged;
    return true;
  }
  return Keep(record);
}

void LineClassifier::SpellCasts(Line& line) {
  const std::string_view text = line.text;
  bool by_other = false;
  bool own = false;
  for (size_t at = FindText(text, "begin"); at != kNone && !(by_other && own);
       at = FindText(text, "begin", at + 1)) {
    by_other = by_other || StartsAt(text, at, "begins to cast a spell. ");
    own = own || StartsAt(text, at, "begin casting");
  }
  if (by_other) {
    // "Soandso begins to cast a spell. <Fire Shard>": the name without the last character.
    const auto dealer = CutText(text, kMessageStart, Position(text, " begins") - 1);
    const auto name = CutText(text, Position(text, "<") + 1, line.length - 1);
    const auto date = Date(line);
    if (!dealer || !name || !date ||
        !Keep({*date, *dealer, {}, 0, 0, kSpellCast, *name, line.index}))
      line.failed = true;
  }
  if (own) {
    // "You begin casting Fire Shard.": what follows "casting" and a blank, less the full stop.
    const auto name = CutText(text, Position(text, "casting") + 8, line.length - 1);
    const auto date = Date(line);
    if (!name || !date ||
        !Keep({*date, texts_.character_name, {}, 0, 0, kSpellCast, TrimBlanks(*name), line.index}))
      line.failed = true;
  }
}

void LineClassifier::Avoidances(Line& line) {
  const std::string_view text = line.text;
  bool marked[5] = {};
  bool any = false;
  for (size_t at = text.find('!'); at != kNone; at = text.find('!', at + 1)) {
    for (int k = 0; k < 5; ++k) {
      if (EndsAt(text, at + 1, kAvoidanceMarkers[k])) marked[k] = any = true;
    }
  }
  if (!any || Chatter(line)) return;

  const auto dealer = CutText(text, kMessageStart, Position(text, " tries") - 1);
  const auto date = Date(line);
  const VerbMatch& verb = Verb(line);
  int64_t taker_start = 0;
  if (verb.found()) {
    taker_start = static_cast<int64_t>(verb.at) + 1 + static_cast<int64_t>(verb.verb.size()) + 2;
  } else {
    // No verb of the table ("A gnoll tries to shoot YOU, but misses!"): the
    // taker follows the first word after "tries to ".
    const int64_t word = Position(text, "tries to") + 9;
    const size_t blank = text.find(' ', static_cast<size_t>(word - 1));
    const int64_t after_word = blank == kNone ? line.length + 1 : static_cast<int64_t>(blank) + 1;
    taker_start = after_word + 1;
  }
  const int64_t misses_end = Position(text, ", but misses!");
  const int64_t but_end = Position(text, ", but ");
  for (int k = 0; k < 5; ++k) {
    if (!marked[k]) continue;
    const auto taker = CutText(text, taker_start, (k == 0 ? misses_end : but_end) - 1);
    if (!dealer || !date || !taker ||
        !Keep({*date, *dealer, *taker, 0, 0, kAvoidanceTypes[k], verb.verb, line.index}))
      line.failed = true;
  }
}

void LineClassifier::Damage(Line& line) {
  const std::string_view text = line.text;
  // Every damage literal of the rules holds "damage": one walk over its
  // occurrences tells which of them the line holds, and where.
  int64_t damage_from = 0;       // p("damage from")
  int64_t damage_from_your = 0;  // p("damage from your")
  int64_t blank_damage = 0;      // p(" damage")
  bool of_damage = false;
  bool of_non_melee_damage = false;
  // " point of damage", " points of damage", " point of non-melee damage", " points of ..."
  bool amount_phrase[4] = {};
  for (size_t at = FindText(text, "damage"); at != kNone; at = FindText(text, "damage", at + 1)) {
    const int64_t position = static_cast<int64_t>(at) + 1;
    if (damage_from == 0 && StartsAt(text, at + 6, " from")) damage_from = position;
    if (damage_from_your == 0 && StartsAt(text, at + 6, " from your")) damage_from_your = position;
    if (blank_damage == 0 && at > 0 && text[at - 1] == ' ') blank_damage = position - 1;
    of_damage = of_damage || EndsAt(text, at, "of ");
    of_non_melee_damage = of_non_melee_damage || EndsAt(text, at, "of non-melee ");
    amount_phrase[0] = amount_phrase[0] || EndsAt(text, at, " point of ");
    amount_phrase[1] = amount_phrase[1] || EndsAt(text, at, " points of ");
    amount_phrase[2] = amount_phrase[2] || EndsAt(text, at, " point of non-melee ");
    amount_phrase[3] = amount_phrase[3] || EndsAt(text, at, " points of non-melee ");
  }

  // Heals and the character's own damage summaries are never damage records.
  if (Chatter(line) || ContainsText(text, "You have taken")) return;
  bool healed_you = false;
  for (size_t at = FindText(text, "healed"); at != kNone; at = FindText(text, "healed", at + 1)) {
    if (EndsAt(text, at, "You have ") ||
        (EndsAt(text, at, "has ") && StartsAt(text, at + 6, " you for")))
      return;
    healed_you = healed_you || StartsAt(text, at + 6, " you");
  }

  const bool own_dot = damage_from_your != 0;
  const bool other_dot = damage_from != 0 && ContainsText(text, " by ");
  if (own_dot || other_dot) {
    // "A gnoll has taken 12 damage from your Poison Bolt."
    const int64_t has_taken = Position(text, "has taken");
    const auto taker = CutText(text, kMessageStart, has_taken - 1);
    const auto amount_text = CutText(text, has_taken + 10, blank_damage - 1);
    int32_t amount = 0;
    const bool amount_read = ReadAmountOf(amount_text, amount);
    if (own_dot) {
      const auto name = CutText(text, damage_from_your + 17, line.length);
      const auto date = Date(line);
      if (taker && amount_read && name && date &&
          Keep({*date, texts_.character_name, TrimBlanks(*taker), amount, 0, kDamageOverTime,
                TrimBlanks(*name), line.index}))
        mobs_.Register(TrimBlanks(*taker));
      else
        line.failed = true;
    }
    if (other_dot) {
      // "A gnoll has taken 12 damage from Soandso by Poison Bolt."
      const int64_t by = Position(text, " by ");
      const auto dealer = CutText(text, damage_from + 11, by - 1);
      const auto name = CutText(text, by + 4, line.length);
      const auto date = Date(line);
      if (!taker || !amount_read || !dealer || !name || !date ||
          !Keep({*date, TrimBlanks(*dealer), TrimBlanks(*taker), amount, 0, kDamageOverTime,
                 TrimBlanks(*name), line.index}))
        line.failed = true;
    }
  }

  if (of_non_melee_damage || (of_damage && !healed_you)) {
    // "You hit a gnoll for 20 points of damage."
    const VerbMatch& verb = Verb(line);
    if (!verb.found()) return;  // no dealer or taker to be had
    const int64_t v = static_cast<int64_t>(verb.at) + 1;
    const auto date = Date(line);
    auto dealer = CutText(text, kMessageStart, v - 1);
    if (dealer && IsYou(*dealer)) dealer = texts_.character_name;
    const int64_t for_at = Position(text, " for ");
    auto taker = CutText(text, v + static_cast<int64_t>(verb.verb.size()) + 1, for_at - 1);
    if (taker) taker = TrimBlanks(*taker);
    if (taker && IsYou(*taker)) taker = texts_.character_name;
    // The last amount phrase the line holds decides; none leaves type 0 and no amount.
    int32_t type = kUnreadAmount;
    int32_t amount = 0;
    bool amount_read = true;
    for (int k = 3; k >= 0; --k) {
      if (!amount_phrase[k]) continue;
      type = k < 2 ? kMelee : kNonMelee;
      const int64_t end = Position(text, k % 2 == 0 ? " point " : " points ");
      amount_read = ReadAmountOf(CutText(text, for_at + 5, end - 1), amount);
      break;
    }
    if (!date || !dealer || !taker || !amount_read) {
      line.failed = true;
      return;
    }
    if (!KeepOrMerge({*date, *dealer, *taker, amount, 0, type, verb.verb, line.index})) {
      line.failed = true;
      return;
    }
    if (*dealer == texts_.character_name) mobs_.Register(*taker);
  }
}

void LineClassifier::SpecialNames(Line& line) {
  const std::string_view text = line.text;
  bool mana = false;
  bool storm = false;
  for (size_t at = FindText(text, "energy"); at != kNone; at = FindText(text, "energy", at + 1)) {
    mana = mana || (EndsAt(text, at, "is enveloped in ethereal ") && StartsAt(text, at + 6, "."));
    storm = storm || (EndsAt(text, at, "quivers as a bolt of ") &&
                      StartsAt(text, at + 6, " surges through them."));
  }
  // A special attack shows as a non-melee hit and, in the same second, a
  // second message that names it.
  for (const auto& [matched, name] :
       {std::pair{mana, texts_.mana_resurgence}, std::pair{storm, texts_.storm_blade}}) {
    if (!matched) continue;
    const auto date = Date(line);
    if (!date) {
      line.failed = true;
      continue;
    }
    if (has_last_ && last_.Type == kNonMelee && last_.Date == *date) {
      DamageRecord renamed = last_;
      renamed.Name = name;
      if (table_.ReplaceLast(renamed)) last_ = renamed;
    }
  }
}

}  // namespace ombrel
