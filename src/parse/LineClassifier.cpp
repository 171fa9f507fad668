#include "parse/LineClassifier.h"

#include <cstring>

#include "parse/LifeLines.h"
#include "parse/LineText.h"
#include "parse/LiteralSet.h"
#include "parse/LogLineTime.h"
#include "parse/PartyNames.h"
#include "parse/StampLayout.h"
#include "parse/TextSearch.h"
#include "shared/TrimBlanks.h"

namespace ombrel {
namespace {

constexpr size_t kNone = std::string_view::npos;

// A line opens with its time stamp and a blank; the message follows.
constexpr int64_t kMessageStart = static_cast<int64_t>(kStampLayout.size());

// A literal of the rules, with the first place it can start in a line that
// opens with a well-formed stamp: searches in such lines begin there.
struct RuleLiteral {
  std::string_view text;
  size_t skip = 0;
  consteval RuleLiteral(const char* literal)  // NOLINT: implicit on purpose
      : text(literal), skip(EarliestStartAfterStamp(text)) {}
  consteval RuleLiteral(std::string_view literal)  // NOLINT: implicit on purpose
      : text(literal), skip(EarliestStartAfterStamp(text)) {}
};

// The literals whose occurrences the rules walk.
constexpr std::string_view kDamage = "damage";
constexpr std::string_view kHealed = "healed";
constexpr std::string_view kEnergy = "energy";
constexpr std::string_view kTell = " tell";

// The literals every rule's literals hold one of: a line that holds none of
// them is done with after one pass over it. Their bits in the set found.
constexpr uint32_t kBeginMarker = 1u << 0;
constexpr uint32_t kTriesToMarker = 1u << 1;
constexpr uint32_t kDamageMarker = 1u << 2;
constexpr uint32_t kEnergyMarker = 1u << 3;
constexpr uint32_t kRuleMarkers = kBeginMarker | kTriesToMarker | kDamageMarker | kEnergyMarker;

// The literals that make a line chat or rule it out as a hit, looked for
// together once a rule asks; their bits in `Line::chat_markers`.
constexpr uint32_t kTellMarker = 1u << 0;
constexpr uint32_t kToMarker = 1u << 1;
constexpr uint32_t kFromMarker = 1u << 2;
constexpr uint32_t kGuildMarker = 1u << 3;
constexpr uint32_t kYouHaveTakenMarker = 1u << 4;
constexpr uint32_t kHealedMarker = 1u << 5;
constexpr uint32_t kChatMarkers = kTellMarker | kToMarker | kFromMarker | kGuildMarker;

// The five avoidance markers, in rule order, with the record type of each.
constexpr std::string_view kAvoidanceMarkers[5] = {" but misses!", " parries!", " dodges!",
                                                   " ripostes!", " blocks!"};
constexpr int32_t kAvoidanceTypes[5] = {kMiss, kParry, kDodge, kRiposte, kBlock};

// Extended rules: the character's defences and the ends of the character's own
// failed swings, each with its record type.
constexpr std::string_view kDefenceMarkers[4] = {", but YOU parry!", ", but YOU dodge!",
                                                 ", but YOU riposte!", ", but YOU block!"};
constexpr int32_t kDefenceTypes[4] = {kParry, kDodge, kRiposte, kBlock};
constexpr std::string_view kOwnTry = "You try to ";
constexpr std::string_view kOwnMiss = ", but miss!";
constexpr std::string_view kCharacterTick = "You have taken ";

// The amount phrases of a direct hit, each with the literal that ends its amount.
constexpr std::string_view kAmountPhrases[4] = {" point of ", " points of ", " point of non-melee ",
                                                " points of non-melee "};
constexpr RuleLiteral kAmountEnds[4] = {" point ", " points ", " point ", " points "};
constexpr int32_t kAmountTypes[4] = {kMelee, kMelee, kNonMelee, kNonMelee};

// Just past the verb of a line (the blank after it in a well-formed line).
int64_t VerbEnd(const VerbMatch& verb) {
  return static_cast<int64_t>(verb.at + 1 + verb.verb.size());
}

// The amount in a cut-out; false when there is no cut-out or no amount in it.
bool ReadAmountOf(const std::optional<std::string_view>& text, int32_t& amount) {
  if (!text) return false;
  const std::optional<int32_t> read = ReadAmount(*text);
  if (!read) return false;
  amount = *read;
  return true;
}

// Which of `literals` a line holds. In a line that opens with a well-formed
// stamp none of them can start before `skip`, and the search begins there.
template <Literal... literals>
uint32_t FindInLine(std::string_view text, bool stamped) {
  constexpr size_t skip = std::min({EarliestStartAfterStamp(literals.view())...});
  return FindLiterals<literals...>(stamped ? text.substr(skip) : text);
}

}  // namespace

// One line on its way through the rules. What the rules read of it is read
// once, when first asked for; until then only its flag is set (a line's
// fields are set one by one, not cleared whole, as lines come by the million).
struct LineClassifier::Line {
  Line(std::string_view line_text, bool line_stamped, int64_t line_index)
      : text(line_text),
        length(static_cast<int64_t>(line_text.size())),
        index(line_index),
        stamped(line_stamped) {}

  std::string_view text;
  int64_t length = 0;
  int64_t index = 0;
  bool stamped = false;  // the line opens with a well-formed stamp
  bool failed = false;   // a rule matched but could not read the line

  bool chat_markers_read = false;
  bool date_read = false;
  bool chatter_read = false;
  bool chatter = false;
  bool verb_read = false;
  uint32_t chat_markers = 0;
  std::optional<DateTime> date;
  VerbMatch verb;

  // The first occurrence of a literal, where it stands (LineText.h), the end
  // of a cut-out that stops where it begins, the start of one that follows it.
  size_t From(RuleLiteral literal) const { return stamped ? literal.skip : 0; }
  size_t Find(RuleLiteral literal) const { return FindText(text, literal.text, From(literal)); }
  LiteralPlace Locate(RuleLiteral literal) const {
    return ombrel::Locate(text, literal.text, From(literal));
  }
  int64_t Before(RuleLiteral literal) const { return Locate(literal).begin; }
  int64_t After(RuleLiteral literal) const { return Locate(literal).end; }
};

// What both damage-over-time shapes read: the taker before "has taken" and
// the amount between it and " damage".
struct LineClassifier::Tick {
  std::optional<std::string_view> taker;
  bool amount_read = false;
  int32_t amount = 0;
};

LineClassifier::LineClassifier(DamageTable& table, MobSink& mobs, const ClassifierTexts& texts,
                               const VerbScanner& verbs, LineRules rules)
    : table_(table),
      mobs_(mobs),
      texts_(texts),
      verbs_(verbs),
      extended_(rules == LineRules::kExtended),
      tick_order_(texts.character_name) {
  FollowTable();
}

void LineClassifier::FollowTable() {
  has_last_ = !table_.empty();
  if (has_last_) last_ = table_[table_.size() - 1];
}

void LineClassifier::Classify(std::string_view text, int64_t index) {
  if (text.size() > kLongestLine) {
    ++unreadable_lines_;
    return;
  }
  // A tag after the final full stop is never part of a name or an amount.
  const std::string_view whole = text;
  if (extended_) text = WithoutTrailingTags(text);
  // Every rule's literals hold one of these four words; chat and most other
  // messages hold none and are done with after one pass over the line. The
  // extended rules' heals, deaths and announcements hold one of the others.
  const bool stamped = OpensWithStamp(text);
  signs_.stamped_lines += stamped ? 1 : 0;
  const uint32_t markers =
      extended_ ? FindInLine<"begin", "tries to", "damage", "energy", "slain", "died", "heal",
                             "critical", "Crippling", "Deadly", "holy blade">(text, stamped)
                : FindInLine<"begin", "tries to", "damage", "energy">(text, stamped);
  const bool casts = (markers & kBeginMarker) != 0;
  const bool tries = (markers & kTriesToMarker) != 0;
  const bool damage = (markers & kDamageMarker) != 0;
  const bool energy = (markers & kEnergyMarker) != 0;
  const bool life = (markers & ~kRuleMarkers) != 0;
  const bool own_try = extended_ && StartsAt(text, kMessageStart, kOwnTry);
  if (!casts && !tries && !damage && !energy && !own_try && !life) return;

  Line line(text, stamped, index);
  const std::string_view tags = whole.substr(text.size());
  critical_tag_ = extended_ && CriticalTag(tags);
  const bool heal = life && LifeLines(line, tags);
  if (casts) SpellCasts(line);
  if (tries) Avoidances(line);
  if (own_try) OwnTry(line);
  if (damage && !heal) Damage(line);
  if (energy) SpecialNames(line);
  if (line.failed) ++unreadable_lines_;
}

std::optional<DateTime> LineClassifier::Date(Line& line) {
  if (line.date_read) return line.date;
  line.date_read = true;
  const std::string_view text = line.text;
  if (text.size() < kStampTimeLength) return line.date;
  // Neighbouring lines mostly share their time stamp.
  static_assert(sizeof stamp_ == kStampTimeLength);
  if (!has_stamp_ || std::memcmp(stamp_, text.data(), kStampTimeLength) != 0) {
    std::memcpy(stamp_, text.data(), kStampTimeLength);
    has_stamp_ = true;
    stamp_date_ = LogLineTime(text);
  }
  line.date = stamp_date_;
  return line.date;
}

uint32_t LineClassifier::ChatMarkers(Line& line) {
  if (!line.chat_markers_read) {
    line.chat_markers =
        FindInLine<" tell", " -> ", " <- ", "to your guild", "You have taken", "healed">(
            line.text, line.stamped);
    line.chat_markers_read = true;
  }
  return line.chat_markers;
}

bool LineClassifier::Chatter(Line& line) {
  if (line.chatter_read) return line.chatter;
  line.chatter_read = true;
  if ((ChatMarkers(line) & kChatMarkers) == 0) return false;
  const std::string_view text = line.text;
  // " tell " or " tells ".
  for (size_t at = line.Find(kTell); at != kNone; at = FindText(text, kTell, at + 1)) {
    const size_t after = at + kTell.size();
    if (StartsAt(text, after, " ") || StartsAt(text, after, "s ")) {
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
    line.verb = verbs_.Scan(line.text, line.stamped);
    // The record's name is the verb as the line spells it.
    if (line.verb.found())
      line.verb.verb = line.text.substr(line.verb.at + 1, line.verb.verb.size());
    line.verb_read = true;
  }
  return line.verb;
}

DamageRecord LineClassifier::Marked(const DamageRecord& record) {
  if (!extended_ || !IsDamageType(record.Type)) return record;
  DamageRecord marked = record;
  // Every note waiting for this hit is spent, whether or not a tag marks it.
  const bool noted = crit_notes_.Claim(record.Dealer, record.Damage, record.Counter, false);
  if (noted || critical_tag_) marked.Crit = 1;
  return marked;
}

bool LineClassifier::Keep(const DamageRecord& record) {
  // The table's copy: its texts outlive the line.
  if (!table_.Append(Marked(record), &last_)) return false;
  has_last_ = true;
  if (extended_) MeetParties();
  return true;
}

void LineClassifier::MeetParties() {
  if (last_.Type == kDamageOverTime) return;
  if (stretch_ticks_ != nullptr) {
    stretch_ticks_->Meet(last_.Dealer);
    stretch_ticks_->Meet(last_.Taker);
  } else {
    tick_order_.Meet(last_.Dealer);
    tick_order_.Meet(last_.Taker);
  }
}

// A non-melee hit right after a cast by the same dealer completes that cast:
// the cast record takes the hit's taker, amount and type and keeps its own
// date, dealer, spell name and line number.
bool LineClassifier::KeepOrMerge(const DamageRecord& record) {
  if (!has_last_ && questions_ != nullptr && record.Type == kNonMelee)
    questions_->push_back({true, std::string(record.Dealer), {}, {}});
  if (has_last_ && record.Type == kNonMelee && last_.Type == kSpellCast &&
      last_.Dealer == record.Dealer) {
    const DamageRecord hit = Marked(record);
    DamageRecord merged = last_;
    merged.Taker = hit.Taker;
    merged.Damage = record.Damage;
    merged.Crit = hit.Crit;
    merged.Type = record.Type;
    if (!table_.ReplaceLast(merged, &last_)) return false;
    if (extended_) MeetParties();
    return true;
  }
  return Keep(record);
}

void LineClassifier::SpellCasts(Line& line) {
  const std::string_view text = line.text;
  bool by_other = false;
  bool own = false;
  for (size_t at = line.Find("begin"); at != kNone && !(by_other && own);
       at = FindText(text, "begin", at + 1)) {
    by_other = by_other || StartsAt(text, at, "begins to cast a spell. ");
    own = own || StartsAt(text, at, "begin casting");
  }
  if (by_other) CastByOther(line);
  if (own) OwnCast(line);
}

void LineClassifier::CastByOther(Line& line) {
  // The dealer before " begins"; the name after "<", less the line's last character.
  const std::string_view text = line.text;
  const auto dealer = Cut(text, kMessageStart, line.Before(" begins"));
  const auto name = Cut(text, line.After("<"), line.length - 1);
  const auto date = Date(line);
  if (!dealer || !name || !date || !Keep({*date, *dealer, {}, 0, 0, kSpellCast, *name, line.index}))
    line.failed = true;
}

void LineClassifier::OwnCast(Line& line) {
  // The name after "casting" and a blank, less the full stop.
  const std::string_view text = line.text;
  const auto name = Cut(text, line.After("casting") + kBlank, line.length - 1);
  const auto date = Date(line);
  if (!name || !date ||
      !Keep({*date, texts_.character_name, {}, 0, 0, kSpellCast, TrimBlanks(*name), line.index}))
    line.failed = true;
}

void LineClassifier::Avoidances(Line& line) {
  const std::string_view text = line.text;
  bool marked[5] = {};
  bool defended[4] = {};
  bool any = false;
  for (size_t at = text.find('!'); at != kNone; at = text.find('!', at + 1)) {
    for (int k = 0; k < 5; ++k) {
      if (EndsAt(text, at + 1, kAvoidanceMarkers[k])) marked[k] = any = true;
    }
    for (int k = 0; k < 4 && extended_; ++k) {
      if (EndsAt(text, at + 1, kDefenceMarkers[k])) defended[k] = any = true;
    }
  }
  if (!any || Chatter(line)) return;

  const auto dealer = Cut(text, kMessageStart, line.Before(" tries"));
  const auto date = Date(line);
  const VerbMatch& verb = Verb(line);
  int64_t taker_begin = 0;
  if (verb.found()) {
    taker_begin = VerbEnd(verb) + kBlank;
  } else {
    // No verb of the table ("A gnoll tries to shoot YOU, but misses!"): the
    // taker follows the first word after "tries to " and its blank; without
    // that blank it would start past the line's end.
    const int64_t word = line.After("tries to") + kBlank;
    const size_t blank = text.find(' ', static_cast<size_t>(word));
    taker_begin = blank == kNone ? line.length + 1 : static_cast<int64_t>(blank) + kBlank;
  }
  // A miss's taker ends at ", but misses!", the others' at the first ", but ".
  const int64_t misses_end = line.Before(", but misses!");
  const int64_t but_end = line.Before(", but ");
  for (int k = 0; k < 5; ++k) {
    if (!marked[k]) continue;
    const auto taker = Cut(text, taker_begin, k == 0 ? misses_end : but_end);
    if (!dealer || !date || !taker ||
        !Keep({*date, *dealer, AvoidanceTaker(*taker), 0, 0, kAvoidanceTypes[k], verb.verb,
               line.index}))
      line.failed = true;
  }
  // "A gnoll tries to bite YOU, but YOU parry!"
  for (int k = 0; k < 4; ++k) {
    if (!defended[k]) continue;
    const auto taker = Cut(text, taker_begin, but_end);
    if (!dealer || !date || !taker ||
        !Keep({*date, *dealer, AvoidanceTaker(*taker), 0, 0, kDefenceTypes[k], verb.verb,
               line.index}))
      line.failed = true;
  }
}

std::string_view LineClassifier::AvoidanceTaker(std::string_view taker) const {
  return extended_ && IsYou(taker) ? texts_.character_name : taker;
}

bool LineClassifier::IsCharacter(std::string_view name) const {
  if (!extended_) return name == texts_.character_name;
  return SameParty(name, texts_.character_name) || IsYou(name) || name == "yourself";
}

std::string_view LineClassifier::Party(std::string_view name) const {
  return extended_ && (IsYou(name) || name == "yourself") ? texts_.character_name : name;
}

void LineClassifier::RegisterMob(std::string_view name) {
  if (!extended_ || !IsCharacter(name)) mobs_.Register(name);
}

void LineClassifier::OwnTry(Line& line) {
  // "You try to slash a gnoll, but miss!" or "..., but a gnoll parries!" (dodges,
  // ripostes, blocks): the taker between the verb and ", but ".
  const std::string_view text = line.text;
  int type = -1;
  if (text.ends_with(kOwnMiss)) type = kMiss;
  for (int k = 1; k < 5 && type < 0; ++k)
    if (text.ends_with(kAvoidanceMarkers[k])) type = kAvoidanceTypes[k];
  if (type < 0 || Chatter(line)) return;
  const VerbMatch& verb = Verb(line);
  const int64_t word = kMessageStart + static_cast<int64_t>(kOwnTry.size());
  int64_t taker_begin = 0;
  if (verb.found()) {
    taker_begin = VerbEnd(verb) + kBlank;
  } else {
    const size_t blank = text.find(' ', static_cast<size_t>(word));
    taker_begin = blank == kNone ? line.length : static_cast<int64_t>(blank) + kBlank;
  }
  const auto taker = Cut(text, taker_begin, line.Before(", but "));
  const auto date = Date(line);
  if (!date || !taker ||
      !Keep({*date, texts_.character_name, *taker, 0, 0, type, verb.verb, line.index}))
    line.failed = true;
}

void LineClassifier::Damage(Line& line) {
  const std::string_view text = line.text;
  // Every damage literal of the rules holds "damage": one walk over its
  // occurrences tells which of them the line holds.
  bool damage_from = false;
  bool damage_from_your = false;
  bool of_damage = false;
  bool of_non_melee_damage = false;
  bool amount_phrase[4] = {};  // kAmountPhrases followed by "damage"
  for (size_t at = line.Find(kDamage); at != kNone; at = FindText(text, kDamage, at + 1)) {
    damage_from = damage_from || StartsAt(text, at, "damage from");
    damage_from_your = damage_from_your || StartsAt(text, at, "damage from your");
    of_damage = of_damage || EndsAt(text, at, "of ");
    of_non_melee_damage = of_non_melee_damage || EndsAt(text, at, "of non-melee ");
    for (int k = 0; k < 4; ++k)
      amount_phrase[k] = amount_phrase[k] || EndsAt(text, at, kAmountPhrases[k]);
  }

  if (extended_ && !Chatter(line) && StartsAt(text, kMessageStart, kCharacterTick)) {
    CharacterTick(line);
    return;
  }
  // Heals and the character's own damage summaries are never damage records.
  if (Chatter(line) || (ChatMarkers(line) & kYouHaveTakenMarker) != 0) return;
  bool healed_you = false;
  const size_t first_healed = (ChatMarkers(line) & kHealedMarker) != 0 ? line.Find(kHealed) : kNone;
  for (size_t at = first_healed; at != kNone; at = FindText(text, kHealed, at + 1)) {
    const size_t after = at + kHealed.size();
    if (EndsAt(text, at, "You have ") ||
        (EndsAt(text, at, "has ") && StartsAt(text, after, " you for")))
      return;
    healed_you = healed_you || StartsAt(text, after, " you");
  }

  if (extended_ && ExtendedDamage(line)) return;

  const bool own_tick = damage_from_your;
  const bool others_tick = damage_from && ContainsText(text, " by ");
  if (own_tick || others_tick) {
    const Tick tick = ReadTick(line);
    if (own_tick) OwnTick(line, tick);
    if (others_tick) OthersTick(line, tick);
  }

  const bool direct_hit = of_non_melee_damage || (of_damage && !healed_you);
  // A shape of damage the default rules know nothing of.
  if (!extended_ && !own_tick && !others_tick && !direct_hit && !healed_you)
    ++signs_.extended_lines;
  if (direct_hit) {
    // The last of the amount phrases, in their order, that the line holds decides.
    int phrase = -1;
    for (int k = 3; k >= 0 && phrase < 0; --k)
      if (amount_phrase[k]) phrase = k;
    DirectHit(line, phrase);
  }
}

LineClassifier::Tick LineClassifier::ReadTick(Line& line) {
  const std::string_view text = line.text;
  Tick tick;
  tick.taker = Cut(text, kMessageStart, line.Before("has taken"));
  tick.amount_read = ReadAmountOf(
      Cut(text, line.After("has taken") + kBlank, line.Before(" damage")), tick.amount);
  return tick;
}

void LineClassifier::OwnTick(Line& line, const Tick& tick) {
  // The name after "damage from your" and a blank, to the line's end.
  const std::string_view text = line.text;
  const auto name = Cut(text, line.After("damage from your") + kBlank, line.length);
  const auto date = Date(line);
  if (tick.taker && tick.amount_read && name && date &&
      Keep({*date, texts_.character_name, Party(TrimBlanks(*tick.taker)), tick.amount, 0,
            kDamageOverTime, TrimBlanks(*name), line.index}))
    RegisterMob(last_.Taker);
  else
    line.failed = true;
}

void LineClassifier::OthersTick(Line& line, const Tick& tick) {
  // The dealer between "damage from" and " by ", the name after " by ".
  const std::string_view text = line.text;
  const LiteralPlace by = line.Locate(" by ");
  const auto dealer = Cut(text, line.After("damage from"), by.begin);
  const auto name = Cut(text, by.end, line.length);
  const auto date = Date(line);
  if (!tick.taker || !tick.amount_read || !dealer || !name || !date) {
    line.failed = true;
    return;
  }
  DamageRecord record{*date, TrimBlanks(*dealer), TrimBlanks(*tick.taker), tick.amount,
                      0,     kDamageOverTime,     TrimBlanks(*name),       line.index};
  if (!extended_) {
    if (!Keep(record)) line.failed = true;
    return;
  }
  // Either side may name the caster: decided here from the log so far, or,
  // in a stretch classified apart, kept in the older order for its join.
  const TickSides sides{record.Dealer, record.Name, *date};
  if (sides.Missing()) return;
  const TickOrder order =
      stretch_ticks_ != nullptr ? TickOrder::kCasterFirst : tick_order_.Decide(sides);
  const TickReading reading = ReadTickSides(sides, order, texts_.character_name, spelled_);
  record.Dealer = reading.dealer;
  record.Taker = Party(record.Taker);
  record.Name = reading.name;
  const bool kept = Keep(record);
  if (!kept) line.failed = true;
  if (stretch_ticks_ != nullptr)
    stretch_ticks_->Open(kept ? table_.size() - 1 : StretchTicks::kNoRecord, sides);
}

void LineClassifier::DirectHit(Line& line, int amount_phrase) {
  // The dealer before the verb, the taker between the verb and " for ", the
  // amount between " for " and the amount phrase's " point(s) ".
  const std::string_view text = line.text;
  const VerbMatch& verb = Verb(line);
  if (!verb.found()) {  // no dealer or taker to be had
    if (!extended_) ++signs_.extended_lines;
    return;
  }
  const auto date = Date(line);
  auto dealer = Cut(text, kMessageStart, static_cast<int64_t>(verb.at));
  if (dealer && IsYou(*dealer)) dealer = texts_.character_name;
  const LiteralPlace for_place = line.Locate(" for ");
  auto taker = Cut(text, VerbEnd(verb), for_place.begin);
  if (taker) taker = TrimBlanks(*taker);
  if (taker && IsYou(*taker)) taker = texts_.character_name;
  // "a gnoll was hit by non-melee for 12 points of damage." is the
  // character's under the extended rules.
  if (!extended_ && taker && taker->starts_with("by non-melee")) ++signs_.extended_lines;
  // Without an amount phrase: type 0 and no amount.
  int32_t type = kUnreadAmount;
  int32_t amount = 0;
  bool amount_read = true;
  if (amount_phrase >= 0) {
    type = kAmountTypes[amount_phrase];
    amount_read =
        ReadAmountOf(Cut(text, for_place.end, line.Before(kAmountEnds[amount_phrase])), amount);
  }
  if (!date || !dealer || !taker || !amount_read ||
      !KeepOrMerge({*date, *dealer, *taker, amount, 0, type, verb.verb, line.index})) {
    line.failed = true;
    return;
  }
  if (IsCharacter(*dealer)) RegisterMob(last_.Taker);
}

void LineClassifier::SpecialNames(Line& line) {
  const std::string_view text = line.text;
  bool mana = false;
  bool storm = false;
  for (size_t at = line.Find(kEnergy); at != kNone; at = FindText(text, kEnergy, at + 1)) {
    const size_t after = at + kEnergy.size();
    mana = mana || (EndsAt(text, at, "is enveloped in ethereal ") && StartsAt(text, after, "."));
    storm = storm || (EndsAt(text, at, "quivers as a bolt of ") &&
                      StartsAt(text, after, " surges through them."));
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
    } else if (!has_last_ && questions_ != nullptr) {
      questions_->push_back({false, {}, *date, name});
    }
  }
}

// ---- Shapes only the extended rules read ----

bool LineClassifier::LifeLines(Line& line, std::string_view tags) {
  if (line.length < kMessageStart || Chatter(line)) return false;
  const LifeLine life = ReadLifeLine(line.text.substr(kMessageStart), tags);
  if (life.kind == LifeLine::kNothing) return false;
  const bool heal = life.kind == LifeLine::kHeal;
  const auto date = Date(line);
  if (!date) return heal;
  const std::string_view name = life.name.empty() ? life.name : Party(life.name);
  switch (life.kind) {
    case LifeLine::kHeal: {
      std::string_view target = Party(life.other);
      if (!name.empty() && (target == "himself" || target == "herself" || target == "itself"))
        target = name;
      HealRecord record{*date,      name, target,    life.amount, life.full_amount,
                        life.spell, 0,    line.index};
      const bool noted = !name.empty() && crit_notes_.Claim(name, life.amount, line.index, true);
      record.Crit = noted || critical_tag_ ? 1 : 0;
      table_.AppendHeal(record);
      break;
    }
    case LifeLine::kDeath:
      table_.AppendDeath(
          {*date, name, life.other.empty() ? life.other : Party(life.other), line.index});
      break;
    case LifeLine::kCritNote:
    case LifeLine::kHealCritNote:
      crit_notes_.Add(
          {std::string(name), life.amount, line.index, life.kind == LifeLine::kHealCritNote});
      break;
    case LifeLine::kNothing:
      break;
  }
  return heal;
}

void LineClassifier::CharacterTick(Line& line) {
  // The amount after "You have taken", the spell between "damage from " and
  // " by ", the dealer after " by " less the full stop. Without a dealer there
  // is no record.
  const std::string_view text = line.text;
  const LiteralPlace from = line.Locate(" damage from ");
  if (from.begin < 0) return;
  const LiteralPlace by = Locate(text, " by ", static_cast<size_t>(from.end));
  if (by.begin < 0) return;
  int32_t amount = 0;
  const bool amount_read = ReadAmountOf(
      Cut(text, kMessageStart + static_cast<int64_t>(kCharacterTick.size()), from.begin), amount);
  const auto name = Cut(text, from.end, by.begin);
  auto dealer = Cut(text, by.end, line.length - (text.ends_with('.') ? 1 : 0));
  if (dealer) dealer = TrimBlanks(*dealer);
  if (dealer && dealer->empty()) return;  // "by ." names no dealer either
  const auto date = Date(line);
  if (!amount_read || !name || !dealer || !date ||
      !Keep({*date, Party(*dealer), texts_.character_name, amount, 0, kDamageOverTime,
             TrimBlanks(*name), line.index}))
    line.failed = true;
}

bool LineClassifier::ExtendedDamage(Line& line) {
  return HitByNonMelee(line) || SchoolHit(line) || DamageShield(line);
}

bool LineClassifier::HitByNonMelee(Line& line) {
  // Read as "You hit a gnoll for 12 points of non-melee damage." would be.
  const std::string_view text = line.text;
  constexpr std::string_view kWas = " was ";
  constexpr std::string_view kHit = "hit";
  const LiteralPlace hit_by = line.Locate(" was hit by non-melee for ");
  if (hit_by.begin < 0) return false;
  const bool one = ContainsText(text, " point of damage");
  if (!one && !ContainsText(text, " points of damage")) return false;
  const auto taker = Cut(text, kMessageStart, hit_by.begin);
  int32_t amount = 0;
  const bool amount_read = ReadAmountOf(
      Cut(text, hit_by.end, (one ? line.Before(" point ") : line.Before(" points "))), amount);
  const std::string_view verb =
      text.substr(static_cast<size_t>(hit_by.begin) + kWas.size(), kHit.size());
  const auto date = Date(line);
  if (!taker || !amount_read || !date ||
      !KeepOrMerge({*date, texts_.character_name, Party(TrimBlanks(*taker)), amount, 0, kNonMelee,
                    verb, line.index})) {
    line.failed = true;
    return true;
  }
  RegisterMob(last_.Taker);
  return true;
}

bool LineClassifier::SchoolHit(Line& line) {
  // Dealer " hit " taker " for " amount " point(s) of " school " damage by " spell ".":
  // the spell names a non-melee record that no cast merges into.
  const std::string_view text = line.text;
  const LiteralPlace hit = line.Locate(" hit ");
  if (hit.begin < kMessageStart) return false;
  const LiteralPlace for_place = Locate(text, " for ", static_cast<size_t>(hit.end));
  if (for_place.begin < 0) return false;
  const auto after_for = static_cast<size_t>(for_place.end);
  const LiteralPlace by = Locate(text, " damage by ", after_for);
  if (by.begin < 0) return false;
  LiteralPlace of = Locate(text, " points of ", after_for);
  if (of.begin < 0 || of.begin > by.begin) of = Locate(text, " point of ", after_for);
  if (of.begin < 0 || of.begin > by.begin) return false;

  auto dealer = Cut(text, kMessageStart, hit.begin);
  if (dealer && IsYou(*dealer)) dealer = texts_.character_name;
  auto taker = Cut(text, hit.end, for_place.begin);
  if (taker) taker = TrimBlanks(*taker);
  if (taker && (IsYou(*taker) || *taker == "yourself")) taker = texts_.character_name;
  int32_t amount = 0;
  const bool amount_read = ReadAmountOf(Cut(text, for_place.end, of.begin), amount);
  const auto spell = Cut(text, by.end, line.length - (text.ends_with('.') ? 1 : 0));
  const auto date = Date(line);
  if (!dealer || !taker || !amount_read || !spell || !date ||
      !Keep({*date, *dealer, *taker, amount, 0, kNonMelee, TrimBlanks(*spell), line.index})) {
    line.failed = true;
    return true;
  }
  if (IsCharacter(*dealer)) RegisterMob(last_.Taker);
  return true;
}

bool LineClassifier::DamageShield(Line& line) {
  // "A gnoll is burned by YOUR flames for 5 points of non-melee damage.",
  // "A gnoll is pierced by Ann's thorns for ...", "YOU are pierced by a gnoll's
  // thorns for 3 points of non-melee damage!": the shield's owner deals.
  const std::string_view text = line.text;
  if (!ContainsText(text, "of non-melee damage")) return false;
  constexpr std::string_view kYouAre = "YOU are ";
  const bool on_you = StartsAt(text, kMessageStart, kYouAre);
  const int64_t verb_begin =
      on_you ? kMessageStart + static_cast<int64_t>(kYouAre.size()) : line.After(" is ");
  if (!on_you && line.Before(" is ") < kMessageStart) return false;
  // One word, then " by ".
  constexpr std::string_view kBy = " by ";
  const size_t blank = text.find(' ', static_cast<size_t>(verb_begin));
  if (blank == kNone || blank == static_cast<size_t>(verb_begin) || !StartsAt(text, blank, kBy))
    return false;
  const size_t owner_at = blank + kBy.size();
  const LiteralPlace for_place = Locate(text, " for ", owner_at);
  if (for_place.begin < 0) return false;
  std::optional<std::string_view> dealer;
  if (!on_you && StartsAt(text, owner_at, "YOUR ")) {
    dealer = texts_.character_name;
  } else {
    const size_t possessive = FindText(text, "'s ", owner_at);
    if (possessive == kNone || possessive > static_cast<size_t>(for_place.begin)) return false;
    dealer = Cut(text, static_cast<int64_t>(owner_at), static_cast<int64_t>(possessive));
    if (dealer) dealer = Party(*dealer);
  }
  const bool one = ContainsText(text, " point of non-melee damage");
  if (!one && !ContainsText(text, " points of non-melee damage")) return false;
  auto taker = on_you ? std::optional<std::string_view>(texts_.character_name)
                      : Cut(text, kMessageStart, line.Before(" is "));
  if (taker) taker = Party(TrimBlanks(*taker));
  int32_t amount = 0;
  const bool amount_read = ReadAmountOf(
      Cut(text, for_place.end, (one ? line.Before(" point ") : line.Before(" points "))), amount);
  const auto date = Date(line);
  if (!dealer || !taker || !amount_read || !date ||
      !Keep({*date, *dealer, *taker, amount, 0, kNonMelee, texts_.damage_shield, line.index})) {
    line.failed = true;
    return true;
  }
  if (IsCharacter(*dealer)) RegisterMob(last_.Taker);
  return true;
}

}  // namespace ombrel
