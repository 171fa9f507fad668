#include <gtest/gtest.h>
#include <re2/re2.h>

#include <sstream>
#include <string>
#include <vector>

#include "events/BuildEvents.h"
#include "logtext/FoldCase.h"
#include "logtext/LineIndex.h"
#include "logtext/LogLines.h"
#include "logtext/LogSearch.h"
#include "parse/ParseLog.h"
#include "support/GeneratedLog.h"
#include "support/TestFiles.h"

namespace ombrel {
namespace {

using testing::TempDir;
using testing::WriteFile;

// The lines of a log as the parser cuts them, each with where it starts
// (the rest after the last line end only when not empty).
struct RefLine {
  uint64_t offset;
  std::string text;
};
std::vector<RefLine> RefLines(const std::string& log) {
  const bool crlf = log.find("\r\n") != std::string::npos;
  const std::string end = crlf ? "\r\n" : "\n";
  std::vector<RefLine> lines;
  size_t start = 0;
  for (size_t at; (at = log.find(end, start)) != std::string::npos; start = at + end.size()) {
    lines.push_back({start, log.substr(start, at - start)});
  }
  if (start < log.size()) lines.push_back({start, log.substr(start)});
  return lines;
}

// The matching lines found the plain way: line by line, "line:text".
std::vector<std::string> RefSearch(const std::string& log, const SearchQuery& q) {
  RE2::Options options;
  options.set_encoding(RE2::Options::EncodingLatin1);
  options.set_case_sensitive(q.match_case);
  const RE2 re("(?m)" + q.text, options);
  std::vector<std::string> found;
  const std::vector<RefLine> lines = RefLines(log);
  for (size_t k = 0; k < lines.size(); ++k) {
    const std::string& line = lines[k].text;
    const bool text = q.regex        ? RE2::PartialMatch(line, re)
                      : q.match_case ? line.find(q.text) != std::string::npos
                                     : FoldCase(line).find(FoldCase(q.text)) != std::string::npos;
    const auto n = static_cast<int64_t>(k);
    if (text && n >= q.first_line && n <= q.last_line &&
        (q.name.empty() || line.find(q.name) != std::string::npos)) {
      found.push_back(std::to_string(k) + ":" + line);
    }
  }
  return found;
}

std::vector<std::string> Search(const std::filesystem::path& path, const LineIndex* index,
                                const SearchQuery& q, size_t piece = kLogReadPiece) {
  std::vector<std::string> found;
  auto matcher = LineMatcher::Make(q);
  EXPECT_TRUE(std::holds_alternative<LineMatcher>(matcher)) << std::get<std::string>(matcher);
  auto summary = SearchLog(
      path, index, std::get<LineMatcher>(matcher),
      [&](const LineMatch& m) {
        found.push_back(std::to_string(m.line) + ":" + std::string(m.text));
      },
      {}, piece);
  EXPECT_TRUE(std::holds_alternative<SearchSummary>(summary));
  return found;
}

LineIndex Index(const std::filesystem::path& path) {
  auto built = BuildLineIndex(path);
  EXPECT_TRUE(std::holds_alternative<LineIndex>(built));
  return std::move(std::get<LineIndex>(built));
}

std::string LfOnly(std::string log) {
  for (size_t at; (at = log.find("\r\n")) != std::string::npos;) log.erase(at, 1);
  return log;
}

SearchQuery Query(std::string text, bool regex = false, bool match_case = false) {
  SearchQuery q;
  q.text = std::move(text);
  q.regex = regex;
  q.match_case = match_case;
  return q;
}

// A hand-made log: Windows-1252 names in both cases, a CR inside a line, an
// empty line, a last line without its end.
const std::string kSmallLog =
    "[Mon Jan 02 15:04:05 2006] \xC6rvin hits a gnoll for 3 points of damage.\r\n"
    "[Mon Jan 02 15:04:06 2006] \xE6RVIN says, 'x\ry'\r\n"
    "\r\n"
    "[Mon Jan 02 15:04:07 2006] You hit \x8Akoda for 4 points of damage.\r\n"
    "[Mon Jan 02 15:04:08 2006] \x9Akoda hits YOU for 5 points of damage.";

TEST(LogSearchTest, EqualsALineByLineScan) {
  TempDir dir;
  const std::string generated = testing::GeneratedLog(7, 300 << 10);
  const std::vector<SearchQuery> queries = {
      Query("\xE6rvin"),
      Query("\x8A"
            "KODA"),
      Query("hits YOU", false, true),
      Query(" for "),
      Query("damage.$", true),
      Query("^\\[.*(slash|crush)es .* for \\d+", true),
      Query("x*", true),
      Query("SAYS", true),
      Query(""),
      Query("^$", true),
  };
  struct Case {
    std::string name;
    std::string log;
    std::vector<size_t> pieces;
  };
  std::vector<Case> cases = {{"small CR LF", kSmallLog, {}},
                             {"small LF", LfOnly(kSmallLog), {}},
                             {"generated CR LF", generated, {4093, 65536, kLogReadPiece}},
                             {"generated LF", LfOnly(generated), {4093, kLogReadPiece}}};
  // The small logs are read in pieces of every size up to their own.
  for (Case& c : cases) {
    for (size_t k = 1; c.pieces.empty() && k <= c.log.size() + 1; ++k) c.pieces.push_back(k);
  }
  for (Case& c : cases) {
    const auto path = dir / "log.txt";
    WriteFile(path, c.log);
    const LineIndex index = Index(path);
    EXPECT_EQ(index.Lines(), static_cast<int64_t>(RefLines(c.log).size())) << c.name;
    for (SearchQuery q : queries) {
      const auto expected = RefSearch(c.log, q);
      for (size_t piece : c.pieces) {
        ASSERT_EQ(Search(path, nullptr, q, piece), expected)
            << c.name << " " << q.text << " " << piece;
      }
      // Limited to lines 3 to 40 and to a name, through the index.
      q.first_line = 3;
      q.last_line = 40;
      q.name = "You";
      EXPECT_EQ(Search(path, &index, q), RefSearch(c.log, q)) << c.name << " " << q.text;
    }
  }
}

TEST(LogSearchTest, ABadPatternIsAMessageAndAHostileOneEnds) {
  auto bad = LineMatcher::Make(Query("(a+", true));
  ASSERT_TRUE(std::holds_alternative<std::string>(bad));
  EXPECT_EQ(std::get<std::string>(bad), "not a valid regular expression: missing ): (a+");

  TempDir dir;
  WriteFile(dir / "a.txt", std::string(200000, 'a') + "\r\n" + std::string(5000, 'a') + "b\r\n");
  EXPECT_EQ(Search(dir / "a.txt", nullptr, Query("(a+)+$", true)).size(), 1u);
}

TEST(LogLinesTest, ViewAroundLinesAndAFightsBytes) {
  TempDir dir;
  const std::string crlf = testing::GeneratedLog(3, 200 << 10);
  for (const std::string& log : {crlf, LfOnly(crlf)}) {
    const auto path = dir / "log.txt";
    WriteFile(path, log);
    const LineIndex index = Index(path);
    const std::vector<RefLine> ref = RefLines(log);
    ASSERT_GT(index.Bytes(), 2 * LineIndex::kBlockBytes);
    auto file = std::get<LogFile>(LogFile::Open(path));
    // The view around the first, a middle and the last line.
    const auto n = static_cast<int64_t>(ref.size());
    for (int64_t around : {int64_t{0}, n / 2, n - 1}) {
      const int64_t first = std::max<int64_t>(0, around - 3);
      auto read = ReadLines(file, index, first, 7);
      ASSERT_TRUE(std::holds_alternative<std::vector<std::string>>(read));
      const auto& lines = std::get<std::vector<std::string>>(read);
      ASSERT_EQ(static_cast<int64_t>(lines.size()), std::min<int64_t>(7, n - first));
      for (size_t k = 0; k < lines.size(); ++k) EXPECT_EQ(lines[k], ref[first + k].text);
    }
    // Where every line starts, blocks' edges included.
    for (size_t k = 0; k < ref.size(); k += 5) {
      ASSERT_EQ(std::get<uint64_t>(index.LineStart(file, static_cast<int64_t>(k))), ref[k].offset);
    }
    // Each fight's lines are the bytes from its first line's start to its last line's end.
    ParseResult parse = ParseLogText(log, "Tarlen");
    const std::vector<EventRecord> events = BuildEvents(parse.DamageTable, parse.MobList, 18);
    const ParsedLog parsed(std::move(parse.DamageTable), parse.MobList, events);
    ASSERT_GT(events.size(), 3u);
    for (const EventRecord& event : events) {
      const auto span = FightLines(parsed, event);
      ASSERT_TRUE(span);
      std::ostringstream saved;
      EXPECT_FALSE(CopyLines(file, index, *span, saved));
      const size_t stop = static_cast<size_t>(span->last + 1) < ref.size()
                              ? ref[span->last + 1].offset
                              : log.size();
      ASSERT_EQ(saved.str(), log.substr(ref[span->first].offset, stop - ref[span->first].offset));
    }
  }
  // A log changed after it was indexed is told, not read; one that grew still is.
  const auto path = dir / "log.txt";
  const LineIndex index = Index(path);
  WriteFile(path, "more\n", std::ios::app);
  EXPECT_TRUE(std::holds_alternative<SearchSummary>(
      SearchLog(path, &index, std::get<LineMatcher>(LineMatcher::Make(Query("x"))), {})));
  WriteFile(path, "[Tue");
  auto changed = SearchLog(path, &index, std::get<LineMatcher>(LineMatcher::Make(Query("x"))), {});
  ASSERT_TRUE(std::holds_alternative<Failure>(changed));
  EXPECT_NE(std::get<Failure>(changed).reason.find("changed"), std::string::npos);
}

}  // namespace
}  // namespace ombrel
