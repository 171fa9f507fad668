#include "loggen/Generator.h"

namespace ombrel::loggen {

void Generator::PutAmount(int64_t amount, bool non_melee) {
  Put(" for ");
  PutNum(amount);
  Put(amount == 1 ? " point of " : " points of ");
  if (non_melee) Put("non-melee ");
  Put("damage.");
}

// "You slash a gnoll for 20 points of damage." / "Ann slashes a gnoll for 15 points of damage."
void Generator::Hit(string_view dealer, bool you, int verb, string_view taker, int64_t amount) {
  Open();
  Put(dealer);
  Put(' ');
  Put(VerbText(verb, you));
  Put(' ');
  Put(taker);
  PutAmount(amount, false);
  MaybeTag();
  Close(Kind::Combat);
}

// "Ann hit a gnoll for 120 points of non-melee damage."
void Generator::NonMelee(string_view dealer, string_view taker, int64_t amount) {
  Open();
  Put(dealer);
  Put(" hit ");
  Put(taker);
  PutAmount(amount, true);
  Close(Kind::Combat);
}

// Failed swing. avoid: 0 miss, 1 parry, 2 dodge, 3 riposte, 4 block.
// taker_you: the owner is attacked (written "YOU", avoidances "YOU parry!").
void Generator::Swing(string_view dealer, bool you, int verb, string_view taker, bool taker_you,
                      int avoid) {
  static constexpr std::array<const char*, 5> third = {"", " parries!", " dodges!", " ripostes!",
                                                       " blocks!"};
  static constexpr std::array<const char*, 5> base = {"", " parry!", " dodge!", " riposte!",
                                                      " block!"};
  Open();
  Put(dealer);
  Put(you ? " try to " : " tries to ");
  Put(VerbText(verb, true));
  Put(' ');
  Put(taker);
  if (avoid == 0) {
    Put(you ? ", but miss!" : ", but misses!");
  } else {
    Put(", but ");
    Put(taker);
    Put(taker_you ? base[static_cast<size_t>(avoid)] : third[static_cast<size_t>(avoid)]);
  }
  Close(Kind::Combat);
}

void Generator::OtherCast(string_view caster, string_view spell) {
  Open();
  Put(caster);
  Put(" begins to cast a spell. <");
  Put(spell);
  Put('>');
  Close(Kind::Combat);
}

void Generator::OwnCast(string_view spell) {
  Open();
  Put("You begin casting ");
  Put(spell);
  Put('.');
  Close(Kind::Combat);
}

void Generator::Heal(size_t healer) {
  const Spell& sp = rng_.Pick(kHeals);
  const bool on_me = rng_.Chance(1, 3);
  if (healer == 0) {
    OwnCast("Mending Touch");
    Open();
    Put("You have healed ");
    Put(on_me ? string_view("yourself") : string_view(RandomOther().name));
    PutAmount(rng_.Range(40, 260), false);
    Close(Kind::Other);
    return;
  }
  OtherCast(party_[healer].name, sp.name);
  if (on_me) {
    Open();
    Put(party_[healer].name);
    Put(" has healed you");
    PutAmount(rng_.Range(sp.lo, sp.hi), false);
    Close(Kind::Other);
  } else if (rng_.Chance(1, 2)) {
    Open();
    Put(RandomOther().name);
    Put(" feels much better.");
    Close(Kind::Other);
  }
}

}  // namespace ombrel::loggen
