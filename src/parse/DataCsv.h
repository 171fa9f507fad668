#pragma once

#include <ostream>

#include <span>

#include "parse/PartyNames.h"
#include "shared/DamageTable.h"

namespace ombrel {

// Data.csv: the header "Date,Dealer,Taker,Damage,Crit,Type,Name,Counter" and
// one line per record in table order, CR LF line ends, log bytes unchanged.
// A text holding a comma, a double quote, CR or LF is quoted. `written` (in
// table order) gives the dealer and taker as the line wrote them for records
// that show their parties under other spellings.
void WriteDataCsv(std::ostream& out, const DamageTable& table,
                  std::span<const WrittenNames> written = {});

}  // namespace ombrel
