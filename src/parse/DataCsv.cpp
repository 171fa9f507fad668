#include "parse/DataCsv.h"

#include <string>

#include "shared/Csv.h"
#include "shared/Display.h"

namespace ombrel {

void WriteDataCsv(std::ostream& out, const DamageTable& table, const Progress& progress,
                  std::span<const WrittenNames> written) {
  CsvWriter csv(out);
  csv.Header("Date,Dealer,Taker,Damage,Crit,Type,Name,Counter");
  // Records of one fight share their second: the date text is made once per second.
  std::string date_text;
  int64_t date_seconds = 0;
  bool has_date = false;
  constexpr size_t kReportEvery = size_t{1} << 16;
  auto next_written = written.begin();
  for (size_t i = 0; i < table.size(); ++i) {
    if (i % kReportEvery == 0)
      progress.Report(static_cast<double>(i) / static_cast<double>(table.size()));
    DamageRecord r = table[i];
    if (next_written != written.end() && next_written->index == i) {
      r.Dealer = next_written->Dealer;
      r.Taker = next_written->Taker;
      ++next_written;
    }
    if (!has_date || r.Date.seconds != date_seconds) {
      date_text = display::DateTimeText(r.Date);
      date_seconds = r.Date.seconds;
      has_date = true;
    }
    csv.Field(date_text).Field(r.Dealer).Field(r.Taker).Field(int64_t{r.Damage});
    csv.Field(int64_t{r.Crit}).Field(int64_t{r.Type}).Field(r.Name).Field(r.Counter);
    csv.EndLine();
  }
  csv.Flush();
  progress.Report(1.0);
}

}  // namespace ombrel
