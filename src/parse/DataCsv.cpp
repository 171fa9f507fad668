#include "parse/DataCsv.h"

#include <algorithm>
#include <cstdint>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "shared/Csv.h"
#include "shared/Display.h"
#include "shared/WorkerThreads.h"

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

// Appends what a stream is given to a text.
class TextSink : public std::streambuf {
 public:
  explicit TextSink(std::string& text) : text_(text) {}

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    text_.append(s, static_cast<size_t>(n));
    return n;
  }
  int_type overflow(int_type ch) override {
    if (!traits_type::eq_int_type(ch, traits_type::eof())) text_.push_back(static_cast<char>(ch));
    return traits_type::not_eof(ch);
  }

 private:
  std::string& text_;
};

// The lines of records [begin, end) appended to `text`.
void RenderLines(std::string& text, const DamageTable& table, size_t begin, size_t end,
                 std::span<const WrittenNames> written) {
  TextSink sink(text);
  std::ostream out(&sink);
  CsvWriter csv(out);
  DateTexts dates;
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
  const unsigned threads = split.threads == 0 ? MachineThreads() : split.threads;
  const size_t stretch = std::max<size_t>(split.records, 1);
  WorkerThreads pool(threads - 1);
  // Two stretches a thread per round: the texts of a round are written in
  // order while none is held beyond it.
  std::vector<std::string> texts(2 * size_t{threads});
  const size_t count = table.size();
  for (size_t first = 0; first < count; first += stretch * texts.size()) {
    progress.Report(static_cast<double>(first) / static_cast<double>(count));
    const size_t stretches = std::min(texts.size(), (count - first + stretch - 1) / stretch);
    pool.Run(stretches, [&](size_t k) {
      const size_t begin = first + k * stretch;
      texts[k].clear();
      RenderLines(texts[k], table, begin, std::min(count, begin + stretch), written);
    });
    for (size_t k = 0; k < stretches; ++k)
      out.write(texts[k].data(), static_cast<std::streamsize>(texts[k].size()));
  }
  progress.Report(1.0);
}

}  // namespace ombrel
