#include "parse/ReferenceParse.h"

#include "parse/LifeLines.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <tuple>

namespace ombrel::testing {
namespace {

using std::string_view;

// The reference reads stamps, amounts and "you" with its own code, written
// for plainness, so that a fault in the parser's readers is not on both sides.

// "[Mon Jan 02 15:04:05 2006]": month in characters 5-7 (0-based), then day,
// hour, minute and second as two digits or a blank and a digit, then a
// four-digit year.
std::optional<DateTime> StampTime(string_view line) {
  if (line.size() < 25) return std::nullopt;
  const string_view months = "JanFebMarAprMayJunJulAugSepOctNovDec";
  const size_t month_at = months.find(line.substr(5, 3));
  if (month_at == string_view::npos || month_at % 3 != 0) return std::nullopt;
  auto two = [&](size_t at) {
    const std::string field(line.substr(at, 2));
    const string_view digits = "0123456789";
    if (digits.find(field[1]) == string_view::npos) return -1;
    if (field[0] == ' ') return std::stoi(field.substr(1));
    if (digits.find(field[0]) == string_view::npos) return -1;
    return std::stoi(field);
  };
  const std::string year(line.substr(21, 4));
  if (year.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  CivilTime t;
  t.year = std::stoi(year);
  t.month = static_cast<int>(month_at / 3) + 1;
  t.day = two(9);
  t.hour = two(12);
  t.minute = two(15);
  t.second = two(18);
  if (t.day < 0 || t.hour < 0 || t.minute < 0 || t.second < 0) return std::nullopt;
  return DateTime::FromCivil(t);
}

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Blanks, an optional sign, digits, blanks; the value within 32 bits.
std::optional<int32_t> Amount(const std::string& text) {
  std::string digits = Trim(text);
  bool negative = false;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
    negative = digits[0] == '-';
    digits.erase(0, 1);
  }
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
  if (digits.size() > 10) return std::nullopt;
  const long long value = digits.empty() ? 0 : std::stoll(digits) * (negative ? -1 : 1);
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

bool IsYouWord(string_view text) {
  for (const string_view you : {"you", "You", "yOu", "yoU", "YOu", "YoU", "yOU", "YOU"})
    if (text == you) return true;
  return false;
}

class Reference {
 public:
  Reference(string_view name, AttackVerbList verbs, bool extended)
      : name_(name), verbs_(verbs), extended_(extended) {}

  void Line(string_view line, int64_t i) {
    // No line of the game's is longer than a megabyte.
    if (line.size() > (size_t{1} << 20)) {
      ++unreadable_;
      return;
    }
    // Extended rules: tags such as " (Critical)", one or several, after the
    // final full stop or exclamation mark go first.
    string_view untagged = line;
    while (extended_ && !untagged.empty() && untagged.back() == ')') {
      const size_t open = untagged.rfind(" (");
      if (open == string_view::npos || open == 0) break;
      const string_view tag = untagged.substr(open + 2, untagged.size() - open - 3);
      if (tag.find('(') != string_view::npos || tag.find(')') != string_view::npos) break;
      untagged = untagged.substr(0, open);
    }
    const string_view whole = line;
    if (untagged.ends_with('.') || untagged.ends_with('!')) line = untagged;
    critical_ = extended_ && whole.substr(line.size()).find("Critical") != string_view::npos;
    line_ = line;
    bad_ = false;
    const int64_t L = static_cast<int64_t>(line.size());
    const auto date = StampTime(line);
    const bool chatter =
        Has(" tell ") || Has(" tells ") || Has(" -> ") || Has(" <- ") || Has("to your guild");
    if (Has("begins to cast a spell. ")) {
      const auto dealer = S(28, P(" begins") - 1);
      const auto spell = S(P("<") + 1, L - 1);
      if (dealer && spell && date)
        Append({*date, *dealer, "", 0, 0, 4, *spell, i});
      else
        bad_ = true;
    }
    if (Has("begin casting")) {
      const auto spell = S(P("casting") + 8, L - 1);
      if (spell && date)
        Append({*date, std::string(name_), "", 0, 0, 4, Trim(*spell), i});
      else
        bad_ = true;
    }
    if (!chatter && Has("tries to")) {
      // The marker, where the taker ends, the type; the last four are the
      // extended rules' "A gnoll tries to bite YOU, but YOU parry!" and the others.
      const std::tuple<const char*, const char*, int> markers[9] = {
          {" but misses!", ", but misses!", 5},
          {" parries!", ", but ", 6},
          {" dodges!", ", but ", 7},
          {" ripostes!", ", but ", 8},
          {" blocks!", ", but ", 9},
          {", but YOU parry!", ", but ", 6},
          {", but YOU dodge!", ", but ", 7},
          {", but YOU riposte!", ", but ", 8},
          {", but YOU block!", ", but ", 9}};
      for (int k = 0; k < (extended_ ? 9 : 5); ++k) {
        const auto [marker, taker_end, type] = markers[k];
        if (!Has(marker)) continue;
        const auto [verb, v] = VerbScan();
        const auto dealer = S(28, P(" tries") - 1);
        const auto taker = S(TakerStart(verb, v, P("tries to") + 8), P(taker_end) - 1);
        if (dealer && taker && date)
          Append({*date, *dealer, AvoidanceTaker(*taker), 0, 0, type, verb, i});
        else
          bad_ = true;
      }
    }
    // Extended rules: heals are never damage; an announced critical hit
    // waits for its hit. The shapes are read by the parser's own reader.
    bool heal = false;
    line_index_ = i;
    if (extended_ && !chatter && line.size() >= 27) {
      const LifeLine life = ReadLifeLine(line.substr(27), whole.substr(line.size()));
      heal = life.kind == LifeLine::kHeal;
      if (life.kind == LifeLine::kCritNote && date)
        notes_.push_back({YouParty(std::string(life.name)), life.amount, i});
    }
    if (extended_ && !chatter && S(28, 38) == "You try to ") OwnTry(date, i);
    if (extended_ && Has("damage") && !chatter && S(28, 42) == "You have taken ")
      CharacterTick(date, i);
    if (Has("damage") && !chatter && !heal && !Has("You have taken") && !Has("You have healed") &&
        !Has("has healed you for") && !(extended_ && ExtendedDamage(date, i))) {
      const auto taker = S(28, P("has taken") - 1);
      const auto amount_text = S(P("has taken") + 10, P(" damage") - 1);
      const auto amount = amount_text ? Amount(*amount_text) : std::nullopt;
      if (Has("damage from your")) {
        const auto spell = S(P("damage from your") + 17, L);
        if (spell && taker && amount && date) {
          Append(
              {*date, std::string(name_), YouParty(Trim(*taker)), *amount, 0, 3, Trim(*spell), i});
          RegisterMob(YouParty(Trim(*taker)));
        } else {
          bad_ = true;
        }
      }
      if (Has(" by ") && Has("damage from")) {
        const auto dealer = S(P("damage from") + 11, P(" by ") - 1);
        const auto spell = S(P(" by ") + 4, L);
        if (!dealer || !spell || !taker || !amount || !date)
          bad_ = true;
        else if (!extended_)
          Append({*date, Trim(*dealer), Trim(*taker), *amount, 0, 3, Trim(*spell), i});
        else
          TickByOther(Trim(*dealer), Trim(*spell), YouParty(Trim(*taker)), *amount, *date, i);
      }
      if (Has("of non-melee damage") || (Has("of damage") && !Has("healed you")))
        DirectDamage(date, i);
    }
    for (const auto& [literal, special] :
         {std::pair{"is enveloped in ethereal energy.", "Mana Resurgence Strike"},
          std::pair{"quivers as a bolt of energy surges through them.", "Storm Blade Strike"}}) {
      if (!Has(literal)) continue;
      if (!date)
        bad_ = true;
      else if (!records_.empty() && records_.back().Type == 2 && records_.back().Date == *date)
        records_.back().Name = special;
    }
    if (bad_) ++unreadable_;
  }

  ReferenceResult Finish(int64_t lines) {
    if (extended_) JoinSentenceCapitals();
    ReferenceResult result;
    result.records = std::move(records_);
    result.mobs = std::move(mobs_);
    result.lines = lines;
    result.unreadable_lines = unreadable_;
    return result;
  }

 private:
  std::string AvoidanceTaker(const std::string& taker) const {
    return extended_ && IsYouWord(taker) ? std::string(name_) : taker;
  }

  // Extended rules: "you" in any case, "yourself" and the name in either
  // spelling of its first letter are the character, who is never a mob.
  bool IsCharacter(const std::string& name) const {
    if (!extended_) return name == name_;
    return SameParty(name, std::string(name_)) || IsYouWord(name) || name == "yourself";
  }
  std::string YouParty(const std::string& name) const {
    return extended_ && (IsYouWord(name) || name == "yourself") ? std::string(name_) : name;
  }
  void RegisterMob(const std::string& name) {
    if (!extended_ || !IsCharacter(name)) Register(name);
  }

  // Where the taker starts after the attack verb found at `v`; without one,
  // after the first blank at or after the 0-based index `from`.
  int64_t TakerStart(const std::string& verb, int64_t v, int64_t from) const {
    if (v > 0) return v + static_cast<int64_t>(verb.size()) + 2;
    const size_t blank = line_.find(' ', static_cast<size_t>(from));
    return blank == string_view::npos ? static_cast<int64_t>(line_.size()) + 1
                                      : static_cast<int64_t>(blank) + 2;
  }

  // "You try to slash a gnoll, but miss!" / "..., but a gnoll parries!" (dodges, ripostes, blocks).
  void OwnTry(const std::optional<DateTime>& date, int64_t i) {
    int type = 0;
    if (line_.ends_with(", but miss!")) type = 5;
    const char* ends[4] = {" parries!", " dodges!", " ripostes!", " blocks!"};
    for (int k = 0; k < 4; ++k)
      if (type == 0 && line_.ends_with(ends[k])) type = 6 + k;
    if (type == 0) return;
    const auto [verb, v] = VerbScan();
    const auto taker = S(TakerStart(verb, v, 38), P(", but ") - 1);
    if (taker && date)
      Append({*date, std::string(name_), *taker, 0, 0, type, verb, i});
    else
      bad_ = true;
  }

  // Extended rules: "<taker> has taken N damage from A by B." names the caster as A
  // (older logs) or B (newer ones). B a corpse: B's owner. A side that is the
  // character, "you" or a party of an earlier record of another kind: the caster.
  // A side shaped like a spell (a Roman numeral or a rank last): the spell. Else
  // the order last decided so, else the newer order from 2018 on. The record as
  // an older-order line gives it under the default rules.
  void TickByOther(const std::string& a, const std::string& rest, const std::string& taker,
                   int32_t amount, DateTime date, int64_t i) {
    std::string b = rest;
    if (!b.empty() && b.back() == '.') b = Trim(b.substr(0, b.size() - 1));
    const std::string corpse = "'s corpse";
    const bool of_corpse = b.ends_with(corpse);
    const std::string owner = of_corpse ? Trim(b.substr(0, b.size() - corpse.size())) : b;
    if (a.empty() || owner.empty()) return;
    auto caster = [&](const std::string& side) {
      if (IsYouWord(side) || SameParty(side, std::string(name_))) return true;
      return known_.contains(FoldedName(side));
    };
    auto spell = [](const std::string& side) {
      const size_t blank = side.rfind(' ');
      std::string word = blank == std::string::npos ? side : side.substr(blank + 1);
      if (word.starts_with("Rk.")) word = word.substr(3);
      return !word.empty() && word.find_first_not_of("IVXLCDM") == std::string::npos;
    };
    int order = 0;  // 1: A the caster, 2: B the caster
    if (of_corpse)
      order = 2;
    else if (caster(a) != caster(b))
      order = caster(a) ? 1 : 2;
    else if (spell(a) != spell(b))
      order = spell(a) ? 2 : 1;
    if (order != 0)
      last_order_ = order;
    else if (last_order_ != 0)
      order = last_order_;
    else
      order = date.ToCivil().year >= 2018 ? 2 : 1;
    auto you = [&](const std::string& side) { return IsYouWord(side) ? std::string(name_) : side; };
    if (order == 1)
      Append({date, you(a), taker, amount, 0, 3, rest, i});
    else
      Append({date, you(owner), taker, amount, 0, 3, a + (rest.ends_with('.') ? "." : ""), i});
  }

  // "You have taken 20 damage from Poison Sting by a gnoll." (no dealer, no record).
  void CharacterTick(const std::optional<DateTime>& date, int64_t i) {
    const int64_t L = static_cast<int64_t>(line_.size());
    const int64_t f = P(" damage from ");
    if (f == 0) return;
    const int64_t b = From(" by ", f + 13);
    if (b == 0) return;
    const auto amount_text = S(43, f - 1);
    const auto amount = amount_text ? Amount(*amount_text) : std::nullopt;
    const auto spell = S(f + 13, b - 1);
    const auto dealer = S(b + 4, line_.ends_with('.') ? L - 1 : L);
    if (dealer && Trim(*dealer).empty()) return;
    if (amount && spell && dealer && date)
      Append({*date, YouParty(Trim(*dealer)), std::string(name_), *amount, 0, 3, Trim(*spell), i});
    else
      bad_ = true;
  }

  // The damage shapes of the extended rules; true when one of them took the line.
  bool ExtendedDamage(const std::optional<DateTime>& date, int64_t i) {
    const int64_t L = static_cast<int64_t>(line_.size());
    const int64_t dot = line_.ends_with('.') ? 1 : 0;
    // "a gnoll was hit by non-melee for 12 points of damage.": the character's non-melee hit.
    const int64_t w = P(" was hit by non-melee for ");
    if (w > 0 && (Has(" point of damage") || Has(" points of damage"))) {
      const auto taker = S(28, w - 1);
      const auto text = S(w + 26, P(Has(" point of damage") ? " point " : " points ") - 1);
      const auto amount = text ? Amount(*text) : std::nullopt;
      if (!taker || !amount || !date) {
        bad_ = true;
        return true;
      }
      const std::string mob = YouParty(Trim(*taker));
      ReferenceRecord r{*date, std::string(name_), mob, *amount, 0, 2, "hit", i};
      AppendOrMerge(r);
      RegisterMob(mob);
      return true;
    }
    // "Ann hit a gnoll for 310 points of fire damage by Ember Dart."
    const int64_t h = P(" hit ");
    const int64_t fo = h >= 28 ? From(" for ", h + 5) : 0;
    const int64_t db = fo > 0 ? From(" damage by ", fo + 5) : 0;
    int64_t pt = db > 0 ? From(" points of ", fo + 5) : 0;
    if (pt == 0 || pt > db) pt = db > 0 ? From(" point of ", fo + 5) : 0;
    if (pt > 0 && pt <= db) {
      const auto dealer_cut = S(28, h - 1);
      const auto taker_cut = S(h + 5, fo - 1);
      const auto text = S(fo + 5, pt - 1);
      const auto amount = text ? Amount(*text) : std::nullopt;
      const auto spell = S(db + 11, L - dot);
      if (!dealer_cut || !taker_cut || !amount || !spell || !date) {
        bad_ = true;
        return true;
      }
      const std::string dealer = IsYouWord(*dealer_cut) ? std::string(name_) : *dealer_cut;
      std::string taker = Trim(*taker_cut);
      if (IsYouWord(taker) || taker == "yourself") taker = std::string(name_);
      Append({*date, dealer, taker, *amount, 0, 2, Trim(*spell), i});
      if (IsCharacter(dealer)) RegisterMob(taker);
      return true;
    }
    // Damage shields: "A gnoll is burned by YOUR flames for 5 points of non-melee damage.",
    // "... by Ann's thorns ...", "YOU are pierced by a gnoll's thorns ... damage!".
    if (!Has("of non-melee damage")) return false;
    const bool on_you = S(28, 35) == "YOU are ";
    if (!on_you && P(" is ") < 28) return false;
    const int64_t verb_at = on_you ? 36 : P(" is ") + 4;
    const int64_t blank = From(" ", verb_at);
    if (blank == 0 || blank == verb_at || S(blank, blank + 3) != " by ") return false;
    const int64_t owner_at = blank + 4;
    const int64_t f = From(" for ", owner_at);
    if (f == 0) return false;
    std::optional<std::string> dealer;
    if (!on_you && S(owner_at, owner_at + 4) == "YOUR ") {
      dealer = std::string(name_);
    } else {
      const int64_t possessive = From("'s ", owner_at);
      if (possessive == 0 || possessive > f) return false;
      dealer = S(owner_at, possessive - 1);
      if (dealer) dealer = YouParty(*dealer);
    }
    const bool one = Has(" point of non-melee damage");
    if (!one && !Has(" points of non-melee damage")) return false;
    const auto taker_cut =
        on_you ? std::optional<std::string>(std::string(name_)) : S(28, P(" is ") - 1);
    const auto text = S(f + 5, P(one ? " point " : " points ") - 1);
    const auto amount = text ? Amount(*text) : std::nullopt;
    if (!dealer || !taker_cut || !amount || !date) {
      bad_ = true;
      return true;
    }
    const std::string taker = YouParty(Trim(*taker_cut));
    Append({*date, *dealer, taker, *amount, 0, 2, "damage shield", i});
    if (IsCharacter(*dealer)) RegisterMob(taker);
    return true;
  }

  // Names that differ only in the case of their first letter are one party,
  // shown as first seen (the character's name as typed); a pet takes the
  // spelling that agrees with its owner's first letter where the log has it.
  static char Folded(char c) {
    const string_view upper =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
        "\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDA\xDB\xDC\xDD\xDE\x8A\x8C\x8E\x9F";
    const string_view lower =
        "abcdefghijklmnopqrstuvwxyz\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
        "\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF8\xF9\xFA\xFB\xFC\xFD\xFE\x9A\x9C\x9E\xFF";
    const size_t at = upper.find(c);
    return at == string_view::npos ? c : lower[at];
  }
  static std::string FoldedName(std::string name) {
    if (!name.empty()) name[0] = Folded(name[0]);
    return name;
  }
  static bool SameParty(const std::string& a, const std::string& b) {
    return a.size() == b.size() && !a.empty() && Folded(a[0]) == Folded(b[0]) &&
           a.substr(1) == b.substr(1);
  }
  struct Party {
    std::vector<std::string> spellings;
    std::string shown;
  };
  Party* Find(std::vector<Party>& parties, const std::string& name) const {
    for (Party& p : parties)
      if (SameParty(p.spellings.front(), name)) return &p;
    return nullptr;
  }
  void JoinSentenceCapitals() {
    std::vector<Party> parties;
    for (const ReferenceRecord& r : records_) {
      for (const std::string& name : {r.Dealer, r.Taker}) {
        if (name.empty()) continue;
        Party* p = Find(parties, name);
        if (p == nullptr) {
          parties.push_back({{name}, name});
          p = &parties.back();
        } else if (std::find(p->spellings.begin(), p->spellings.end(), name) ==
                   p->spellings.end()) {
          p->spellings.push_back(name);
        }
        if (SameParty(name, std::string(name_))) p->shown = name_;
      }
    }
    // A pet takes its owner's first letter, shorter names (owners) first.
    std::vector<Party*> by_length;
    for (Party& p : parties) by_length.push_back(&p);
    std::stable_sort(by_length.begin(), by_length.end(), [](const Party* a, const Party* b) {
      return a->shown.size() < b->shown.size();
    });
    for (Party* p : by_length) {
      for (const std::string suffix : {"`s pet", "`s warder"}) {
        if (p->shown.size() <= suffix.size() || !p->shown.ends_with(suffix)) continue;
        const Party* owner = Find(parties, p->shown.substr(0, p->shown.size() - suffix.size()));
        if (owner != nullptr) p->shown[0] = owner->shown[0];
      }
    }
    auto shown = [&](const std::string& name) {
      const Party* p = name.empty() ? nullptr : Find(parties, name);
      return p == nullptr ? name : p->shown;
    };
    for (ReferenceRecord& r : records_) {
      r.Dealer = shown(r.Dealer);
      r.Taker = shown(r.Taker);
    }
    std::vector<std::string> mobs;
    for (const std::string& mob : mobs_)
      if (std::find(mobs.begin(), mobs.end(), shown(mob)) == mobs.end()) mobs.push_back(shown(mob));
    mobs_ = std::move(mobs);
  }

  // A critical hit: by its line's tag, or announced on one of the few lines
  // before (every announcement it answers is spent).
  void MarkCrit(ReferenceRecord& r) {
    if (!extended_ || r.Type < 1 || r.Type > 3) return;
    bool noted = false;
    for (auto note = notes_.begin(); note != notes_.end();) {
      const bool answered = note->line < line_index_ && note->line + 4 >= line_index_ &&
                            note->amount == r.Damage && SameParty(note->name, r.Dealer);
      noted = noted || answered;
      note = answered ? notes_.erase(note) : note + 1;
    }
    if (noted || critical_) r.Crit = 1;
  }

  void AppendOrMerge(ReferenceRecord r) {
    MarkCrit(r);
    if (!records_.empty() && records_.back().Type == 4 && records_.back().Dealer == r.Dealer) {
      ReferenceRecord& cast = records_.back();
      cast.Taker = r.Taker;
      cast.Damage = r.Damage;
      cast.Crit = r.Crit;
      cast.Type = r.Type;
      if (extended_) known_.insert(FoldedName(r.Taker));
    } else {
      Append(r);
    }
  }

  // The 1-based position of `x` at or after position `from`, 0 when absent.
  int64_t From(string_view x, int64_t from) const {
    const size_t at = line_.find(x, static_cast<size_t>(from - 1));
    return at == string_view::npos ? 0 : static_cast<int64_t>(at) + 1;
  }

  void DirectDamage(const std::optional<DateTime>& date, int64_t i) {
    const auto [verb, v] = VerbScan();
    if (v == 0) return;
    const auto dealer_cut = S(28, v - 1);
    const int64_t f = P(" for ");
    const auto taker_cut = S(v + static_cast<int64_t>(verb.size()) + 1, f - 1);
    const int64_t a = f + 5;
    std::optional<int32_t> damage = 0;
    int32_t type = 0;
    const std::pair<const char*, const char*> tests[4] = {
        {" point of damage", " point "},
        {" points of damage", " points "},
        {" point of non-melee damage", " point "},
        {" points of non-melee damage", " points "}};
    for (int k = 0; k < 4; ++k) {
      if (!Has(tests[k].first)) continue;
      const auto text = S(a, P(tests[k].second) - 1);
      damage = text ? Amount(*text) : std::nullopt;
      type = k < 2 ? 1 : 2;
    }
    if (!date || !dealer_cut || !taker_cut || !damage) {
      bad_ = true;
      return;
    }
    std::string dealer = IsYouWord(*dealer_cut) ? std::string(name_) : *dealer_cut;
    std::string taker = Trim(*taker_cut);
    if (IsYouWord(taker)) taker = std::string(name_);
    if (IsCharacter(dealer)) RegisterMob(taker);
    const ReferenceRecord r{*date, dealer, taker, *damage, 0, type, verb, i};
    if (type == 2)
      AppendOrMerge(r);  // a non-melee hit completes the caster's cast before it
    else
      Append(r);
  }

  std::pair<std::string, int64_t> VerbScan() const {
    for (const string_view verb : verbs_) {
      const size_t at = line_.find(" " + std::string(verb) + " ");
      if (at != string_view::npos) return {std::string(verb), static_cast<int64_t>(at) + 1};
    }
    return {"", 0};
  }

  void Register(const std::string& mob) {
    if (mob != last_mob_) {
      if (std::find(mobs_.begin(), mobs_.end(), mob) == mobs_.end()) {
        if (mobs_.front().empty())
          mobs_.front() = mob;
        else
          mobs_.push_back(mob);
      }
    }
    last_mob_ = mob;
  }

  void Append(ReferenceRecord r) {
    MarkCrit(r);
    // Extended rules: the parties of every record but damage over time.
    if (extended_ && r.Type != 3) {
      known_.insert(FoldedName(r.Dealer));
      known_.insert(FoldedName(r.Taker));
    }
    records_.push_back(std::move(r));
  }

  int64_t P(string_view x) const {
    const size_t at = line_.find(x);
    return at == string_view::npos ? 0 : static_cast<int64_t>(at) + 1;
  }
  bool Has(string_view x) const { return P(x) > 0; }

  // S[a..b], 1-based, stopping at the line's end; nothing when b < a - 1.
  std::optional<std::string> S(int64_t a, int64_t b) const {
    if (b < a - 1) return std::nullopt;
    std::string out;
    for (int64_t k = a; k <= b && k <= static_cast<int64_t>(line_.size()); ++k)
      if (k >= 1) out.push_back(line_[static_cast<size_t>(k - 1)]);
    return out;
  }

  string_view name_;
  AttackVerbList verbs_;
  bool extended_;
  string_view line_;
  bool bad_ = false;
  std::vector<ReferenceRecord> records_;
  std::vector<std::string> mobs_{std::string()};
  std::string last_mob_;
  std::set<std::string> known_;  // as FoldedName writes them
  int last_order_ = 0;
  int64_t unreadable_ = 0;
  struct Note {
    std::string name;
    int32_t amount;
    int64_t line;
  };
  std::vector<Note> notes_;
  bool critical_ = false;
  int64_t line_index_ = 0;
};

}  // namespace

ReferenceResult ReferenceParse(string_view log, string_view character_name, AttackVerbList verbs,
                               LineRules rules) {
  Reference reference(character_name, verbs, rules == LineRules::kExtended);
  int64_t i = 0;
  if (!log.empty()) {
    // Lines end at CR LF; in a log without any CR LF but with LF, at LF.
    const string_view end_mark =
        log.find("\r\n") == string_view::npos && log.find('\n') != string_view::npos ? "\n"
                                                                                     : "\r\n";
    size_t start = 0;
    for (size_t end = log.find(end_mark); end != string_view::npos;
         end = log.find(end_mark, start)) {
      reference.Line(log.substr(start, end - start), i++);
      start = end + end_mark.size();
    }
    reference.Line(log.substr(start), i++);
  }
  return reference.Finish(i);
}

std::vector<ReferenceRecord> ToReference(const DamageTable& table) {
  std::vector<ReferenceRecord> out;
  out.reserve(table.size());
  for (size_t k = 0; k < table.size(); ++k) {
    const DamageRecord r = table[k];
    out.push_back({r.Date, std::string(r.Dealer), std::string(r.Taker), r.Damage, r.Crit, r.Type,
                   std::string(r.Name), r.Counter});
  }
  return out;
}

}  // namespace ombrel::testing
