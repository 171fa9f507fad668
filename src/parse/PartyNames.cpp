#include "parse/PartyNames.h"

#include <algorithm>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace ombrel {
namespace {

// One party: its spellings in order of first appearance, and the one shown.
struct Party {
  std::vector<std::string_view> spellings;
  std::string_view character;  // the spelling typed as the character's name, if met
  std::string_view shown;
};

using PartyMap = std::unordered_map<std::string_view, Party, FoldedHash, FoldedEqual>;

// `character_name`: the typed name as the table holds it.
void Meet(PartyMap& parties, std::string_view name, std::string_view character_name) {
  if (name.empty()) return;
  Party& party = parties[name];  // the key is the first spelling met
  if (std::find(party.spellings.begin(), party.spellings.end(), name) == party.spellings.end())
    party.spellings.push_back(name);
  if (SameParty(name, character_name)) party.character = character_name;
}

}  // namespace

std::string_view OwnerOf(std::string_view name) {
  for (const std::string_view suffix : {std::string_view("`s pet"), std::string_view("`s warder")})
    if (name.size() > suffix.size() && name.ends_with(suffix))
      return name.substr(0, name.size() - suffix.size());
  return {};
}

bool SameParty(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a.empty()) return true;
  return FoldFirstLetter(static_cast<unsigned char>(a[0])) ==
             FoldFirstLetter(static_cast<unsigned char>(b[0])) &&
         a.substr(1) == b.substr(1);
}

size_t FoldedHash::operator()(std::string_view name) const {
  if (name.empty()) return 0;
  const size_t rest = std::hash<std::string_view>{}(name.substr(1));
  return rest ^
         (size_t{FoldFirstLetter(static_cast<unsigned char>(name[0]))} * 0x9E3779B97F4A7C15ull);
}

unsigned char FoldFirstLetter(unsigned char byte) {
  if (byte >= 'A' && byte <= 'Z') return static_cast<unsigned char>(byte + ('a' - 'A'));
  // Windows-1252: À to Þ (but not ×) pair with à to þ; Š, Œ, Ž and Ÿ with š, œ, ž and ÿ.
  if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7) return static_cast<unsigned char>(byte + 0x20);
  if (byte == 0x8A || byte == 0x8C || byte == 0x8E) return static_cast<unsigned char>(byte + 0x10);
  if (byte == 0x9F) return 0xFF;
  return byte;
}

std::vector<WrittenNames> JoinSentenceCapitals(DamageTable& table,
                                               std::vector<std::string_view>& mob_list,
                                               std::string_view character_name) {
  PartyMap parties;
  const std::string_view typed = table.Intern(character_name);
  for (size_t i = 0; i < table.size(); ++i) {
    const DamageRecord r = table[i];
    Meet(parties, r.Dealer, typed);
    Meet(parties, r.Taker, typed);
  }
  std::vector<Party*> pets;
  for (auto& [key, party] : parties) {
    party.shown = party.character.empty() ? party.spellings.front() : party.character;
    if (!OwnerOf(party.shown).empty()) pets.push_back(&party);
  }
  // A pet takes its owner's first letter; an owner that is a pet itself is
  // shorter, and settled first.
  std::sort(pets.begin(), pets.end(),
            [](const Party* a, const Party* b) { return a->shown.size() < b->shown.size(); });
  std::string respelled;
  for (Party* pet : pets) {
    const auto owner = parties.find(OwnerOf(pet->shown));
    if (owner == parties.end() || owner->second.shown[0] == pet->shown[0]) continue;
    respelled.assign(pet->shown);
    respelled[0] = owner->second.shown[0];
    pet->shown = table.Intern(respelled);
  }

  auto shown = [&parties](std::string_view name) {
    const auto party = parties.find(name);
    return party == parties.end() ? name : party->second.shown;
  };
  std::vector<WrittenNames> written;
  for (size_t i = 0; i < table.size(); ++i) {
    DamageRecord r = table[i];
    const std::string_view dealer = shown(r.Dealer);
    const std::string_view taker = shown(r.Taker);
    if (dealer == r.Dealer && taker == r.Taker) continue;
    written.push_back({i, r.Dealer, r.Taker});
    r.Dealer = dealer;
    r.Taker = taker;
    table.Replace(i, r);  // the shown spellings lie in the table's buffer like the written ones
  }
  // Heals and deaths name the parties as the records show them.
  for (size_t i = 0; i < table.HealCount(); ++i) {
    HealRecord h = table.Heal(i);
    h.Healer = shown(h.Healer);
    h.Target = shown(h.Target);
    table.ReplaceHeal(i, h);
  }
  for (size_t i = 0; i < table.DeathCount(); ++i) {
    DeathRecord d = table.Death(i);
    d.Victim = shown(d.Victim);
    d.Killer = shown(d.Killer);
    table.ReplaceDeath(i, d);
  }

  std::vector<std::string_view> mobs;
  std::unordered_set<std::string_view> listed;
  for (const std::string_view mob : mob_list) {
    const std::string_view name = shown(mob);
    if (listed.insert(name).second) mobs.push_back(name);
  }
  if (mobs.empty()) mobs.emplace_back();
  mob_list = std::move(mobs);
  return written;
}

}  // namespace ombrel
