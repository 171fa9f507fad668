#pragma once

#include <cstddef>
#include <ostream>
#include <span>

#include "parse/PartyNames.h"
#include "shared/DamageTable.h"
#include "shared/Progress.h"

namespace ombrel {

// Data.csv: the header "Date,Dealer,Taker,Damage,Crit,Type,Name,Counter" and
// one line per record in table order, CR LF line ends, log bytes unchanged.
// A text holding a comma, a double quote, CR or LF is quoted. Reports the
// share of records written through `progress`. `written` (in table order)
// gives the dealer and taker as the line wrote them for records that show
// their parties under other spellings.
//
// The lines are rendered in stretches of `split.records` records by
// `split.threads` threads (0: as many as the machine runs at once) and
// written in table order; the bytes are the same for any split.
struct DataCsvSplit {
  unsigned threads = 0;
  size_t records = size_t{1} << 13;
};
void WriteDataCsv(std::ostream& out, const DamageTable& table, const Progress& progress = {},
                  std::span<const WrittenNames> written = {}, DataCsvSplit split = {});

}  // namespace ombrel
