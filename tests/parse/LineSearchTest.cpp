// The one-pass searches of the classifier against the plain searches they
// stand for, on random texts built from the pieces they look for.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "parse/LiteralSet.h"
#include "parse/StampLayout.h"
#include "parse/VerbScan.h"

namespace ombrel::testing {
namespace {

// A text of `length` bytes drawn from `pieces` and single bytes, some of them
// outside ASCII and NUL.
std::string RandomText(std::mt19937& random, size_t length,
                       const std::vector<std::string>& pieces) {
  std::string text;
  while (text.size() < length) {
    const unsigned pick = random() % 8;
    if (pick < 3) {
      text += pieces[random() % pieces.size()];
    } else if (pick == 3) {
      text += static_cast<char>(random() % 256);
    } else {
      text += " etaoinshrdlu"[random() % 13];
    }
  }
  text.resize(length);
  return text;
}

TEST(LineSearch, FindLiteralsAndFindTextAgreeWithThePlainSearch) {
  std::mt19937 random(7);
  const std::vector<std::string> literals = {"begin", "tries to",      " tell",
                                             " -> ",  "to your guild", "You have taken"};
  std::vector<std::string> pieces = {"begi", "tries t",       " te", " ->",
                                     " t",   "You have take", "\r\n"};
  pieces.insert(pieces.end(), literals.begin(), literals.end());
  // Lengths around the 16-byte blocks, the copied rest and the longest lines.
  for (size_t length = 0; length < 700; length += 1 + length / 16) {
    for (int round = 0; round < 40; ++round) {
      const std::string text = RandomText(random, length, pieces);
      const uint32_t found =
          FindLiterals<"begin", "tries to", " tell", " -> ", "to your guild", "You have taken">(
              text);
      for (size_t k = 0; k < literals.size(); ++k)
        EXPECT_EQ((found >> k) & 1u, ContainsText(text, literals[k]) ? 1u : 0u)
            << literals[k] << " in \"" << text << "\"";
      // The search the rules' cut-outs rest on, from any place.
      for (const std::string_view needle :
           {" tell", " -> ", "t", " ", "  ", " t ", "You have take"}) {
        const size_t from = length == 0 ? 0 : random() % (length + 2);
        ASSERT_EQ(FindText(text, needle, from), std::string_view(text).find(needle, from))
            << needle << " from " << from << " in \"" << text << "\"";
      }
    }
  }
}

TEST(LineSearch, AStampedLineIsSearchedPastItsStampWithTheSameResults) {
  std::mt19937 random(11);
  const std::vector<std::string> pieces = {" hits ",      " hit ",     " frenzies on ",
                                           " frenzy on ", " slashes ", " maul ",
                                           " mauls ",     "Mon",       "Jan",
                                           " 2",          "02",        ":",
                                           "]",           "[",         " ",
                                           "a gnoll"};
  const VerbScanner verbs(kAttackVerbs);
  const std::string layout(kStampLayout);
  int stamped = 0;
  for (int round = 0; round < 40000; ++round) {
    std::string line;
    if (round % 4 == 0) {
      line = RandomText(random, random() % 60, pieces);
    } else {
      // A stamp of the layout, sometimes with a piece written over part of it.
      for (const char place : layout) {
        const ByteRange range = StampLayoutRange(place);
        line += static_cast<char>(range.low + random() % (range.high - range.low + 1));
      }
      if (round % 3 == 0) {
        const std::string& piece = pieces[random() % pieces.size()];
        line.replace(random() % line.size(), 0, piece);
      }
      line += RandomText(random, random() % 80, pieces);
    }
    bool fits = line.size() >= layout.size();
    for (size_t k = 0; fits && k < layout.size(); ++k) fits = FitsStampLayout(layout[k], line[k]);
    ASSERT_EQ(OpensWithStamp(line), fits) << line;
    if (!fits) continue;
    ++stamped;
    const VerbMatch whole = verbs.Scan(line);
    const VerbMatch past_stamp = verbs.Scan(line, true);
    ASSERT_EQ(past_stamp.index, whole.index) << line;
    if (whole.found()) {
      ASSERT_EQ(past_stamp.at, whole.at) << line;
    }
    // No literal the classifier looks for can start inside a stamp.
    for (const std::string_view literal : {"begin", "damage", " tell", " -> ", "to your guild"}) {
      const size_t at = FindText(line, literal);
      if (at != std::string_view::npos) {
        ASSERT_GE(at, EarliestStartAfterStamp(literal)) << line;
      }
    }
  }
  EXPECT_GT(stamped, 10000);
}

}  // namespace
}  // namespace ombrel::testing
