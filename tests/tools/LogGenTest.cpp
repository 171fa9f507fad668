#include "loggen/LogGen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "parse/LogLineTime.h"
#include "support/TestFiles.h"

namespace {
using namespace ombrel::loggen;

std::string Gen(const Options& o, Stats* st = nullptr) {
  std::ostringstream out(std::ios::binary);
  const Stats s = Generate(o, out);
  if (st) *st = s;
  return out.str();
}

// Lines as the parser splits them: at CR LF only. The final CR LF leaves an empty last piece.
std::vector<std::string_view> Lines(const std::string& s) {
  std::vector<std::string_view> v;
  size_t b = 0;
  for (size_t e; (e = s.find("\r\n", b)) != std::string::npos; b = e + 2)
    v.emplace_back(s.data() + b, e - b);
  v.emplace_back(s.data() + b, s.size() - b);
  return v;
}

// The time of a line that opens with a whole "[Www Mmm DD HH:MM:SS YYYY] " stamp, read as the
// parser reads it, or nothing.
std::optional<ombrel::DateTime> StampTime(std::string_view l) {
  if (l.size() < 28 || l[0] != '[' || l.substr(25, 2) != "] ") return std::nullopt;
  return ombrel::LogLineTime(l);
}

TEST(LogGen, CleanLogIsWellFormedAndCoversEveryMessageKind) {
  Options o;
  o.target_bytes = 2 << 20;
  o.malformed_rate = 0;
  Stats st;
  const std::string plain = Gen(o, &st);
  ASSERT_EQ(plain.size(), st.bytes);
  EXPECT_TRUE(std::all_of(plain.begin(), plain.end(), [](char c) {
    return (c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n';
  }));
  const auto lines = Lines(plain);
  ASSERT_EQ(lines.size(), st.lines + 1);
  EXPECT_TRUE(lines.back().empty());  // the last line ends with CR LF too
  ombrel::DateTime prev{0};
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    ASSERT_EQ(lines[i].find_first_of("\r\n"), std::string_view::npos) << "lone break in line " << i;
    const auto t = StampTime(lines[i]);
    ASSERT_TRUE(t && t->seconds >= prev.seconds) << "bad or backward stamp in line " << i;
    prev = *t;
  }
  EXPECT_EQ(st.malformed_lines, 0u);
  EXPECT_GT(st.combat_lines * 10, st.lines * 4);  // roughly half of the log is combat
  EXPECT_LT(st.combat_lines * 10, st.lines * 7);
  // A phrase of each kind of message the parser reads or must pass over; the
  // owner's defences and misses are in every log.
  for (const char* s :
       {" slashes ", "You frenzy on ", " tries to hit YOU, but misses!", " ripostes!",
        " begins to cast a spell. <", "<Glyph of ", " points of non-melee damage.",
        " damage from Ann by ", "`s warder ", " is enveloped in ethereal energy.",
        " has healed you for ", " tells you, '", "tells the group, 'I begin casting",
        "[Sun Jan 01 00:", ", but YOU parry!", ", but miss!", ", but a gnoll parries!"})
    EXPECT_NE(plain.find(s), std::string::npos) << s;

  // The extended kinds only when asked, among them a damage over time on the
  // owner without a dealer ("You have taken 8 damage from Spell.").
  o.extended_kinds = true;
  const std::string extended = Gen(o);
  const auto no_dealer = [](const std::string& log) {
    for (const std::string_view l : Lines(log))
      if (l.find("You have taken ") != l.npos && l.find(" by ") == l.npos) return true;
    return false;
  };
  EXPECT_TRUE(no_dealer(extended) && !no_dealer(plain));
  for (const char* s : {" was hit by non-melee for ", " points of fire damage by ",
                        " is burned by YOUR flames for ", " damage. (Critical)", "You cleave "}) {
    EXPECT_NE(extended.find(s), std::string::npos) << s;
    EXPECT_EQ(plain.find(s), std::string::npos) << s;
  }
}

// Also the proof that the same options give the same bytes, run after run.
TEST(LogGen, TheBundledSampleRegeneratesByteForByte) {
  const std::string sample = ombrel::testing::ReadFile(OMBREL_SAMPLE_LOG);
  ASSERT_FALSE(sample.empty()) << OMBREL_SAMPLE_LOG;
  Options o;  // ombrel-loggen --seed 5 --size 300K --harmless --malformed 0.0012
  o.seed = 5;
  o.target_bytes = 300 << 10;
  o.malformed_kinds = kMalformedHarmless;
  o.malformed_rate = 0.0012;
  EXPECT_TRUE(Gen(o) == sample);
}

TEST(LogGen, StopsJustPastTheRequestedSize) {
  for (uint64_t target : {0ull, 1ull, 999ull, 123456ull, 3000000ull}) {
    Options o;
    o.target_bytes = target;
    Stats st;
    const std::string log = Gen(o, &st);
    EXPECT_EQ(log.size(), st.bytes);
    EXPECT_GE(st.bytes, target);
    EXPECT_LT(st.bytes, target + 400) << "target " << target;  // at most one line more
  }
}

}  // namespace
