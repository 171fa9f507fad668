#include "parse/DataCsv.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "shared/Csv.h"
#include "shared/Display.h"

namespace ombrel {
namespace {

// The date texts of Data.csv, as display::DateTimeText writes them
// ("MM/DD/YYYY HH:MM:SS"): the calendar part is worked out once per day, the
// time of day is written from its digits.
class DateTexts {
 public:
  std::string_view Text(DateTime t) {
    const int64_t day = FloorDays(t.seconds);
    if (day != day_) {
      day_ = day;
      const CivilTime c = t.ToCivil();
      plain_ = c.year >= 0 && c.year <= 9999;
      if (plain_) {
        Digits(text_, c.month, 2);
        text_[2] = '/';
        Digits(text_ + 3, c.day, 2);
        text_[5] = '/';
        Digits(text_ + 6, c.year, 4);
        text_[10] = ' ';
        text_[13] = ':';
        text_[16] = ':';
      }
    }
    if (!plain_) {
      other_ = display::DateTimeText(t);
      return other_;
    }
    const int64_t of_day = t.seconds - day * DateTime::kSecondsPerDay;
    Digits(text_ + 11, static_cast<int>(of_day / 3600), 2);
    Digits(text_ + 14, static_cast<int>(of_day / 60 % 60), 2);
    Digits(text_ + 17, static_cast<int>(of_day % 60), 2);
    return {text_, sizeof text_};
  }

 private:
  static int64_t FloorDays(int64_t seconds) {
    const int64_t q = seconds / DateTime::kSecondsPerDay;
    return seconds % DateTime::kSecondsPerDay < 0 ? q - 1 : q;
  }
  // `value` (not negative) in `width` digits, zeros in front.
  static void Digits(char* out, int value, int width) {
    for (int k = width - 1; k >= 0; --k) {
      out[k] = static_cast<char>('0' + value % 10);
      value /= 10;
    }
  }

  int64_t day_ = INT64_MIN;
  bool plain_ = false;
  char text_[19] = {};
  std::string other_;
};

}  // namespace

void WriteDataCsv(std::ostream& out, const DamageTable& table, const Progress& progress,
                  std::span<const WrittenNames> written) {
  CsvWriter csv(out);
  csv.Header("Date,Dealer,Taker,Damage,Crit,Type,Name,Counter");
  DateTexts dates;
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
    csv.Field(dates.Text(r.Date)).Field(r.Dealer).Field(r.Taker).Field(int64_t{r.Damage});
    csv.Field(int64_t{r.Crit}).Field(int64_t{r.Type}).Field(r.Name).Field(r.Counter);
    csv.EndLine();
  }
  csv.Flush();
  progress.Report(1.0);
}

}  // namespace ombrel
