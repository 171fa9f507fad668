#include "loggen/Generator.h"

namespace ombrel::loggen {

// Now and then a tag after the final full stop: "... damage. (Critical)".
void Generator::MaybeTag() {
  if (Extended() && (force_tag_ || rng_.Chance(1, 16))) Put(rng_.Pick(kTags));
}

// "Ann hit a gnoll for 310 points of fire damage by Fire Shard." ("You hit ..." for the owner).
void Generator::SchoolHit(string_view dealer, string_view taker, int64_t amount,
                          string_view spell) {
  Open();
  Put(dealer);
  Put(" hit ");
  Put(taker);
  Put(" for ");
  PutNum(amount);
  Put(amount == 1 ? " point of " : " points of ");
  Put(rng_.Pick(kSchools));
  Put(" damage by ");
  Put(spell);
  Put('.');
  MaybeTag();
  Close(Kind::Combat);
}

// The owner's spell damage as older logs write it: "a gnoll was hit by non-melee for 12 points
// of damage." (the name now and then capitalised, as at the start of any sentence).
void Generator::OldNonMelee(const ActiveMob& m, int64_t amount) {
  Open();
  Put(rng_.Chance(1, 2) ? string_view(m.kind->name) : string_view(m.cap));
  Put(" was hit by non-melee");
  PutAmount(amount, false);
  Close(Kind::Combat);
}

// Damage shields: "A gnoll is burned by YOUR flames for 5 points of non-melee damage.",
// "A gnoll is pierced by Gorrum's thorns ..." and
// "YOU are pierced by a gnoll's thorns for 3 points of non-melee damage!".
void Generator::ShieldOnMob(const ActiveMob& m, size_t owner, int64_t amount) {
  Open();
  Put(m.cap);
  if (owner == 0) {
    Put(" is burned by YOUR flames");
  } else {
    Put(" is pierced by ");
    Put(party_[owner].name);
    Put("'s thorns");
  }
  PutAmount(amount, true);
  MaybeTag();
  Close(Kind::Combat);
}

void Generator::ShieldOnOwner(const ActiveMob& m, int64_t amount) {
  Open();
  Put("YOU are pierced by ");
  Put(m.kind->name);
  Put("'s thorns");
  PutAmount(amount, true);
  buf_.back() = '!';
  Close(Kind::Combat);
}

// A verb of newer logs in place of `verb`, now and then.
int Generator::MaybeMoreVerb(int verb, Role role) {
  if (!Extended() || !rng_.Chance(1, 5)) return verb;
  switch (role) {
    case Role::Owner:
      return rng_.Pick(std::array<int, 3>{kCleave, kStab, kShoot});
    case Role::Tank:
      return rng_.Pick(std::array<int, 3>{kCleave, kHack, kBludgeon});
    case Role::Rogue:
      return rng_.Pick(std::array<int, 2>{kStab, kShoot});
    case Role::Berserker:
      return rng_.Pick(std::array<int, 2>{kCleave, kHack});
    case Role::Caster:
      return kShoot;
    case Role::Healer:
      return kBludgeon;
    case Role::PetOwner:
      return rng_.Pick(std::array<int, 2>{kWhip, kLash});
    default:
      return verb;
  }
}

// One line of each kind of older and newer logs against the first mob (the owner's first-person
// misses and defences included), tags on the owner's cleave and the spell on the owner.
void Generator::EveryExtendedKind() {
  ActiveMob& m = mobs_[0];
  const string_view name = m.kind->name;
  const size_t caster = party_.size() > 2 ? 2 : party_.size() - 1;
  const string_view spell = m.kind->spell ? string_view(m.kind->spell) : "Drain Life";
  int64_t dmg = rng_.Range(10, 40);
  force_tag_ = true;
  Hit("You", true, kCleave, name, dmg);
  force_tag_ = false;
  Damage(m, dmg, 0);
  dmg = rng_.Range(10, 40);
  Hit(party_[tank_].name, false, kHack, name, dmg);
  Damage(m, dmg, tank_);
  Swing("You", true, kStab, name, false, 0);
  Swing("You", true, kShoot, name, false, 1);
  Swing(m.cap, false, kWhip, "YOU", true, 2);
  Swing(m.cap, false, kLash, "YOU", true, 4);
  OwnCast(kOwnerNukes[0].name);
  dmg = rng_.Range(10, 40);
  OldNonMelee(m, dmg);
  Damage(m, dmg, 0);
  OtherCast(party_[caster].name, kCasterNukes[0].name);
  dmg = rng_.Range(kCasterNukes[0].lo, kCasterNukes[0].hi);
  SchoolHit(party_[caster].name, name, dmg, kCasterNukes[0].name);
  Damage(m, dmg, caster);
  OtherCast(m.cap, spell);
  force_tag_ = true;
  SchoolHit(m.cap, "you", rng_.Range(20, 60), spell);
  force_tag_ = false;
  dmg = rng_.Range(1, 9);
  ShieldOnMob(m, 0, dmg);
  Damage(m, dmg, 0);
  dmg = rng_.Range(1, 9);
  ShieldOnMob(m, tank_, dmg);
  Damage(m, dmg, tank_);
  ShieldOnOwner(m, rng_.Range(1, 6));
  for (const std::string& by : {std::string(name), std::string()}) {
    Open();
    Put("You have taken ");
    PutNum(rng_.Range(8, 30));
    Put(" damage from ");
    Put(spell);
    if (!by.empty()) {
      Put(" by ");
      Put(by);
    }
    Put('.');
    Close(Kind::Other);
  }
}

// Damage shields that a melee hit by party member i sets off.
void Generator::Shields(ActiveMob& m, size_t i) {
  if ((i == 0 || i == tank_) && rng_.Chance(1, 5)) {
    const int64_t dmg = rng_.Range(1, 9);
    ShieldOnMob(m, i, dmg);
    Damage(m, dmg, i);
  }
  if (i == 0 && rng_.Chance(1, 12)) ShieldOnOwner(m, rng_.Range(1, 6));
}

}  // namespace ombrel::loggen
