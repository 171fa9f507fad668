#include "parse/PartyNames.h"

#include <algorithm>
#include <functional>
#include <unordered_map>
#include <unordered_set>

namespace ombrel {
namespace {

// Hashing and comparing names with their first letters folded: "A gnoll" and
// "a gnoll" are one key.
struct FoldedHash {
  size_t operator()(std::string_view name) const {
    if (name.empty()) return 0;
    const size_t rest = std::hash<std::string_view>{}(name.substr(1));
    return rest ^
           (size_t{FoldFirstLetter(static_cast<unsigned char>(name[0]))} * 0x9E3779B97F4A7C15ull);
  }
};
struct FoldedEqual {
  bool operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    if (a.empty()) return true;
    return FoldFirstLetter(static_cast<unsigned char>(a[0])) ==
               FoldFirstLetter(static_cast<unsigned char>(b[0])) &&
           a.substr(1) == b.substr(1);
  }
};

// One party: its spellings in order of first appearance, and the one shown.
struct Party {
  std::vector<std::string_view> spellings;
  std::string_view character;  // the spelling typed as the character's name, if met
  std::string_view shown;
};

using PartyMap = std::unordered_map<std::string_view, Party, FoldedHash, FoldedEqual>;

void Meet(PartyMap& parties, std::string_view name, std::string_view character_name) {
  if (name.empty()) return;
  Party& party = parties[name];  // the key is the first spelling met
  if (std::find(party.spellings.begin(), party.spellings.end(), name) == party.spellings.end())
    party.spellings.push_back(name);
  if (name == character_name) party.character = name;
}

// The owner of "Owner`s pet" or "Owner`s warder"; empty for any other name.
std::string_view OwnerOf(std::string_view name) {
  for (const std::string_view suffix : {std::string_view("`s pet"), std::string_view("`s warder")})
    if (name.size() > suffix.size() && name.ends_with(suffix))
      return name.substr(0, name.size() - suffix.size());
  return {};
}

}  // namespace

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
  for (size_t i = 0; i < table.size(); ++i) {
    const DamageRecord r = table[i];
    Meet(parties, r.Dealer, character_name);
    Meet(parties, r.Taker, character_name);
  }
  for (auto& [key, party] : parties)
    party.shown = party.character.empty() ? party.spellings.front() : party.character;
  // A pet keeps to its owner's first letter where the log spells it so.
  for (auto& [key, party] : parties) {
    if (party.spellings.size() < 2) continue;
    const std::string_view owner_name = OwnerOf(party.shown);
    if (owner_name.empty()) continue;
    const auto owner = parties.find(owner_name);
    if (owner == parties.end()) continue;
    const char letter = owner->second.shown[0];
    for (const std::string_view spelling : party.spellings)
      if (spelling[0] == letter) party.shown = spelling;
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
