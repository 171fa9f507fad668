#include "parse/LifeLines.h"

#include <array>
#include <optional>

#include "parse/LineText.h"

namespace ombrel {
namespace {

constexpr size_t kNone = std::string_view::npos;

// The text between `begin` and `end`, or nothing when `end` comes first.
std::optional<std::string_view> Between(std::string_view text, size_t begin, size_t end) {
  if (end == kNone || begin > end || end > text.size()) return std::nullopt;
  return text.substr(begin, end - begin);
}

// A non-negative amount, as a damage amount is read.
std::optional<int32_t> HealAmount(std::string_view text) {
  const std::optional<int32_t> amount = ReadAmount(text);
  if (!amount || *amount < 0) return std::nullopt;
  return amount;
}

LifeLine Death(std::string_view victim, std::string_view killer) {
  LifeLine line;
  line.kind = LifeLine::kDeath;
  line.name = victim;
  line.other = killer;
  return line;
}

LifeLine Heal(std::string_view healer, std::string_view target, int32_t amount, int32_t full,
              std::string_view spell) {
  LifeLine line;
  line.kind = LifeLine::kHeal;
  line.name = healer;
  line.other = target;
  line.amount = amount;
  line.full_amount = full;
  line.spell = spell;
  return line;
}

LifeLine Deaths(std::string_view m) {
  constexpr std::string_view kYouSlew = "You have slain ";
  constexpr std::string_view kYouWereSlain = "You have been slain by ";
  constexpr std::string_view kSlainBy = " has been slain by ";
  constexpr std::string_view kDied = " died.";
  if (m.ends_with('!')) {
    const std::string_view body = m.substr(0, m.size() - 1);
    if (body.starts_with(kYouWereSlain) && body.size() > kYouWereSlain.size())
      return Death("You", body.substr(kYouWereSlain.size()));
    if (body.starts_with(kYouSlew) && body.size() > kYouSlew.size())
      return Death(body.substr(kYouSlew.size()), "You");
    const size_t by = body.find(kSlainBy);
    if (by != kNone && by > 0 && by + kSlainBy.size() < body.size())
      return Death(body.substr(0, by), body.substr(by + kSlainBy.size()));
    return {};
  }
  if (m == "You died.") return Death("You", {});
  if (m.ends_with(kDied) && m.size() > kDied.size() && m.find(' ') < m.size() - kDied.size() + 1)
    return Death(m.substr(0, m.size() - kDied.size()), {});
  return {};
}

// "<healer> healed <target> [over time ]for N[ (M)] hit points[ by <Spell>]."
// and "<target> has been healed [over time ]for N[ (M)] hit points by <Spell>.",
// maybe after another sentence ("You feel better. Ann healed you ...").
LifeLine HitPointHeal(std::string_view m) {
  constexpr std::string_view kHitPoints = " hit points";
  const size_t points = m.rfind(kHitPoints);
  if (points == kNone || !m.ends_with('.')) return {};
  const std::string_view after = m.substr(points + kHitPoints.size());
  std::string_view spell;
  if (after.starts_with(" by ")) {
    spell = after.substr(4, after.size() - 5);
  } else if (after != ".") {
    return {};
  }
  constexpr std::string_view kHealed = " healed ";
  size_t healed = m.find(kHealed);
  if (healed == kNone || healed > points) return {};
  // The acting sentence starts after the last ". " before it.
  const size_t sentence = m.rfind(". ", healed);
  const size_t start = sentence == kNone || sentence + 2 > healed ? 0 : sentence + 2;
  std::string_view healer = m.substr(start, healed - start);
  std::string_view target;
  size_t rest = healed + kHealed.size();
  constexpr std::string_view kHasBeen = " has been";
  if (healer.ends_with(kHasBeen)) {
    target = healer.substr(0, healer.size() - kHasBeen.size());
    healer = {};
  }
  // The amount after "for ", the full amount in parentheses.
  size_t for_at = m.find("for ", rest);
  if (for_at == kNone || for_at > points) return {};
  if (target.empty()) {
    const auto cut = Between(m, rest, for_at == rest ? rest : for_at - 1);
    if (!cut) return {};
    target = *cut;
    if (target.ends_with(" over time")) target.remove_suffix(10);
  } else if (m.substr(rest, for_at - rest) != "" && m.substr(rest, for_at - rest) != "over time ") {
    return {};
  }
  if (target.empty()) return {};
  std::string_view amounts = m.substr(for_at + 4, points - for_at - 4);
  std::optional<int32_t> full;
  const size_t open = amounts.find(" (");
  if (open != kNone && amounts.ends_with(')')) {
    full = HealAmount(amounts.substr(open + 2, amounts.size() - open - 3));
    if (!full) return {};
    amounts = amounts.substr(0, open);
  }
  const auto amount = HealAmount(amounts);
  if (!amount) return {};
  return Heal(healer, target, *amount, full.value_or(*amount), spell);
}

// The amount of an older heal's "for N points." ("point", "of damage"):
// the line without that ending, or nothing.
std::optional<std::string_view> WithoutPoints(std::string_view m) {
  for (const std::string_view end :
       {" points of damage.", " points.", " point of damage.", " point."})
    if (m.ends_with(end)) return m.substr(0, m.size() - end.size());
  return std::nullopt;
}

// The older and the emulated servers' heals.
LifeLine PointHeal(std::string_view m) {
  constexpr std::string_view kYouWereHealed = "You have been healed for ";
  constexpr std::string_view kYouHealed = "You have healed ";
  constexpr std::string_view kHealedYou = " has healed you for ";
  const std::optional<std::string_view> body = WithoutPoints(m);
  if (body && body->starts_with(kYouWereHealed)) {
    const auto amount = HealAmount(body->substr(kYouWereHealed.size()));
    if (!amount) return {};
    return Heal({}, "You", *amount, *amount, {});
  }
  if (body && body->starts_with(kYouHealed)) {
    const size_t for_at = body->rfind(" for ");
    if (for_at == kNone || for_at <= kYouHealed.size()) return {};
    const auto amount = HealAmount(body->substr(for_at + 5));
    if (!amount) return {};
    return Heal("You", body->substr(kYouHealed.size(), for_at - kYouHealed.size()), *amount,
                *amount, {});
  }
  const size_t healed_you = body ? body->find(kHealedYou) : kNone;
  if (healed_you != kNone && healed_you > 0) {
    const auto amount = HealAmount(body->substr(healed_you + kHealedYou.size()));
    if (!amount) return {};
    return Heal(body->substr(0, healed_you), "You", *amount, *amount, {});
  }
  // "Your Light healed Ann for 500 damage." and "You healed Ann for 500 damage."
  constexpr std::string_view kDamage = " damage.";
  if (!m.ends_with(kDamage) || !m.starts_with("You")) return {};
  const std::string_view text = m.substr(0, m.size() - kDamage.size());
  const size_t healed = text.find(" healed ");
  const size_t for_at = text.rfind(" for ");
  if (healed == kNone || for_at == kNone || for_at < healed + 8) return {};
  std::string_view spell;
  if (text.starts_with("Your ")) {
    spell = text.substr(5, healed - 5);
  } else if (healed != 3) {
    return {};
  }
  const auto amount = HealAmount(text.substr(for_at + 5));
  if (!amount || for_at == healed + 8) return {};
  return Heal("You", text.substr(healed + 8, for_at - healed - 8), *amount, *amount, spell);
}

// "(N)" after the note's "!", with or without a blank before it.
std::optional<int32_t> NoteAmount(std::string_view rest) {
  if (rest.starts_with(' ')) rest.remove_prefix(1);
  if (!rest.starts_with('(') || !rest.ends_with(')')) return std::nullopt;
  return HealAmount(rest.substr(1, rest.size() - 2));
}

LifeLine CritNotes(std::string_view line) {
  struct Note {
    std::string_view phrase;  // after the name and a blank
    bool heal;
  };
  constexpr std::array<Note, 8> kNotes = {{{"scores a critical hit!", false},
                                           {"lands a Crippling Blow!", false},
                                           {"scores a Deadly Strike!", false},
                                           {"delivers a critical blast!", false},
                                           {"deliver a critical blast!", false},
                                           {"performs an exceptional heal!", true},
                                           {"Scores a critical hit!", false},
                                           {"'s holy blade cleanses ", false}}};
  for (const Note& note : kNotes) {
    const size_t at = line.find(note.phrase);
    if (at == kNone) continue;
    LifeLine out;
    out.kind = note.heal ? LifeLine::kHealCritNote : LifeLine::kCritNote;
    std::string_view rest = line.substr(at + note.phrase.size());
    if (note.phrase.starts_with('\'')) {
      // "<name>'s holy blade cleanses his target!(N)"
      out.name = line.substr(0, at);
      bool target = false;
      for (const std::string_view whose : {"his target!", "her target!", "its target!"}) {
        if (rest.starts_with(whose)) {
          rest.remove_prefix(whose.size());
          target = true;
        }
      }
      if (!target) return {};
    } else if (note.phrase.starts_with('S')) {
      if (at != 0) return {};
      out.name = "You";
    } else {
      if (at < 2 || line[at - 1] != ' ') return {};
      out.name = line.substr(0, at - 1);
      if (note.phrase.starts_with("deliver ") && out.name != "You") return {};
    }
    const auto amount = NoteAmount(rest);
    if (!amount || out.name.empty()) return {};
    out.amount = *amount;
    return out;
  }
  return {};
}

}  // namespace

LifeLine ReadLifeLine(std::string_view message, std::string_view tags) {
  // A note's amount may look like a tag: read with the tags put back.
  const std::string_view whole(message.data(), message.size() + tags.size());
  if (const LifeLine note = CritNotes(whole); note.kind != LifeLine::kNothing) return note;
  if (const LifeLine death = Deaths(message); death.kind != LifeLine::kNothing) return death;
  if (message.find("heal") == kNone) return {};
  if (const LifeLine heal = HitPointHeal(message); heal.kind != LifeLine::kNothing) return heal;
  return PointHeal(message);
}

}  // namespace ombrel
