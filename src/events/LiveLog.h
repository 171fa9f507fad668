#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "events/LiveEvents.h"
#include "parse/LivePartyNames.h"
#include "parse/LogParser.h"
#include "parse/ParseResult.h"
#include "parse/PartyNames.h"
#include "shared/AttackVerbs.h"
#include "shared/DamageTable.h"
#include "shared/DateTime.h"
#include "shared/EventRecord.h"
#include "shared/LineRules.h"

namespace ombrel {

// A log read while it grows: its bytes are fed as they arrive, in pieces of
// any size, and each Refresh brings the records, the mob list and the events
// to exactly what a one-shot parse (ParseLog, then BuildEvents) of the bytes
// up to the last line end would give. Finish then counts the unended rest as
// the last line, as the one-shot parse does.
//
// A refresh costs about what the new lines cost, under either rules: under
// the extended rules the parties' spellings are joined as the records come
// (LivePartyNames), in the parser's own table, and the events kept up with
// the joined table.
class LiveLog {
 public:
  LiveLog(std::string_view character_name, AttackVerbList verbs, LineRules rules, int32_t event_gap,
          size_t expected_bytes = 0, ParseSharing sharing = {});
  LiveLog(const LiveLog&) = delete;
  LiveLog& operator=(const LiveLog&) = delete;

  // Classifies the lines that end in `bytes`; keeps the unended rest. The
  // views below are brought up to them by the next Refresh only.
  void Feed(std::string_view bytes);

  // Brings the views up to the last line end fed. Returns true when the
  // prefix they describe grew by a line or more.
  bool Refresh();

  // The views as of the last Refresh. The table is the parser's own: it
  // grows (and its last record may be amended) with the next Feed, which
  // under the extended rules also gives its last record the names its line
  // wrote until the next Refresh joins them again.
  const DamageTable& Table() const;
  const std::vector<std::string_view>& MobList() const;
  const std::vector<EventRecord>& Events() const;
  // Extended rules: the parties of records as their lines wrote them, where
  // the table shows other spellings (for Data.csv).
  std::vector<WrittenNames> Written() const;
  int64_t lines() const { return lines_; }
  int64_t unreadable_lines() const { return unreadable_lines_; }

  // The time of the last record; none before the first.
  std::optional<DateTime> LatestTime() const;
  // True when event `index` may still grow: it is its mob's latest event and
  // the log's latest time lies within the gap of its end.
  bool IsOpen(size_t index) const;
  // The events that may still grow, in order: at most one per mob.
  std::vector<size_t> OpenEvents() const;

  // The parse and events of the whole log, the rest after the last line end
  // counted as the last line, exactly as the one-shot parse gives them. The
  // live log is spent.
  struct Final {
    ParseResult parse;
    std::vector<EventRecord> events;
  };
  Final Finish();

 private:
  void JoinNames();
  // A new join and new events, from the table as the lines wrote it.
  void StartOver();

  std::string character_name_;
  LineRules rules_;
  int32_t gap_;
  LogParser parser_;
  LiveEvents events_;
  // Extended rules: the join of the parties' spellings, in the parser's
  // table, and whether that table's last record has its names as written
  // since the last refresh.
  std::unique_ptr<LivePartyNames> parties_;
  bool names_put_back_ = false;
  const DamageTable* joined_table_ = nullptr;
  std::vector<LivePartyNames::Renamed> renamed_;
  int64_t lines_ = 0;
  int64_t unreadable_lines_ = 0;
};

}  // namespace ombrel
