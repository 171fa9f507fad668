#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "events/BuildEvents.h"
#include "shared/DamageRecord.h"
#include "shared/DamageTable.h"

namespace ombrel {
namespace {

const DateTime kStart = *DateTime::FromCivil({2005, 12, 31, 22, 0, 0});

DamageRecord Rec(int64_t second, std::string_view dealer, std::string_view taker, int32_t damage,
                 int32_t type = kMelee) {
  DamageRecord r;
  r.Date = DateTime{kStart.seconds + second};
  r.Dealer = dealer;
  r.Taker = taker;
  r.Damage = damage;
  r.Type = type;
  r.Name = "hit";
  return r;
}

std::vector<EventRecord> Build(const std::vector<DamageRecord>& records,
                               const std::vector<std::string_view>& mobs, int32_t gap = 18) {
  return BuildEvents(DamageTable::FromRecords(records), mobs, gap);
}

TEST(BuildEvents, IdleGapClosesAFightAtNineteenSeconds) {
  const auto events = Build({Rec(0, "Tarlen", "a gnoll", 10), Rec(18, "Tarlen", "a gnoll", 20),
                             Rec(37, "Tarlen", "a gnoll", 30)},
                            {"a gnoll"});
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].Name, "a gnoll");
  EXPECT_EQ(events[0].DamageTaken, 30);
  EXPECT_EQ(events[0].HitsTaken, 2);
  EXPECT_EQ(events[0].Duration, 18);
  EXPECT_EQ(events[0].EndCounter, 1);
  EXPECT_EQ(events[1].DamageTaken, 30);
  EXPECT_EQ(events[1].StartCounter, 2);
  EXPECT_EQ(events[1].StartDate.seconds, kStart.seconds + 37);
}

TEST(BuildEvents, MobsAndSides) {
  // Two fights at once, a hit between the two mobs, a rat that only bites
  // (never damaged by the character, so no mob), and records that are no hits.
  const std::vector<DamageRecord> records = {
      Rec(0, "Tarlen", "a gnoll", 10),  // 0 gnoll takes
      Rec(1, "Tarlen", "an orc", 7),    // 1 orc takes
      Rec(2, "a gnoll", "Tarlen", 4),   // 2 gnoll deals
      Rec(3, "a rat", "Tarlen", 99),    // 3 no mob
      Rec(4, "an orc", "a gnoll", 6),   // 4 orc deals (dealer first)
      Rec(5, "Tarlen", "a gnoll", 50, kSpellCast),
      Rec(5, "Tarlen", "a gnoll", 0, kMiss),
      Rec(5, "Tarlen", "a gnoll", 77, kUnreadAmount),
      Rec(6, "Tarlen", "a gnoll", 3, kNonMelee),         // 8
      Rec(7, "Soandso", "a gnoll", 5, kDamageOverTime),  // 9
  };
  const auto events = Build(records, {"a gnoll", "an orc"});
  ASSERT_EQ(events.size(), 2u);
  const EventRecord& gnoll = events[0];
  EXPECT_EQ(gnoll.Name, "a gnoll");
  EXPECT_EQ(gnoll.DamageTaken, 18);
  EXPECT_EQ(gnoll.HitsTaken, 3);
  EXPECT_EQ(gnoll.MaxHitTaken, 10);
  EXPECT_EQ(gnoll.MinHitTaken, 3);
  EXPECT_EQ(gnoll.DamageDealt, 4);
  EXPECT_EQ(gnoll.HitsDealt, 1);
  EXPECT_EQ(gnoll.StartCounter, 0);
  EXPECT_EQ(gnoll.EndCounter, 9);
  EXPECT_EQ(gnoll.Duration, 7);
  const EventRecord& orc = events[1];
  EXPECT_EQ(orc.Name, "an orc");
  EXPECT_EQ(orc.DamageTaken, 7);
  EXPECT_EQ(orc.DamageDealt, 6);
  EXPECT_EQ(orc.HitsDealt, 1);
  EXPECT_EQ(orc.StartCounter, 1);
  EXPECT_EQ(orc.EndCounter, 4);
  EXPECT_EQ(orc.Duration, 3);
}

TEST(BuildEvents, ExtremesAndLargeSums) {
  // A 0-damage hit is a hit and the smallest one; sums go past 32 bits.
  const auto events =
      Build({Rec(0, "Tarlen", "a gnoll", 5), Rec(1, "Tarlen", "a gnoll", 0),
             Rec(2, "Tarlen", "a gnoll", INT32_MAX), Rec(3, "Tarlen", "a gnoll", INT32_MAX),
             Rec(4, "Tarlen", "a gnoll", INT32_MAX)},
            {"a gnoll"});
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].MinHitTaken, 0);
  EXPECT_EQ(events[0].MaxHitTaken, INT32_MAX);
  EXPECT_EQ(events[0].HitsTaken, 5);
  EXPECT_EQ(events[0].DamageTaken, 5 + 3 * int64_t{INT32_MAX});

  const auto single = Build({Rec(0, "a gnoll", "Tarlen", 42)}, {"a gnoll"});
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(single[0].MaxHitDealt, 42);
  EXPECT_EQ(single[0].MinHitDealt, 42);
  EXPECT_EQ(single[0].Duration, 1);
  EXPECT_EQ(single[0].StartDate, single[0].EndDate);
}

TEST(BuildEvents, ClockGoingBackCountsAHitOnce) {
  // Two fights of the same mob, then the clock goes back an hour in the middle
  // of the second: the records stay in the second fight only.
  const auto events =
      Build({Rec(0, "Tarlen", "a gnoll", 1), Rec(10, "Tarlen", "a gnoll", 2),
             Rec(100, "Tarlen", "a gnoll", 4), Rec(110, "Tarlen", "a gnoll", 8),
             Rec(115 - 3600, "Tarlen", "a gnoll", 16), Rec(120 - 3600, "Tarlen", "a gnoll", 32)},
            {"a gnoll"});
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].DamageTaken, 3);
  EXPECT_EQ(events[0].HitsTaken, 2);
  EXPECT_EQ(events[0].EndCounter, 1);
  EXPECT_EQ(events[1].DamageTaken, 60);
  EXPECT_EQ(events[1].HitsTaken, 4);
  EXPECT_EQ(events[1].EndCounter, 5);
  EXPECT_EQ(events[1].EndDate.seconds, kStart.seconds + 120 - 3600);
  // The end lies before the start: the stored duration is still at least 1.
  EXPECT_EQ(events[1].Duration, 1);
}

TEST(BuildEvents, NothingQualifiesLeavesOneEmptyEvent) {
  for (const auto& events : {Build({}, {""}), Build({Rec(0, "a rat", "Tarlen", 3)}, {"a gnoll"}),
                             Build({Rec(0, "Tarlen", "a gnoll", 3, kMiss)}, {"a gnoll"})}) {
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].Name, "");
    EXPECT_EQ(events[0].HitsTaken + events[0].HitsDealt, 0);
    EXPECT_EQ(events[0].Duration, 1);
  }
}

TEST(IsMob, ExactNamesAndTheEmptyEntry) {
  const std::vector<std::string_view> empty_list{""};
  const std::vector<std::string_view> mobs{"a gnoll", "A gnoll"};
  for (std::string_view name : {"", "a gnoll", "A gnoll", "a gnol", "a gnoll "}) {
    EXPECT_EQ(IsMob(empty_list, name), name.empty()) << name;
    EXPECT_EQ(IsMob(mobs, name), name == "a gnoll" || name == "A gnoll") << name;
  }
}

enum class Rule {
  kEveryAcceptingEvent,   // as first described: each accepting event takes the record
  kLatestAcceptingEvent,  // mended: the most recently opened accepting event takes it
};

// The grouping written plainly: every event of the table is tested for every
// record.
std::vector<EventRecord> PlainGrouping(const DamageTable& table,
                                       const std::vector<std::string_view>& mobs, int32_t gap,
                                       Rule rule) {
  std::vector<EventRecord> events(1);
  auto take = [](EventRecord& e, const DamageRecord& r, bool dealt, int64_t i) {
    int64_t& sum = dealt ? e.DamageDealt : e.DamageTaken;
    int64_t& max = dealt ? e.MaxHitDealt : e.MaxHitTaken;
    int64_t& min = dealt ? e.MinHitDealt : e.MinHitTaken;
    int64_t& hits = dealt ? e.HitsDealt : e.HitsTaken;
    sum += r.Damage;
    if (hits == 0 || r.Damage > max) max = r.Damage;
    if (hits == 0 || r.Damage < min) min = r.Damage;
    hits += 1;
    if (e.StartCounter > i) e.StartDate = r.Date, e.StartCounter = i;
    if (e.EndCounter < i) e.EndDate = r.Date, e.EndCounter = i;
  };
  auto open = [&](const DamageRecord& r, std::string_view mob, bool dealt, int64_t i) {
    EventRecord e;
    e.Name = std::string(mob);
    e.StartDate = e.EndDate = r.Date;
    e.StartCounter = e.EndCounter = i;
    take(e, r, dealt, i);
    return e;
  };
  for (size_t i = 0; i < table.size(); ++i) {
    const DamageRecord r = table[i];
    if (!(0 < r.Type && r.Type < 4)) continue;
    const bool dealt = IsMob(mobs, r.Dealer);
    if (!dealt && !IsMob(mobs, r.Taker)) continue;
    const std::string_view mob = dealt ? r.Dealer : r.Taker;
    const int64_t index = static_cast<int64_t>(i);
    if (events[0].Name.empty()) {
      events[0] = open(r, mob, dealt, index);
      continue;
    }
    bool taken = false;
    for (size_t k = events.size(); k-- > 0 && !(taken && rule == Rule::kLatestAcceptingEvent);) {
      EventRecord& e = events[k];
      if (e.Name == mob && (r.Date.seconds - e.EndDate.seconds <= gap ||
                            r.Date.seconds - e.StartDate.seconds <= gap)) {
        take(e, r, dealt, index);
        taken = true;
      }
    }
    if (!taken) events.push_back(open(r, mob, dealt, index));
  }
  for (EventRecord& e : events) {
    e.Duration = std::max<int64_t>(1, e.EndDate.seconds - e.StartDate.seconds);
  }
  return events;
}

auto Fields(const EventRecord& e) {
  return std::tuple(e.Name, e.DamageTaken, e.DamageDealt, e.StartDate.seconds, e.EndDate.seconds,
                    e.Duration, e.StartCounter, e.EndCounter, e.MaxHitTaken, e.MinHitTaken,
                    e.HitsTaken, e.MaxHitDealt, e.MinHitDealt, e.HitsDealt);
}

void ExpectSameEvents(const std::vector<EventRecord>& got, const std::vector<EventRecord>& want,
                      int round) {
  ASSERT_EQ(got.size(), want.size()) << "round " << round;
  for (size_t k = 0; k < got.size(); ++k) {
    EXPECT_EQ(Fields(got[k]), Fields(want[k])) << "round " << round << " event " << k;
  }
}

struct Generated {
  DamageTable table;
  std::vector<std::string_view> mobs;
  int32_t gap;
};

// Random fights among a few names; mobs of the list, other names and the
// empty name deal and take damage; the clock moves forward by random steps and,
// when `clock_goes_back`, sometimes jumps back by up to two hours.
Generated Generate(std::mt19937_64& rng, bool clock_goes_back) {
  static constexpr std::string_view kNames[] = {"",      "Tarlen",  "a gnoll", "an orc",
                                                "a rat", "Soandso", "A gnoll"};
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  Generated g;
  switch (pick(4)) {
    case 0:
      g.mobs = {""};
      break;
    case 1:
      g.mobs = {"a gnoll"};
      break;
    case 2:
      g.mobs = {"a gnoll", "an orc", "A gnoll"};
      break;
    default:
      g.mobs = {"an orc", "", "a rat"};
      break;
  }
  g.gap = static_cast<int32_t>(18 + 6 * pick(148));
  std::vector<DamageRecord> records(pick(400));
  int64_t second = 0;
  for (DamageRecord& r : records) {
    if (pick(3) == 0) second += static_cast<int64_t>(pick(static_cast<size_t>(3 * g.gap)));
    if (clock_goes_back && pick(60) == 0) second -= static_cast<int64_t>(pick(7200));
    r.Date = DateTime{kStart.seconds + second};
    r.Dealer = kNames[pick(std::size(kNames))];
    r.Taker = kNames[pick(std::size(kNames))];
    r.Type = static_cast<int32_t>(pick(10));
    r.Damage = static_cast<int32_t>(pick(200)) - 2;
    r.Name = "hit";
  }
  g.table = DamageTable::FromRecords(records);
  return g;
}

TEST(BuildEvents, MatchesThePlainRuleOnRandomRecords) {
  std::mt19937_64 rng(20051231);
  for (int round = 0; round < 400; ++round) {
    const Generated g = Generate(rng, /*clock_goes_back=*/false);
    ExpectSameEvents(BuildEvents(g.table, g.mobs, g.gap),
                     PlainGrouping(g.table, g.mobs, g.gap, Rule::kEveryAcceptingEvent), round);
  }
  for (int round = 0; round < 400; ++round) {
    const Generated g = Generate(rng, /*clock_goes_back=*/true);
    ExpectSameEvents(BuildEvents(g.table, g.mobs, g.gap),
                     PlainGrouping(g.table, g.mobs, g.gap, Rule::kLatestAcceptingEvent), round);
  }
}

}  // namespace
}  // namespace ombrel
