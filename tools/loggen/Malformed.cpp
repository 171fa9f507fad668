#include "loggen/Generator.h"

#include <cstring>

namespace ombrel::loggen {

// A plausible combat message body (no stamp, no line end).
void Generator::CombatBody(bool amount_text) {
  const MobKind& k = ZoneTrash();
  const Actor& a = RandomOther();
  Put(a.name);
  Put(' ');
  Put(kVerbs[static_cast<size_t>(rng_.Pick(a.verbs))][0]);
  Put(' ');
  Put(k.name);
  if (amount_text) PutAmount(rng_.Range(5, 60), false);
}

void Generator::Malformed() {
  struct W {
    uint32_t kind;
    int weight;
  };
  static constexpr std::array<W, 7> weights = {{{kMalformedTruncated, 20},
                                                {kMalformedBadMonth, 15},
                                                {kMalformedBadAmount, 15},
                                                {kMalformedHugeAmount, 15},
                                                {kMalformedLoneBreak, 15},
                                                {kMalformedHighByte, 17},
                                                {kMalformedNul, 3}}};
  int total = 0;
  for (const W& w : weights)
    if (opt_.malformed_kinds & w.kind) total += w.weight;
  if (total == 0) return;
  int pick = static_cast<int>(rng_.Range(0, total - 1));
  uint32_t kind = 0;
  for (const W& w : weights) {
    if (!(opt_.malformed_kinds & w.kind)) continue;
    if (pick < w.weight) {
      kind = w.kind;
      break;
    }
    pick -= w.weight;
  }
  uint64_t* counter = &st_.nul_byte;
  RawOpen();
  switch (kind) {
    case kMalformedTruncated: {
      CombatBody(true);
      buf_.resize(line_start_ + static_cast<size_t>(rng_.Range(1, 27)));
      counter = &st_.truncated;
      break;
    }
    case kMalformedBadMonth: {
      static constexpr std::array<const char*, 5> bad = {"Jnu", "jan", "DEC", "Xyz", "   "};
      std::memcpy(&buf_[line_start_ + 5], rng_.Pick(bad), 3);
      CombatBody(true);
      counter = &st_.bad_month;
      break;
    }
    case kMalformedBadAmount: {
      static constexpr std::array<const char*, 4> bad = {"lots", "", "12a", "many"};
      CombatBody(false);
      Put(" for ");
      Put(rng_.Pick(bad));
      Put(" points of damage.");
      counter = &st_.bad_amount;
      break;
    }
    case kMalformedHugeAmount: {
      static constexpr std::array<const char*, 4> huge = {"2147483648", "4294967296", "99999999999",
                                                          "-2147483649"};
      CombatBody(false);
      Put(" for ");
      Put(rng_.Pick(huge));
      Put(rng_.Chance(1, 2) ? " points of damage." : " points of non-melee damage.");
      counter = &st_.huge_amount;
      break;
    }
    case kMalformedLoneBreak: {
      if (rng_.Chance(1, 2)) {
        CombatBody(false);
        Put(rng_.Chance(1, 2) ? " for 15\rpoints of damage." : " for 15\npoints of damage.");
      } else {
        Put(RandomOther().name);
        Put(" tells the group, 'first line\nsecond line'");
      }
      counter = &st_.lone_break;
      break;
    }
    case kMalformedHighByte: {
      const int64_t q = rng_.Range(0, 2);
      if (q == 0) {
        Put("Zo\xEB ");
        Put(kVerbs[kSlash][0]);
        Put(' ');
        Put(ZoneTrash().name);
        PutAmount(rng_.Range(5, 40), false);
      } else if (q == 1) {
        Put("Zo\xEB tells the group, 'caf\xE9 au lait \x80 ");
        PutNum(rng_.Range(1, 9));
        Put("g'");
      } else {
        Put("You have entered Th\xFBle M\xF6re.");
      }
      counter = &st_.high_byte;
      break;
    }
    default: {
      Put(RandomOther().name);
      Put(" tells the group, 'oops");
      Put(string_view("\0", 1));
      Put("'");
      break;
    }
  }
  const size_t before = st_.lines;
  Close(Kind::Other);
  if (st_.lines != before) {
    ++*counter;
    ++st_.malformed_lines;
    --st_.other_lines;
  }
}

}  // namespace ombrel::loggen
