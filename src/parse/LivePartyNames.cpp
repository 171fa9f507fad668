#include "parse/LivePartyNames.h"

#include <algorithm>
#include <utility>

namespace ombrel {

LivePartyNames::LivePartyNames(std::string_view character_name) : character_name_(character_name) {}

bool LivePartyNames::Update(DamageTable& table, std::span<const std::string_view> written_mobs,
                            std::vector<Renamed>& renamed) {
  if (table_ == nullptr) {
    table_ = &table;
    typed_ = table.Intern(character_name_);
  }
  if (table.size() < met_) {
    PutBackAll(table);
    return false;
  }
  if (last_.applied && last_.put_back) {
    DamageRecord r = table[last_.index];
    if (r.Dealer == last_.dealer && r.Taker == last_.taker) {
      // Amended or not, it names the same parties: what meeting it did stays.
      last_.put_back = false;
      const std::string_view dealer = ShownOf(r.Dealer);
      const std::string_view taker = ShownOf(r.Taker);
      if (dealer != r.Dealer || taker != r.Taker) {
        r.Dealer = dealer;
        r.Taker = taker;
        table.Replace(last_.index, r);
      }
    } else if (!TakeBack(table, renamed)) {
      PutBackAll(table);
      return false;
    }
  }
  const size_t count = table.size();
  if (count > met_) {
    last_ = Provisional{};
    for (size_t i = met_; i + 1 < count; ++i) Meet(table, i, false, renamed);
    Meet(table, count - 1, true, renamed);
    met_ = count;
  }
  MeetLife(table);
  ReadMobs(written_mobs);
  return true;
}

void LivePartyNames::PutBackLast(DamageTable& table) {
  if (!last_.applied || last_.put_back) return;
  last_.put_back = true;
  if (!last_.written_entry) return;
  DamageRecord r = table[last_.index];
  r.Dealer = last_.dealer;
  r.Taker = last_.taker;
  table.Replace(last_.index, r);
}

void LivePartyNames::PutBackAll(DamageTable& table) {
  for (const WrittenNames& w : written_) {
    if (w.index >= table.size()) continue;
    DamageRecord r = table[w.index];
    r.Dealer = w.Dealer;
    r.Taker = w.Taker;
    table.Replace(w.index, r);
  }
  written_.clear();
  for (const LifeWritten& w : life_written_) SetLifeField(table, w.at, w.written);
  life_written_.clear();
  last_ = Provisional{};
}

std::vector<WrittenNames> LivePartyNames::Written(const DamageTable& table) const {
  std::vector<WrittenNames> written;
  for (const WrittenNames& w : written_) {
    const DamageRecord r = table[w.index];
    if (r.Dealer != w.Dealer || r.Taker != w.Taker) written.push_back(w);
  }
  return written;
}

void LivePartyNames::Meet(DamageTable& table, size_t index, bool provisional,
                          std::vector<Renamed>& renamed) {
  DamageRecord r = table[index];
  if (provisional) {
    last_.applied = true;
    last_.index = index;
    last_.dealer = r.Dealer;
    last_.taker = r.Taker;
  }
  // The dealer's party is started before the taker's, as in table order.
  auto party_of = [&](std::string_view name, int slot) -> Party* {
    if (name.empty()) return nullptr;
    const auto found = parties_.find(name);
    if (found != parties_.end()) return &found->second;
    if (provisional) last_.created[slot] = name;
    return &Start(table, name, provisional, renamed);
  };
  Party* dealer = party_of(r.Dealer, 0);
  Party* taker = party_of(r.Taker, 1);
  bool listed = false;
  int slot = 0;
  for (Party* party : {dealer, taker == dealer ? nullptr : taker}) {
    if (party == nullptr || !party->unsettled) continue;
    party->records.push_back(static_cast<uint32_t>(index));
    if (provisional) last_.listed_in[slot++] = party;
    listed = true;
  }
  const std::string_view dealer_shown = dealer != nullptr ? dealer->shown : r.Dealer;
  const std::string_view taker_shown = taker != nullptr ? taker->shown : r.Taker;
  const bool differs = dealer_shown != r.Dealer || taker_shown != r.Taker;
  if (!differs && !listed) return;
  written_.push_back({index, r.Dealer, r.Taker});
  if (provisional) last_.written_entry = true;
  if (!differs) return;
  r.Dealer = dealer_shown;
  r.Taker = taker_shown;
  table.Replace(index, r);  // the shown spellings lie in the table's texts like the written ones
}

LivePartyNames::Party& LivePartyNames::Start(DamageTable& table, std::string_view name,
                                             bool provisional, std::vector<Renamed>& renamed) {
  Party party;
  party.base = SameParty(name, typed_) ? typed_ : name;
  party.shown = party.base;
  const std::string_view owner = OwnerOf(party.base);
  if (!owner.empty()) {
    const auto found = parties_.find(owner);
    party.unsettled = found == parties_.end() || found->second.unsettled;
    if (found != parties_.end() && found->second.shown[0] != party.base[0]) {
      respelled_.assign(party.base);
      respelled_[0] = found->second.shown[0];
      party.shown = table.Intern(respelled_);
    }
    if (party.unsettled) pets_of_[owner].push_back(name);
  }
  Party& started = parties_.emplace(name, std::move(party)).first->second;
  if (const auto unmet = unmet_.find(name); unmet != unmet_.end()) {
    if (provisional) last_.life_named = true;
    for (const LifeName at : unmet->second) ShowLife(table, at, started);
    unmet_.erase(unmet);
  }
  SettlePetsOf(table, name, provisional, renamed);
  return started;
}

void LivePartyNames::SettlePetsOf(DamageTable& table, std::string_view owner, bool provisional,
                                  std::vector<Renamed>& renamed) {
  const auto found = pets_of_.find(owner);
  if (found == pets_of_.end()) return;
  const std::vector<std::string_view> pets = found->second;
  for (const std::string_view pet : pets) Settle(table, pet, provisional, renamed);
  if (provisional) return;  // a take-back may need them again
  // Pets settled for good leave the list.
  const auto again = pets_of_.find(owner);
  std::erase_if(again->second, [this](std::string_view pet) {
    const auto party = parties_.find(pet);
    return party == parties_.end() || !party->second.unsettled;
  });
  if (again->second.empty()) pets_of_.erase(again);
}

void LivePartyNames::Settle(DamageTable& table, std::string_view key, bool provisional,
                            std::vector<Renamed>& renamed) {
  const auto found = parties_.find(key);
  if (found == parties_.end()) return;
  Party& pet = found->second;
  const auto owner = parties_.find(OwnerOf(pet.base));
  std::string_view shown = pet.base;
  if (owner != parties_.end() && owner->second.shown[0] != pet.base[0]) {
    respelled_.assign(pet.base);
    respelled_[0] = owner->second.shown[0];
    shown = table.Intern(respelled_);
  }
  const bool unsettled = owner == parties_.end() || owner->second.unsettled;
  const bool changed = shown != pet.shown || unsettled != pet.unsettled;
  if (shown != pet.shown) Rename(table, pet, shown, renamed);
  pet.unsettled = unsettled;
  if (!unsettled && !provisional) {
    pet.records = std::vector<uint32_t>();
    pet.life = std::vector<LifeName>();
  }
  if (changed) SettlePetsOf(table, key, provisional, renamed);
}

void LivePartyNames::Rename(DamageTable& table, Party& party, std::string_view to,
                            std::vector<Renamed>& renamed) {
  const std::string_view from = party.shown;
  party.shown = to;
  for (const uint32_t index : party.records) {
    DamageRecord r = table[index];
    if (r.Dealer == from) r.Dealer = to;
    if (r.Taker == from) r.Taker = to;
    table.Replace(index, r);
  }
  for (const LifeName at : party.life)
    if (LifeField(table, at) == from) SetLifeField(table, at, to);
  const auto listed = mob_at_.find(from);
  if (listed != mob_at_.end()) {
    const size_t at = listed->second;
    mob_at_.erase(listed);
    mob_at_.emplace(to, at);
    mobs_[at] = to;
  }
  renamed.push_back({from, to});
}

bool LivePartyNames::TakeBack(DamageTable& table, std::vector<Renamed>& renamed) {
  if (last_.life_named) return false;
  for (const std::string_view key : last_.created) {
    if (key.empty()) continue;
    if (mob_at_.contains(parties_.find(key)->second.shown)) return false;
  }
  const size_t index = last_.index;
  for (Party* party : last_.listed_in) {
    if (party != nullptr && !party->records.empty() && party->records.back() == index)
      party->records.pop_back();
  }
  if (last_.written_entry && !written_.empty() && written_.back().index == index)
    written_.pop_back();
  for (int slot = 1; slot >= 0; --slot) {
    const std::string_view key = last_.created[slot];
    if (key.empty()) continue;
    const auto found = parties_.find(key);
    const std::string_view owner = OwnerOf(found->second.base);
    if (found->second.unsettled) {
      const auto pets = pets_of_.find(owner);
      if (pets != pets_of_.end()) {
        std::erase(pets->second, key);
        if (pets->second.empty()) pets_of_.erase(pets);
      }
    }
    parties_.erase(found);
    SettlePetsOf(table, key, true, renamed);
  }
  met_ = index;
  last_ = Provisional{};
  return true;
}

void LivePartyNames::MeetLife(DamageTable& table) {
  for (; heals_met_ < table.HealCount(); ++heals_met_) {
    const HealRecord h = table.Heal(heals_met_);
    const auto index = static_cast<uint32_t>(heals_met_);
    NameLife(table, {false, false, index}, h.Healer);
    NameLife(table, {false, true, index}, h.Target);
  }
  for (; deaths_met_ < table.DeathCount(); ++deaths_met_) {
    const DeathRecord d = table.Death(deaths_met_);
    const auto index = static_cast<uint32_t>(deaths_met_);
    NameLife(table, {true, false, index}, d.Victim);
    NameLife(table, {true, true, index}, d.Killer);
  }
}

void LivePartyNames::NameLife(DamageTable& table, LifeName at, std::string_view name) {
  if (name.empty()) return;
  const auto party = parties_.find(name);
  if (party == parties_.end()) {
    unmet_[name].push_back(at);
    return;
  }
  if (last_.applied) {
    for (const std::string_view created : last_.created)
      if (!created.empty() && SameParty(created, name)) last_.life_named = true;
  }
  ShowLife(table, at, party->second);
}

void LivePartyNames::ShowLife(DamageTable& table, LifeName at, Party& party) {
  const std::string_view written = LifeField(table, at);
  if (party.unsettled) party.life.push_back(at);
  if (written == party.shown && !party.unsettled) return;
  life_written_.push_back({at, written});
  if (written == party.shown) return;
  SetLifeField(table, at, party.shown);
}

std::string_view LivePartyNames::LifeField(const DamageTable& table, LifeName at) {
  if (at.death) {
    const DeathRecord d = table.Death(at.index);
    return at.second ? d.Killer : d.Victim;
  }
  const HealRecord h = table.Heal(at.index);
  return at.second ? h.Target : h.Healer;
}

void LivePartyNames::SetLifeField(DamageTable& table, LifeName at, std::string_view name) {
  if (at.death) {
    DeathRecord d = table.Death(at.index);
    (at.second ? d.Killer : d.Victim) = name;
    table.ReplaceDeath(at.index, d);
    return;
  }
  HealRecord h = table.Heal(at.index);
  (at.second ? h.Target : h.Healer) = name;
  table.ReplaceHeal(at.index, h);
}

std::string_view LivePartyNames::ShownOf(std::string_view name) const {
  if (name.empty()) return name;
  const auto party = parties_.find(name);
  return party == parties_.end() ? name : party->second.shown;
}

void LivePartyNames::ReadMobs(std::span<const std::string_view> written_mobs) {
  if (written_mobs.empty()) return;
  // The list's one empty entry replaced by the first mob: read from the start.
  if (mobs_read_ > 0 && written_mobs.front() != first_read_) {
    mob_at_.clear();
    mobs_read_ = 0;
  }
  if (mob_at_.empty()) mobs_.clear();
  for (size_t k = mobs_read_; k < written_mobs.size(); ++k) {
    const std::string_view name = ShownOf(written_mobs[k]);
    if (mob_at_.emplace(name, mobs_.size()).second) mobs_.push_back(name);
  }
  first_read_ = written_mobs.front();
  mobs_read_ = written_mobs.size();
  if (mobs_.empty()) mobs_.emplace_back();
}

}  // namespace ombrel
