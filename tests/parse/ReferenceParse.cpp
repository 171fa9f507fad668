#include "parse/ReferenceParse.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

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
  Reference(string_view name, const AttackVerbTable& verbs) : name_(name), verbs_(verbs) {}

  void Line(string_view line, int64_t i) {
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
      const char* markers[5] = {" but misses!", " parries!", " dodges!", " ripostes!", " blocks!"};
      for (int k = 0; k < 5; ++k) {
        if (!Has(markers[k])) continue;
        const auto [verb, v] = VerbScan();
        const auto dealer = S(28, P(" tries") - 1);
        int64_t start;
        if (v > 0) {
          start = v + static_cast<int64_t>(verb.size()) + 2;
        } else {
          const size_t word = static_cast<size_t>(P("tries to") + 8);  // 0-based
          const size_t blank = line.find(' ', word);
          start = (blank == string_view::npos ? L + 1 : static_cast<int64_t>(blank) + 1) + 1;
        }
        const int64_t e = k == 0 ? P(", but misses!") : P(", but ");
        const auto taker = S(start, e - 1);
        if (dealer && taker && date)
          Append({*date, *dealer, *taker, 0, 0, 5 + k, verb, i});
        else
          bad_ = true;
      }
    }
    if (Has("damage") && !chatter && !Has("You have taken") && !Has("You have healed") &&
        !Has("has healed you for")) {
      const auto taker = S(28, P("has taken") - 1);
      const auto amount_text = S(P("has taken") + 10, P(" damage") - 1);
      const auto amount = amount_text ? Amount(*amount_text) : std::nullopt;
      if (Has("damage from your")) {
        const auto spell = S(P("damage from your") + 17, L);
        if (spell && taker && amount && date) {
          Append({*date, std::string(name_), Trim(*taker), *amount, 0, 3, Trim(*spell), i});
          Register(Trim(*taker));
        } else {
          bad_ = true;
        }
      }
      if (Has(" by ") && Has("damage from")) {
        const auto dealer = S(P("damage from") + 11, P(" by ") - 1);
        const auto spell = S(P(" by ") + 4, L);
        if (dealer && spell && taker && amount && date)
          Append({*date, Trim(*dealer), Trim(*taker), *amount, 0, 3, Trim(*spell), i});
        else
          bad_ = true;
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
    ReferenceResult result;
    result.records = std::move(records_);
    result.mobs = std::move(mobs_);
    result.lines = lines;
    result.unreadable_lines = unreadable_;
    return result;
  }

 private:
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
    if (dealer == name_) Register(taker);
    ReferenceRecord r{*date, dealer, taker, *damage, 0, type, verb, i};
    if (!records_.empty() && type == 2 && records_.back().Type == 4 &&
        records_.back().Dealer == dealer) {
      ReferenceRecord& cast = records_.back();
      cast.Taker = r.Taker;
      cast.Damage = r.Damage;
      cast.Crit = r.Crit;
      cast.Type = r.Type;
    } else {
      Append(r);
    }
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

  void Append(ReferenceRecord r) { records_.push_back(std::move(r)); }

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
  const AttackVerbTable& verbs_;
  string_view line_;
  bool bad_ = false;
  std::vector<ReferenceRecord> records_;
  std::vector<std::string> mobs_{std::string()};
  std::string last_mob_;
  int64_t unreadable_ = 0;
};

}  // namespace

ReferenceResult ReferenceParse(string_view log, string_view character_name,
                               const AttackVerbTable& verbs) {
  Reference reference(character_name, verbs);
  int64_t i = 0;
  if (!log.empty()) {
    size_t start = 0;
    for (size_t end = log.find("\r\n"); end != string_view::npos; end = log.find("\r\n", start)) {
      reference.Line(log.substr(start, end - start), i++);
      start = end + 2;
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
