#include "parse/DataCsv.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shared/Csv.h"
#include "shared/DisplayInto.h"
#include "shared/StretchWriter.h"

namespace ombrel {
namespace {

// The lines of records [begin, end) appended to `text`.
void RenderLines(std::string& text, const DamageTable& table, size_t begin, size_t end,
                 std::span<const WrittenNames> written) {
  TextSink sink(text);
  std::ostream out(&sink);
  CsvWriter csv(out);
  display::DateTexts dates;
  auto next_written =
      std::lower_bound(written.begin(), written.end(), begin,
                       [](const WrittenNames& names, size_t index) { return names.index < index; });
  for (size_t i = begin; i < end; ++i) {
    DamageRecord r = table[i];
    if (next_written != written.end() && next_written->index == i) {
      r.Dealer = next_written->Dealer;
      r.Taker = next_written->Taker;
      ++next_written;
    }
    csv.Field(dates.Text(r.Date)).Field(r.Dealer).Field(r.Taker).Field(int64_t{r.Damage});
    csv.Field(int64_t{r.Crit}).Field(int64_t{r.Type}).Field(r.Name).Field(r.Counter);
    csv.EndLine();
  }
}

}  // namespace

void WriteDataCsv(std::ostream& out, const DamageTable& table, const Progress& progress,
                  std::span<const WrittenNames> written, DataCsvSplit split) {
  {
    CsvWriter csv(out);
    csv.Header("Date,Dealer,Taker,Damage,Crit,Type,Name,Counter");
  }
  WriteInStretches(
      out, table.size(),
      [&](std::string& text, size_t begin, size_t end) {
        RenderLines(text, table, begin, end, written);
      },
      StretchSplit{split.threads, split.records}, progress);
}

}  // namespace ombrel
