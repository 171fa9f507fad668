#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "parse/LineEnds.h"
#include "parse/ParseResult.h"
#include "shared/AttackVerbs.h"
#include "shared/LineRules.h"

namespace ombrel {

// How a parser shares its work out: the whole lines of a large piece are cut
// into stretches of at least `chunk_bytes` (at most four per thread), which
// `threads` threads classify at once. 0 threads: as many as the machine runs
// at once; 1: every line on the thread that feeds the parser.
struct ParseSharing {
  unsigned threads = 0;
  size_t chunk_bytes = size_t{256} << 10;
};

// Classifies a log handed over in pieces, in log order, each of any size: a
// line may run across pieces (its start is kept until its end arrives, or
// until it is longer than kLongestLine: it is then skipped). Lines end at CR
// LF; in a log that holds no CR LF at all, at LF alone. Until the first CR LF
// shows, the log's start is held; past a few megabytes without one its lines
// are classified as ending at LF, and a CR LF after that makes everything
// before it one overlong line. So no more than a few megabytes are ever held,
// whatever the bytes. A caller that knows beforehand says so (LinesEndAtLf).
// The records keep their texts in the damage table's own text table, so a
// piece may be dropped as soon as Feed returns. The result is the same
// whatever the pieces: one piece, a file read in blocks, or bytes appended
// later; and whatever the sharing.
class LogParser {
 public:
  // `expected_bytes`, the log's size when known, lets the record table be
  // reserved once instead of growing as it fills.
  LogParser(std::string_view character_name, AttackVerbList verbs,
            LineRules rules = LineRules::kDefault, size_t expected_bytes = 0,
            ParseSharing sharing = {});
  ~LogParser();
  LogParser(const LogParser&) = delete;
  LogParser& operator=(const LogParser&) = delete;

  // Before the first Feed, by a caller that knows the whole log holds no CR
  // LF (a file looked through beforehand): its lines end at LF, and are
  // classified as their pieces come instead of the log being held.
  void LinesEndAtLf() { lf_known_ = true; }

  // Classifies every line that ends in `piece`; keeps the unended rest.
  void Feed(std::string_view piece);

  // Bytes fed so far.
  uint64_t bytes() const { return bytes_; }
  // Bytes held between two Feeds: an unended line, or the log's start while
  // its line ends are not known.
  size_t HeldBytes() const { return carry_.size() + held_.size(); }

  // What Finish would hand over had the log ended right after the last line
  // end fed so far, without spending the parser: the records and mob list
  // classified so far and that prefix's line counts (the empty line after its
  // last line end included). The names are as the lines wrote them: under the
  // extended rules the joining of spellings is the caller's. While a log has
  // shown no CR LF its line ends are not known (unless LinesEndAtLf said so),
  // and the prefix is empty.
  struct SoFar {
    const ombrel::DamageTable& DamageTable;
    const std::vector<std::string_view>& MobList;
    int64_t lines = 0;
    int64_t unreadable_lines = 0;
  };
  SoFar ClassifiedSoFar() const;

  // The records classified so far, for a caller that rewrites names in place
  // between two Feeds (a live view joining spellings). It must put back what
  // the lines wrote before the next Feed, Finish or Stop.
  ombrel::DamageTable& ClassifiedTable();

  // The rest after the last line end is the last line, empty when the log
  // ends with a line end; an empty log has no line at all. Under the extended
  // rules the parties' spellings are then joined (JoinSentenceCapitals).
  // Hands the result over; the parser is spent.
  ParseResult Finish();

  // Hands over what was classified without the unended rest: a parse that
  // stops early. The parser is spent.
  ParseResult Stop();

 private:
  struct State;

  // Classifies the line carried from the pieces before if it ends in
  // `piece`, then the whole lines after it.
  void FeedLines(std::string_view piece, LineEnd line_end);
  // Classifies the whole lines of `text` and keeps the rest.
  void ClassifyLines(std::string_view text, LineEnd line_end);
  // Classifies `text`, whole lines only, sharing it out when it is large.
  void ClassifyWholeLines(std::string_view text, LineEnd line_end);
  // Keeps `rest`, the next bytes of a line whose end has not arrived.
  void Carry(std::string_view rest);
  // The carried line ended: classified, or counted when it was too long.
  void EndCarriedLine();
  // The first CR LF came after the log's start was classified as ending at
  // LF: that start is one overlong line, and the classifying starts over
  // after it with `rest`.
  void StartOverAfterFirstLine(std::string_view rest);

  // What the parser was made with, to start over.
  const std::string character_name_;
  const AttackVerbList verbs_;
  const LineRules rules_;
  const ParseSharing sharing_;

  std::unique_ptr<State> state_;
  // The start of a line whose end has not arrived; of a line already longer
  // than kLongestLine (`carry_overlong_`), only its last byte, which may be
  // the CR of its line end.
  std::string carry_;
  bool carry_overlong_ = false;
  // The log so far while it holds no CR LF (its line ends are not known yet).
  std::string held_;
  char last_byte_ = '\0';
  bool crlf_seen_ = false;
  bool lf_known_ = false;
  // No CR LF in the first few megabytes: classified as ending at LF until
  // one shows.
  bool lf_guessed_ = false;
  uint64_t bytes_ = 0;
  size_t expected_bytes_ = 0;
};

}  // namespace ombrel
