#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "events/BuildEvents.h"
#include "events/Encounters.h"
#include "events/LiveLog.h"
#include "parse/ParseLog.h"
#include "shared/DamageTable.h"
#include "support/GeneratedLog.h"

namespace ombrel {
namespace {

constexpr int32_t kGap = 18;

std::string Text(const DamageRecord& r) {
  std::ostringstream s;
  s << r.Date.seconds << '|' << r.Dealer << '|' << r.Taker << '|' << r.Damage << '|' << r.Crit
    << '|' << r.Type << '|' << r.Name << '|' << r.Counter;
  return s.str();
}

std::string Text(const EventRecord& e) {
  std::ostringstream s;
  s << e.Name << '|' << e.DamageTaken << ' ' << e.HitsTaken << ' ' << e.MinHitTaken << ' '
    << e.MaxHitTaken << '|' << e.DamageDealt << ' ' << e.HitsDealt << ' ' << e.MinHitDealt << ' '
    << e.MaxHitDealt << '|' << e.StartCounter << '-' << e.EndCounter << '|' << e.StartDate.seconds
    << ' ' << e.EndDate.seconds << '|' << e.Duration;
  return s.str();
}

std::string Text(const WrittenNames& w) {
  return std::to_string(w.index) + '|' + std::string(w.Dealer) + '|' + std::string(w.Taker);
}

std::string Text(std::string_view name) {
  return std::string(name);
}

// The heals and deaths beside the records, one text each.
std::vector<std::string> LifeTexts(const DamageTable& table) {
  std::vector<std::string> texts;
  for (size_t k = 0; k < table.HealCount(); ++k) {
    const HealRecord h = table.Heal(k);
    texts.push_back(std::string(h.Healer) + '>' + std::string(h.Target) + ' ' +
                    std::to_string(h.Amount) + ' ' + std::to_string(h.Crit) + ' ' +
                    std::to_string(h.Counter));
  }
  for (size_t k = 0; k < table.DeathCount(); ++k) {
    const DeathRecord d = table.Death(k);
    texts.push_back(std::string(d.Victim) + '<' + std::string(d.Killer) + ' ' +
                    std::to_string(d.Counter));
  }
  return texts;
}

// Each record, event, written name or mob as one text.
template <class Items>
std::vector<std::string> Texts(const Items& items) {
  std::vector<std::string> texts;
  for (size_t i = 0; i < items.size(); ++i) texts.push_back(Text(items[i]));
  return texts;
}

// What a one-shot parse and BuildEvents give for `log`.
struct OneShot {
  ParseResult parse;
  std::vector<EventRecord> events;
};

OneShot ParseOnce(std::string_view log, LineRules rules) {
  OneShot once;
  once.parse = ParseLogText(log, "Tarlen", AttackVerbsOf(rules), rules);
  once.events = BuildEvents(once.parse.DamageTable, once.parse.MobList, kGap);
  return once;
}

// The bytes up to the last CR LF: what a live view describes.
std::string_view UpToLastLineEnd(std::string_view log) {
  const size_t end = log.rfind("\r\n");
  return end == std::string_view::npos ? std::string_view() : log.substr(0, end + 2);
}

// The encounters as lists of fights, after checking what makes them
// encounters: each fight in exactly one, and fights of different ones more
// than the gap apart.
std::vector<std::vector<int32_t>> CheckedEncounters(std::span<const EventRecord> events) {
  const Encounters grouped = GroupEncounters(events, kGap);
  std::vector<std::vector<int32_t>> lists;
  std::vector<int> seen(events.size() + 1, 0);
  for (size_t e = 0; e < grouped.size(); ++e) {
    lists.emplace_back(grouped.FightsOf(e).begin(), grouped.FightsOf(e).end());
    for (const int32_t n : lists.back()) ++seen.at(static_cast<size_t>(n));
  }
  auto lo = [&](int32_t n) { return std::min(events[n - 1].StartDate, events[n - 1].EndDate); };
  auto hi = [&](int32_t n) { return std::max(events[n - 1].StartDate, events[n - 1].EndDate); };
  for (size_t e = 0; e + 1 < lists.size(); ++e)
    for (const int32_t a : lists[e])
      for (const int32_t b : lists[e + 1]) {
        EXPECT_GT(std::max(SecondsBetween(hi(a), lo(b)), SecondsBetween(hi(b), lo(a))), kGap);
      }
  const bool fights =
      !(events.size() == 1 && events[0].Name.empty() && events[0].StartDate.seconds == 0);
  for (size_t n = 1; n < seen.size(); ++n) EXPECT_EQ(seen[n], fights ? 1 : 0) << "fight " << n;
  return lists;
}

void ExpectSameAsOneShot(const LiveLog& live, std::string_view prefix, LineRules rules,
                         const std::string& where) {
  const OneShot once = ParseOnce(prefix, rules);
  SCOPED_TRACE(where);
  ASSERT_EQ(live.lines(), once.parse.lines);
  ASSERT_EQ(live.unreadable_lines(), once.parse.unreadable_lines);
  ASSERT_EQ(Texts(live.MobList()), Texts(once.parse.MobList));
  ASSERT_EQ(Texts(live.Table()), Texts(once.parse.DamageTable));
  ASSERT_EQ(LifeTexts(live.Table()), LifeTexts(once.parse.DamageTable));
  ASSERT_EQ(Texts(live.Written()), Texts(once.parse.written_names));
  ASSERT_EQ(Texts(live.Events()), Texts(once.events));
  ASSERT_EQ(CheckedEncounters(live.Events()), CheckedEncounters(once.events));
}

// A generated log with lines put in that the generator does not write: a mob
// hitting another before either is one, both becoming mobs later (the hits
// then count for the dealer, taken away from the other's events), and a
// group member the character attacks late, whose earlier hits then count as
// hers.
std::string LogWithLateMobs(uint64_t seed, bool clock_back, bool extended_kinds) {
  const std::string generated = testing::GeneratedLog(seed, 48 << 10, [&](auto& o) {
    o.malformed_rate = 0.01;
    o.clock_goes_back = clock_back;
    o.extended_kinds = extended_kinds;
  });

  std::vector<std::string> lines;
  for (size_t start = 0; start < generated.size();) {
    size_t end = generated.find("\r\n", start);
    end = end == std::string::npos ? generated.size() : end + 2;
    lines.push_back(generated.substr(start, end - start));
    start = end;
  }
  std::mt19937_64 random(seed);
  const size_t count = lines.size();
  auto stamp_at = [&lines](size_t at) { return lines[at].substr(0, 27); };
  std::vector<std::pair<size_t, std::string>> extra;
  auto put = [&](size_t at, const std::string& message) {
    extra.emplace_back(at, stamp_at(at) + message + "\r\n");
  };
  for (int k = 0; k < 12; ++k) {
    const size_t at = random() % (count / 2);
    put(at, "a bear hits a wolf for 7 points of damage.");
    put(at, "Quessa hits a wolf for 9 points of damage.");
    put(at + random() % 40, "a wolf hits Quessa for 4 points of damage.");
  }
  // Spellings met late: a pet and its warder before their owner, who then
  // shows up in lower case (under the extended rules both take its first
  // letter, the pet after it became a mob), and the character in lower case.
  put(count / 6, "A boar`s pet`s warder hits Tarlen for 2 points of damage.");
  put(count / 6 + 1, "A boar`s pet hits Tarlen for 3 points of damage.");
  put(count / 5, "A bear hits Quessa for 5 points of damage.");
  // Deaths: of a name no record has shown yet, spelled otherwise than the
  // record that then starts its party, and of a mob in the other spelling.
  put(count / 5 + 2, "A fox has been slain by Quessa!");
  put(count / 5 + 9, "Quessa hits a fox for 3 points of damage.");
  put(count / 4 + 3, "You slash a fox for 4 points of damage.");
  put(count / 3 + 2, "A wolf has been slain by Quessa!");
  put(count / 4, "You slash a boar`s pet for 5 points of damage.");
  put(count / 3 + 5, "a boar hits tarlen for 4 points of damage.");
  put(count / 2 + 3, "You slash a boar`s pet`s warder for 6 points of damage.");
  put(count / 3, "You slash a wolf for 12 points of damage.");
  // Extended rules: a wolf's death closes its fight; an announced critical hit.
  put(count / 3, "a wolf has been slain by Quessa!");
  put(count / 3, "Quessa scores a critical hit! (9)");
  put(count / 3, "Quessa hits a wolf for 9 points of damage.");
  put(count / 2, "You slash a bear for 13 points of damage.");
  put(count / 2 + count / 8, "You slash Quessa for 2 points of damage.");
  put(count / 2 + count / 8, "a bear hits a wolf for 8 points of damage.");
  std::stable_sort(extra.begin(), extra.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string log;
  size_t next = 0;
  for (size_t i = 0; i < count; ++i) {
    while (next < extra.size() && extra[next].first == i) log += extra[next++].second;
    log += lines[i];
  }
  return log;
}

// Feeds `log` in random pieces (some a byte long, some splitting a CR LF,
// the first a large one whose lines are classified on several threads), and
// after each compares the live view with a one-shot parse of the same
// prefix; at the end, Finish with a one-shot parse of the whole.
void FollowInPieces(const std::string& log, LineRules rules, uint64_t seed) {
  std::mt19937_64 random(seed);
  LiveLog live("Tarlen", AttackVerbsOf(rules), rules, kGap, 0,
               ParseSharing{.threads = 3, .chunk_bytes = 2048});
  size_t fed = 0;
  int pieces = 0;
  while (fed < log.size()) {
    size_t size = 1 + random() % (random() % 4 == 0 ? 8 : 1500);
    if (fed == 0) size = log.size() / 3;
    // Now and then a piece that ends between CR and LF.
    const size_t cr = log.find('\r', fed + 1);
    if (random() % 5 == 0 && cr != std::string::npos) size = cr + 1 - fed;
    size = std::min(size, log.size() - fed);
    live.Feed(std::string_view(log).substr(fed, size));
    fed += size;
    live.Refresh();
    ExpectSameAsOneShot(
        live, UpToLastLineEnd(std::string_view(log).substr(0, fed)), rules,
        "after " + std::to_string(fed) + " bytes, piece " + std::to_string(++pieces));
    if (::testing::Test::HasFatalFailure()) return;
  }
  LiveLog::Final final = live.Finish();
  const OneShot once = ParseOnce(log, rules);
  EXPECT_EQ(final.parse.lines, once.parse.lines);
  EXPECT_EQ(Texts(final.parse.MobList), Texts(once.parse.MobList));
  EXPECT_EQ(Texts(final.parse.DamageTable), Texts(once.parse.DamageTable));
  EXPECT_EQ(LifeTexts(final.parse.DamageTable), LifeTexts(once.parse.DamageTable));
  EXPECT_EQ(Texts(final.parse.written_names), Texts(once.parse.written_names));
  EXPECT_EQ(Texts(final.events), Texts(once.events));
}

TEST(LiveLog, EveryPrefixAgreesWithAOneShotParse) {
  for (const uint64_t seed : {1, 2, 3, 4}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const std::string log = LogWithLateMobs(seed, seed % 2 == 0, seed == 4);
    for (const LineRules rules : {LineRules::kDefault, LineRules::kExtended}) {
      SCOPED_TRACE(rules == LineRules::kExtended ? "extended rules" : "default rules");
      FollowInPieces(log, rules, seed);
    }
    // The log's lines ending at LF alone: nothing shows until the end.
    std::string lf_only;
    for (const char c : log)
      if (c != '\r') lf_only += c;
    if (seed == 1) FollowInPieces(lf_only, LineRules::kDefault, seed);
    // LF-only lines first, then CR LF ones: the first CR LF makes the LFs
    // before it plain bytes of a line.
    if (seed == 2) FollowInPieces(lf_only.substr(0, 3000) + log, LineRules::kDefault, seed);
  }
}

TEST(LiveLog, APieceClassifiedApartSeesTheNamesAsTheLinesWroteThem) {
  // Under the extended rules a refresh shows the cast by "a gnoll" as cast by
  // "A gnoll", the spelling met first. The hit that completes it starts a
  // stretch of the next piece classified on another thread.
  const std::string head =
      "[Sat Dec 31 22:30:00 2005] A gnoll hits YOU for 11 points of damage.\r\n"
      "[Sat Dec 31 22:30:01 2005] a gnoll begins to cast a spell. <Fire Shard>\r\n";
  std::string piece;
  for (int k = 0; k < 40; ++k) piece += "[Sat Dec 31 22:30:02 2005] Ann says, 'hold'\r\n";
  piece += "[Sat Dec 31 22:30:02 2005] a gnoll hit Tarlen for 30 points of non-melee damage.\r\n";
  LiveLog live("Tarlen", AttackVerbsOf(LineRules::kExtended), LineRules::kExtended, kGap, 0,
               ParseSharing{.threads = 2, .chunk_bytes = 64});
  live.Feed(head);
  live.Refresh();
  ExpectSameAsOneShot(live, head, LineRules::kExtended, "the cast");
  // Half a line read: still the same.
  live.Feed(std::string_view(piece).substr(0, 20));
  live.Refresh();
  ExpectSameAsOneShot(live, head, LineRules::kExtended, "half a line");
  live.Feed(std::string_view(piece).substr(20));
  live.Refresh();
  ExpectSameAsOneShot(live, head + piece, LineRules::kExtended, "the cast completed");
}

TEST(LiveLog, AMalformedLineMakingTheEmptyNameAMobAgreesWithAOneShotParse) {
  const char* const lines[] = {
      "[Sat Dec 31 22:30:00 2005] A rat hits Ann for 3 points of damage.\r\n",
      "[Sat Dec 31 22:30:01 2005] You hit  for 5 points of damage.\r\n",
      "[Sat Dec 31 22:30:02 2005] A rat hits  for 4 points of damage.\r\n",
      "[Sat Dec 31 22:30:03 2005] You hit a rat for 5 points of damage.\r\n",
      "[Sat Dec 31 22:30:04 2005]  hits a rat for 6 points of damage.\r\n",
      "[Sat Dec 31 22:30:05 2005] You hit a bat for 7 points of damage.\r\n",
  };
  LiveLog live("Tarlen", AttackVerbsOf(LineRules::kDefault), LineRules::kDefault, kGap, 0);
  std::string so_far;
  for (const char* line : lines) {
    so_far += line;
    live.Feed(line);
    live.Refresh();
    ExpectSameAsOneShot(live, so_far, LineRules::kDefault, line);
  }
}

}  // namespace
}  // namespace ombrel
