#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shared/ListColumns.h"
#include "shared/TextTable.h"

namespace ombrel {

// What `ombrel-batch --format json` prints: one JSON document, in UTF-8, with
// the run and one list.
struct JsonReport {
  std::string_view log;                // the log as given on the command line
  int64_t lines = 0;                   // the log's lines
  std::span<const std::string> files;  // the files written
  // The events-list rows of an event-detail list: one, or several seen as one.
  std::vector<int64_t> events;
  std::span<const ListColumn> columns;  // the list's columns
  const TextTable* list = nullptr;      // the list, each row as it is shown
};

// The key of a column in the document: its header in lower case, words joined
// by "_" ("Max Hit Taken" and "MaxHitTaken" are both "max_hit_taken", "DPSTaken"
// is "dps_taken").
std::string JsonKey(std::string_view header);

// Writes `report` as
//   {"log": ..., "lines": N, "files": [...], "table": "events" or "event_detail",
//    ("event": K, ("events": [K, ...],)) "rows": [{key: value, ...}, ...]}
// The first column of a list is its name, a text; Start and End are dates in
// ISO 8601 ("2005-12-31T22:30:08"), the log's own local time; every other cell
// is a number (a whole number unless the list shows decimals, percentages as
// the number before "%", an empty cell as 0). Texts from the log, Windows-1252,
// are converted to UTF-8.
void WriteJsonReport(std::ostream& out, const JsonReport& report);

}  // namespace ombrel
