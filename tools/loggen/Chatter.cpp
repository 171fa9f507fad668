#include "loggen/Generator.h"

namespace ombrel::loggen {

void Generator::FightChatter() {
  const int64_t r = rng_.Range(0, 9);
  if (r < 3) {
    Open();
    Put(RandomOther().name);
    Put(" tells the group, '");
    Put(rng_.Pick(kPhrases));
    Put("'");
    Close(Kind::Chat);
  } else if (r < 5) {
    Open();
    Put(RandomOther().name);
    Put(" feels much better.");
    Close(Kind::Other);
  } else if (r < 6) {
    Open();
    Put(RandomOther().name);
    Put(" tells you, '");
    Put(rng_.Pick(kCombatPhrases));
    Put("'");
    Close(Kind::Chat);
  } else if (r < 7) {
    Line("Your foe stands beyond reach; step near!", Kind::Other);
  } else {
    ChannelChatter();
  }
}

// Channel chatter heard everywhere.
void Generator::ChannelChatter() {
  const int64_t r = rng_.Range(0, 99);
  Open();
  if (r < 22) {
    Put(rng_.Pick(kStrangers));
    Put(" auctions, 'WTS ");
    Put(rng_.Pick(kLoot));
    Put(", ");
    PutNum(rng_.Range(2, 90));
    Put("g'");
  } else if (r < 34) {
    Put(rng_.Pick(kStrangers));
    Put(" shouts, '");
    Put(rng_.Pick(kPhrases));
    Put("'");
  } else if (r < 50) {
    Put(RandomOther().name);
    Put(" tells the guild, '");
    Put(rng_.Pick(kPhrases));
    Put("'");
  } else if (r < 58) {
    Put("You say to your guild, '");
    Put(rng_.Pick(kPhrases));
    Put("'");
  } else if (r < 66) {
    Put(rng_.Pick(kStrangers));
    Put(" -> ");
    Put(opt_.character);
    Put(": ");
    Put(rng_.Pick(kPhrases));
  } else if (r < 72) {
    Put(opt_.character);
    Put(" <- ");
    Put(rng_.Pick(kStrangers));
    Put(": ");
    Put(rng_.Pick(kPhrases));
  } else if (r < 80) {
    Put(RandomOther().name);
    Put(" tells you, '");
    Put(rng_.Pick(kCombatPhrases));
    Put("'");
  } else if (r < 88) {
    Put("You tell the group, '");
    Put(rng_.Chance(1, 3) ? rng_.Pick(kCombatPhrases) : rng_.Pick(kPhrases));
    Put("'");
  } else if (r < 91) {
    // Chat that the cast rule still sees (it ignores the chatter test).
    Put(RandomOther().name);
    Put(" tells the group, 'I begin casting ");
    Put(rng_.Pick(kHeals).name);
    Put(" on you now'");
  } else {
    Put(RandomOther().name);
    Put(" tells the group, '");
    Put(rng_.Pick(kPhrases));
    Put("'");
  }
  Close(Kind::Chat);
}

void Generator::Idle(uint64_t fight_no) {
  if (opt_.clock_goes_back && st_.clock_back_line < 0 && st_.bytes >= opt_.target_bytes / 2) {
    clock_.Advance(-3600);
    st_.clock_back_line = static_cast<int64_t>(st_.lines);
  }
  // Gap until the next pull: some shorter than the smallest event gap, most longer.
  const int64_t r = rng_.Range(0, 99);
  const int64_t gap = r < 30   ? rng_.Range(2, 17)
                      : r < 70 ? rng_.Range(19, 90)
                      : r < 93 ? rng_.Range(90, 600)
                               : rng_.Range(600, 2400);
  const int64_t end = clock_.Now() + gap;
  if (gap >= 600 && rng_.Chance(1, 3)) {
    // Move on to another zone.
    zone_ = (zone_ + 1 + rng_.Below(kZones.size() - 1)) % kZones.size();
    clock_.Advance(rng_.Range(5, 60));
    Line("The road unfolds ahead.", Kind::Other);
    clock_.Advance(rng_.Range(3, 15));
    Open();
    Put("You have entered ");
    Put(kZones[zone_].name);
    Put('.');
    Close(Kind::Other);
  }
  while (!done_ && !BudgetSpent(fight_no, 1.0)) {
    clock_.Advance(rng_.Range(0, 1));
    if (gap > 300) clock_.Advance(rng_.Range(0, 2));
    if (clock_.Now() >= end) break;
    IdleLine();
  }
  if (clock_.Now() < end) clock_.Advance(end - clock_.Now());
}

void Generator::IdleLine() {
  const int64_t r = rng_.Range(0, 99);
  if (r < 55) {
    ChannelChatter();
  } else if (r < 63) {
    const Actor& a = RandomOther();
    const int64_t q = rng_.Range(0, 2);
    Open();
    Put(a.name);
    if (q == 0) {
      Put(" tells the group, '");
      Put(rng_.Pick(kPhrases));
      Put("'");
      Close(Kind::Chat);
    } else if (q == 1) {
      Put(" says, '");
      Put(rng_.Pick(kPhrases));
      Put("'");
      Close(Kind::Chat);
    } else {
      Put(" says out of character, '");
      Put(rng_.Pick(kPhrases));
      Put("'");
      Close(Kind::Chat);
    }
  } else if (r < 80) {
    Line(rng_.Pick(kNoise), Kind::Other);
  } else if (r < 86) {
    // Buffs between pulls.
    const char* b = rng_.Pick(kBuffs);
    if (rng_.Chance(1, 2)) {
      OwnCast(b);
      Line("You feel the magic take hold.", Kind::Other);
    } else {
      OtherCast(RandomOther().name, b);
    }
  } else if (r < 94) {
    // Heals after the fight.
    size_t h = 0;
    for (size_t i = 1; i < party_.size(); ++i)
      if (party_[i].role == Role::Healer && rng_.Chance(2, 3)) h = i;
    Heal(h);
  } else {
    Open();
    Put("Your ");
    Put(rng_.Pick(kBuffs));
    Put(" spell has worn off.");
    Close(Kind::Other);
  }
}

}  // namespace ombrel::loggen
