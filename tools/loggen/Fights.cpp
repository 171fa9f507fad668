#include "loggen/Generator.h"

namespace ombrel::loggen {

ActiveMob Generator::Spawn(const MobKind& k) {
  ActiveMob m{&k, k.name, rng_.Range(k.hp_lo, k.hp_hi), next_mob_id_++};
  if (m.cap[0] >= 'a' && m.cap[0] <= 'z') m.cap[0] = static_cast<char>(m.cap[0] - 'a' + 'A');
  return m;
}

int64_t Generator::Roll(int lo, int hi) {
  if (rng_.Chance(1, 150)) return 0;  // the occasional zero hit
  return rng_.Range(lo, hi);
}

int Generator::Avoidance() {
  // miss 60%, parry 12%, dodge 14%, riposte 6%, block 8%
  const int64_t r = rng_.Range(0, 99);
  return r < 60 ? 0 : r < 72 ? 1 : r < 86 ? 2 : r < 92 ? 3 : 4;
}

ActiveMob* Generator::FindMob(int id) {
  for (ActiveMob& m : mobs_)
    if (m.id == id) return &m;
  return nullptr;
}

void Generator::Damage(ActiveMob& m, int64_t amount, size_t killer) {
  m.hp -= amount;
  if (m.hp <= 0 && last_killer_.size() < 8) {
    for (const auto& k : last_killer_)
      if (k.first == m.id) return;
    last_killer_.emplace_back(m.id, killer);
  }
}

// A round of melee by party member i (pet = its pet or warder swings instead).
void Generator::MeleeRound(size_t i, bool pet, int swings) {
  const Actor& a = party_[i];
  for (int s = 0; s < swings && !mobs_.empty() && !done_; ++s) {
    ActiveMob& m = TargetMob();
    const bool you = i == 0 && !pet;
    string_view dealer = pet ? string_view(a.pet) : string_view(a.name);
    int verb;
    int lo = a.lo, hi = a.hi;
    if (pet) {
      verb = a.warder ? rng_.Pick(kWarderVerbs) : rng_.Pick(kPetVerbs);
      lo = 4;
      hi = 34;
    } else {
      verb = MaybeMoreVerb(rng_.Pick(a.verbs), a.role);
    }
    if (verb == kKick) {
      lo = 3;
      hi = 22;
    }
    if (verb == kBackstab) {
      lo = 60;
      hi = 190;
    }
    if (rng_.Chance(72, 100)) {
      const int64_t dmg = Roll(lo, hi);
      Hit(dealer, you, verb, m.kind->name, dmg);
      Damage(m, dmg, i);
      if (Extended() && !pet) Shields(m, i);
    } else if (you) {
      // The owner's own failures are written in the first person.
      Swing(dealer, true, verb, m.kind->name, false, Avoidance());
    } else {
      Swing(dealer, false, verb, m.kind->name, false, Avoidance());
    }
  }
}

// A special strike: a non-melee hit, then (normally in the same second) the effect line.
void Generator::SpecialStrike(size_t i) {
  ActiveMob& m = TargetMob();
  // Tanks and berserkers carry the storm blade; the owner, rogues and monks the ethereal one.
  const bool storm = party_[i].role == Role::Tank || party_[i].role == Role::Berserker;
  const int64_t dmg = rng_.Range(100, 300);
  NonMelee(party_[i].name, m.kind->name, dmg);
  Damage(m, dmg, i);
  std::string effect = m.kind->name;
  effect += storm ? " quivers as a bolt of energy surges through them."
                  : " is enveloped in ethereal energy.";
  const int64_t r = rng_.Range(0, 9);
  if (r < 7) {
    Line(effect, Kind::Other);
  } else if (r < 9) {
    pending_.emplace_back(std::move(effect), Kind::Other);  // one second late
  }                                                         // else: the effect line is lost
}

// Spell with a damage landing, merged by the parser with the cast line.
void Generator::Nuke(size_t i, const Spell& sp) {
  ActiveMob& m = TargetMob();
  const int64_t dmg = rng_.Range(sp.lo, sp.hi);
  if (i == 0)
    OwnCast(sp.name);
  else
    OtherCast(party_[i].name, sp.name);
  const int64_t r = rng_.Range(0, 99);
  const int64_t era = Extended() ? rng_.Range(0, 2) : 0;  // 1: older log, 2: newer log
  if (r < 78 && era == 1 && i == 0) {
    OldNonMelee(m, dmg);
    Damage(m, dmg, i);
  } else if (r < 78 && era == 2) {
    SchoolHit(party_[i].name, m.kind->name, dmg, sp.name);
    Damage(m, dmg, i);
  } else if (r < 78) {
    NonMelee(party_[i].name, m.kind->name, dmg);
    Damage(m, dmg, i);
    if (rng_.Chance(2, 3)) {
      std::string fx = m.kind->name;
      fx += rng_.Chance(1, 2) ? " is engulfed in flames." : " winces in pain.";
      Line(fx, Kind::Other);
    }
  } else if (r < 90) {
    // lands after other lines: the parser will not merge it
    std::string late = party_[i].name;
    late += " hit ";
    late += m.kind->name;
    pending_nuke_.push_back({m.id, i, dmg, std::move(late)});
  } else if (i == 0) {
    Line(rng_.Chance(1, 2) ? "Your spell is interrupted." : "Your target resisted the spell.",
         Kind::Other);
  } else {
    Open();
    Put(party_[i].name);
    Put("'s casting is interrupted!");
    Close(Kind::Other);
  }
}

void Generator::CastDot(size_t i) {
  ActiveMob& m = TargetMob();
  const char* spell = i == 0 ? "Poison Bolt" : (i % 2 != 0 ? "Venom Creep" : "Rot Grasp");
  if (i == 0)
    OwnCast(spell);
  else
    OtherCast(party_[i].name, spell);
  if (i == 0) {  // the bolt itself hits, then poisons
    const int64_t dmg = rng_.Range(90, 160);
    NonMelee("You", m.kind->name, dmg);
    Damage(m, dmg, 0);
  }
  for (const Dot& d : dots_)
    if (d.mob_id == m.id && d.caster == static_cast<int>(i)) return;  // refreshed
  dots_.push_back({m.id, static_cast<int>(i), spell, static_cast<int>(rng_.Range(4, 7)), 10, 34});
}

void Generator::MobRound(ActiveMob& m) {
  const MobKind& k = *m.kind;
  if (k.spell && rng_.Chance(1, 8)) {
    OtherCast(m.cap, k.spell);
    const size_t t = rng_.Chance(1, 3) ? 0 : tank_;
    if (rng_.Chance(4, 5)) {
      const int64_t dmg = rng_.Range(k.dmg_hi, k.dmg_hi * 4);
      if (Extended() && t == 0 && rng_.Chance(1, 2))
        SchoolHit(m.cap, "you", dmg, k.spell);
      else
        NonMelee(m.cap, TargetName(t), dmg);
      if (t == 0) owner_dot_ = {k.spell, m.cap, static_cast<int>(rng_.Range(2, 4))};
      // Newer logs name the caster of a damage over time mid-sentence, or not at all.
      if (t == 0 && Extended()) {
        const int64_t form = rng_.Range(0, 2);
        owner_dot_.by = form == 0 ? std::string(k.name) : form == 1 ? m.cap : std::string();
      }
    }
    return;
  }
  const int swings = static_cast<int>(rng_.Range(1, k.named ? 3 : 2));
  for (int s = 0; s < swings && !done_; ++s) {
    int verb;
    do verb = k.verbs[rng_.Below(4)];
    while (verb < 0);
    if (Extended() && rng_.Chance(1, 12)) verb = rng_.Chance(1, 2) ? kWhip : kLash;
    // Target: mostly the tank, sometimes the owner, a pet or anyone.
    const int64_t r = rng_.Range(0, 99);
    size_t ti = tank_;
    string_view taker;
    if (r < 55) {
      taker = TargetName(tank_);
    } else if (r < 72) {
      ti = 0;
      taker = "YOU";
    } else if (r < 82) {
      taker = party_[0].pet;
    } else if (r < 90 && !party_[1].pet.empty()) {
      taker = party_[1].pet;
    } else {
      ti = 1 + rng_.Below(party_.size() - 1);
      taker = TargetName(ti);
    }
    const bool at_me = taker == "YOU";
    if (rng_.Chance(55, 100)) {
      Hit(m.cap, false, verb, taker, Roll(k.dmg_lo, k.dmg_hi));
    } else {
      Swing(m.cap, false, verb, taker, at_me, Avoidance());
    }
  }
}

void Generator::Abilities(bool boss) {
  // Veteran abilities and glyphs, mostly when a named mob is pulled.
  const uint64_t den = boss ? 10 : 60;
  if (rng_.Chance(7, den)) OtherCast(party_[tank_].name, kVeteran[0]);
  for (size_t i = 1; i < party_.size() && !done_; ++i) {
    if (party_[i].role == Role::Berserker && rng_.Chance(5, den))
      OtherCast(party_[i].name, kVeteran[1]);
    if (party_[i].role == Role::Caster && rng_.Chance(6, den))
      OtherCast(party_[i].name, rng_.Pick(kGlyphs));
  }
  if (rng_.Chance(3, den)) OwnCast(rng_.Chance(1, 2) ? kVeteran[1] : kVeteran[0]);
  if (rng_.Chance(3, den)) OwnCast(rng_.Pick(kGlyphs));
}

void Generator::Fight(uint64_t fight_no) {
  ++st_.fights;
  mobs_.clear();
  dots_.clear();
  pending_.clear();
  pending_nuke_.clear();
  last_killer_.clear();
  const bool boss = fight_no % 8 == 3 || rng_.Chance(1, 40);
  Adds adds;
  if (boss) {
    ++st_.named_fights;
    mobs_.push_back(Spawn(kMobs[static_cast<size_t>(kZones[zone_].named)]));
    const int64_t n = rng_.Range(0, 2);
    // One draw per statement: argument evaluation order differs between compilers.
    for (int64_t a = 0; a < n; ++a) {
      const int64_t when = rng_.Range(20, 120);
      adds.emplace_back(when, &ZoneTrash());
    }
  } else {
    const int64_t r = rng_.Range(0, 9);
    const int64_t n = r < 5 ? 1 : r < 8 ? 2 : 3;
    mobs_.push_back(Spawn(ZoneTrash()));
    for (int64_t a = 1; a < n; ++a) {
      if (rng_.Chance(1, 2))
        mobs_.push_back(Spawn(ZoneTrash()));
      else {
        const int64_t when = rng_.Range(3, 30);
        adds.emplace_back(when, &ZoneTrash());
      }
    }
  }
  if (opt_.fights_per_mib != 0) {
    // Short fights as players' logs hold them: a pull, a kill, the next pull.
    mobs_.erase(mobs_.begin() + 1, mobs_.end());
    adds.clear();
  }
  if (rng_.Chance(1, 3)) {
    Open();
    Put("You tell the group, 'inc ");
    Put(mobs_[0].kind->name);
    Put("'");
    Close(Kind::Chat);
  }
  Line("You draw a weapon.", Kind::Other);
  if (Extended() && opt_.every_extended_kind && fight_no == 0) EveryExtendedKind();
  // Abilities go off once the fight is under way, inside the fight's records.
  const int64_t ability_sec = rng_.Range(1, 5);

  for (int64_t sec = 0; !done_ && (!mobs_.empty() || !adds.empty()) && sec < 1800 &&
                        (sec == 0 || !BudgetSpent(fight_no, 1.0 - opt_.other_share));
       ++sec) {
    if (sec > 0) clock_.Advance(1);
    Second(sec, adds);
    if (!mobs_.empty() && (sec == ability_sec || (boss && rng_.Chance(1, 90)))) Abilities(boss);
  }
  if (!done_) FightEnd();
}

// The weapon lowered and the loot.
void Generator::FightEnd() {
  mobs_.clear();
  Line("You lower a weapon.", Kind::Other);
  const int64_t loot = rng_.Range(0, 3);
  if (loot == 1) {
    Open();
    Put("--You have looted ");
    Put(rng_.Pick(kLoot));
    Put(" from a corpse.--");
    Close(Kind::Other);
  } else if (loot == 2) {
    Open();
    Put("You receive ");
    PutNum(rng_.Range(1, 9));
    Put(" gold and ");
    PutNum(rng_.Range(1, 9));
    Put(" silver from the corpse.");
    Close(Kind::Other);
  } else if (loot == 3) {
    Open();
    Put("--");
    Put(RandomOther().name);
    Put(" has looted ");
    Put(rng_.Pick(kLoot));
    Put(".--");
    Close(Kind::Other);
  }
}

// One second of a fight.
void Generator::Second(int64_t sec, Adds& adds) {
  HeldOverLines();
  JoinAdds(sec, adds);
  if (mobs_.empty()) return;
  PartyRound();
  for (size_t m = 0; m < mobs_.size() && !done_; ++m)
    if (rng_.Chance(9, 20)) MobRound(mobs_[m]);
  // Damage over time ticks every six seconds.
  if (sec % 6 == 0) DotTicks();
  // Talk and spell effects during the fight.
  if (rng_.Chance(4, 5)) FightChatter();
  if (rng_.Chance(1, 2)) FightChatter();
  Deaths();
}

// Lines held over from the previous second.
void Generator::HeldOverLines() {
  for (auto& p : pending_) Line(p.first, p.second);
  pending_.clear();
  for (auto& pn : pending_nuke_) {
    if (ActiveMob* m = FindMob(pn.mob_id)) {
      Open();
      Put(pn.text);
      PutAmount(pn.dmg, true);
      Close(Kind::Combat);
      Damage(*m, pn.dmg, pn.caster);
    }
  }
  pending_nuke_.clear();
}

// Mobs whose time has come join the fight.
void Generator::JoinAdds(int64_t sec, Adds& adds) {
  for (size_t a = 0; a < adds.size();) {
    if (adds[a].first <= sec) {
      mobs_.push_back(Spawn(*adds[a].second));
      if (rng_.Chance(1, 2)) {
        Open();
        Put(RandomOther().name);
        Put(" tells the group, 'add! ");
        Put(adds[a].second->name);
        Put("'");
        Close(Kind::Chat);
      }
      adds.erase(adds.begin() + static_cast<std::ptrdiff_t>(a));
    } else {
      ++a;
    }
  }
}

// Party members act, in an order that varies from second to second.
void Generator::PartyRound() {
  const size_t n = party_.size();
  const size_t start = rng_.Below(n);
  for (size_t j = 0; j < n && !done_ && !mobs_.empty(); ++j) {
    const size_t i = (start + j) % n;
    const Actor& a = party_[i];
    const int64_t r = rng_.Range(0, 999);
    switch (a.role) {
      case Role::Owner:
        if (r < 330)
          MeleeRound(i, false, static_cast<int>(rng_.Range(1, 2)));
        else if (r < 370)
          Nuke(i, rng_.Pick(kOwnerNukes));
        else if (r < 382)
          CastDot(i);
        else if (r < 390)
          Heal(i);
        else if (r < 400)
          SpecialStrike(i);
        break;
      case Role::Caster:
        if (r < 120)
          Nuke(i, rng_.Pick(kCasterNukes));
        else if (r < 150)
          MeleeRound(i, false, 1);
        break;
      case Role::Healer:
        if (r < 110)
          Heal(i);
        else if (r < 180)
          MeleeRound(i, false, 1);
        break;
      case Role::PetOwner:
        if (r < 150)
          MeleeRound(i, false, 1);
        else if (r < 170)
          CastDot(i);
        break;
      default:
        if (r < 300)
          MeleeRound(i, false, static_cast<int>(rng_.Range(1, 2)));
        else if (r < 312)
          SpecialStrike(i);
        break;
    }
    if (!a.pet.empty() && !mobs_.empty() && rng_.Chance(3, 10))
      MeleeRound(i, true, static_cast<int>(rng_.Range(1, 2)));
  }
}

// Damage over time ticks, on mobs and on the owner.
void Generator::DotTicks() {
  for (size_t d = 0; d < dots_.size();) {
    Dot& dot = dots_[d];
    ActiveMob* m = FindMob(dot.mob_id);
    if (!m || dot.ticks-- <= 0) {
      dots_.erase(dots_.begin() + static_cast<std::ptrdiff_t>(d));
      continue;
    }
    const int64_t dmg = rng_.Range(dot.lo, dot.hi);
    Open();
    Put(m->cap);
    Put(" has taken ");
    PutNum(dmg);
    if (dot.caster == 0) {
      Put(" damage from your ");
      Put(dot.spell);
      Put('.');
    } else if (NewerTicks()) {
      Put(" damage from ");
      Put(dot.spell);
      Put(" by ");
      Put(party_[static_cast<size_t>(dot.caster)].name);
      Put('.');
    } else {
      Put(" damage from ");
      Put(party_[static_cast<size_t>(dot.caster)].name);
      Put(" by ");
      Put(dot.spell);
      Put('.');
    }
    MaybeTag();
    Close(Kind::Combat);
    Damage(*m, dmg, static_cast<size_t>(dot.caster));
    ++d;
  }
  if (owner_dot_.ticks > 0) {
    --owner_dot_.ticks;
    Open();
    Put("You have taken ");
    PutNum(rng_.Range(8, 30));
    Put(" damage from ");
    Put(owner_dot_.spell);
    if (!owner_dot_.by.empty()) {
      Put(" by ");
      Put(owner_dot_.by);
    }
    Put('.');
    MaybeTag();
    Close(Kind::Other);
  }
}

// Mobs that died this second.
void Generator::Deaths() {
  for (const auto& k : last_killer_) {
    for (size_t m = 0; m < mobs_.size(); ++m) {
      if (mobs_[m].id != k.first) continue;
      Open();
      if (k.second == 0) {
        Put("You have slain ");
        Put(mobs_[m].kind->name);
        Put('!');
      } else {
        Put(mobs_[m].kind->name);
        Put(" has been slain by ");
        Put(party_[k.second].name);
        Put('!');
      }
      Close(Kind::Other);
      Line(rng_.Chance(1, 2) ? "Your group grows wiser now." : "You feel more adept!!",
           Kind::Other);
      ++st_.mobs_slain;
      mobs_.erase(mobs_.begin() + static_cast<std::ptrdiff_t>(m));
      break;
    }
  }
  last_killer_.clear();
}

}  // namespace ombrel::loggen
