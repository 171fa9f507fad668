#include "parse/DataCsv.h"

#include <algorithm>
#include <memory>
#include <streambuf>
#include <string>

#include "shared/Csv.h"
#include "shared/Display.h"

namespace ombrel {
namespace {

// Collects the many small writes of a large table in one block and hands the
// block to the real stream in one piece when it is full.
class BlockBuffer : public std::streambuf {
 public:
  BlockBuffer(std::ostream& out, size_t size) : out_(out), block_(new char[size]), size_(size) {
    setp(block_.get(), block_.get() + size_);
  }
  ~BlockBuffer() override { Drain(); }

 protected:
  int_type overflow(int_type ch) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(ch);
      pbump(1);
    }
    return traits_type::not_eof(ch);
  }
  int sync() override { return Drain() ? 0 : -1; }

 private:
  bool Drain() {
    const std::streamsize used = pptr() - pbase();
    if (used > 0) out_.write(pbase(), used);
    setp(block_.get(), block_.get() + size_);
    return static_cast<bool>(out_);
  }

  std::ostream& out_;
  std::unique_ptr<char[]> block_;
  size_t size_;
};

}  // namespace

void WriteDataCsv(std::ostream& out, const DamageTable& table, const Progress& progress,
                  std::span<const WrittenNames> written) {
  // About a hundred bytes a line; a megabyte at most.
  BlockBuffer block(out, std::min(size_t{1} << 20, (table.size() + 1) * 128));
  std::ostream buffered(&block);
  CsvWriter csv(buffered);
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
  buffered.flush();
  progress.Report(1.0);
}

}  // namespace ombrel
