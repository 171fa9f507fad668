// Runs an arbitrary log through the whole pipeline in memory (parse, events,
// event detail, sort, combatant detail, every CSV and both reports) and checks
// what holds for any input:
// - no duration below 1 in the events and the two detail tables, no negative
//   seconds in Events.csv;
// - the event-detail Total row's misses, avoidances and swings are the sums
//   of the combatant rows (listed texts and records alike);
// - every CSV line has its header's field count when read as RFC 4180;
// - no text from the log opens a tag in a report: every "<" starts one of the
//   reports' own tags, and no listed text holding "<" appears unescaped.
// The first six input bytes choose the settings: the character name's length
// (the name follows them), the idle gap, pets, the event, the sort column and
// the combatant row; the rest is the log.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/CombatantDetail.h"
#include "analysis/EventDetail.h"
#include "app/App.h"
#include "events/BuildEvents.h"
#include "parse/DataCsv.h"
#include "parse/ParseLog.h"
#include "report/Reports.h"
#include "shared/Display.h"
#include "shared/ListColumns.h"

namespace {

using ombrel::TextTable;

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "pipeline invariant broken: %s\n", what);
  std::abort();
}

void Expect(bool holds, const char* what) {
  if (!holds) Broken(what);
}

using Records = std::vector<std::vector<std::string>>;

// Reads CSV text as RFC 4180 (CR LF after every record, fields quoted with
// doubled inner quotes) and checks that every record has the header's field
// count.
Records CheckCsv(const std::string& csv, const char* what) {
  Records records;
  size_t at = 0;
  while (at < csv.size()) {
    std::vector<std::string>& fields = records.emplace_back(1);
    for (;;) {
      if (at < csv.size() && csv[at] == '"') {
        ++at;
        for (;;) {
          Expect(at < csv.size(), what);  // an unclosed quote
          if (csv[at] == '"') {
            if (at + 1 < csv.size() && csv[at + 1] == '"') {
              fields.back() += '"';
              at += 2;
              continue;
            }
            ++at;
            break;
          }
          fields.back() += csv[at++];
        }
      } else {
        while (at < csv.size() && csv[at] != ',' && csv[at] != '\r' && csv[at] != '"' &&
               csv[at] != '\n')
          fields.back() += csv[at++];
        Expect(at >= csv.size() || csv[at] != '"', what);   // a quote inside a bare field
        Expect(at >= csv.size() || csv[at] != '\n', what);  // a bare LF
      }
      Expect(at < csv.size(), what);  // every record ends with CR LF
      if (csv[at] == ',') {
        fields.emplace_back();
        ++at;
        continue;
      }
      Expect(csv.compare(at, 2, "\r\n") == 0, what);
      at += 2;
      break;
    }
    Expect(fields.size() == records.front().size(), what);
  }
  return records;
}

// Compared character by character: the fuzzer's memcmp hooks made this
// check, run for every "<" of every report, the bulk of each execution.
__attribute__((no_sanitize("coverage"))) bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t k = 0; k < a.size(); ++k)
    if (a[k] != b[k]) return false;
  return true;
}

__attribute__((no_sanitize("coverage"))) bool IsReportTag(std::string_view html, size_t at) {
  static constexpr std::string_view kTags[] = {
      "!DOCTYPE", "html",   "head", "title", "META", "STYLE", "script", "body",  "FONT", "TABLE",
      "tbody",    "trbody", "tr",   "td",    "TD",   "a",     "font",   "Table", "style"};
  size_t begin = at + 1;
  if (begin < html.size() && html[begin] == '/') ++begin;
  size_t end = begin;
  while (end < html.size() && end - begin <= 8 && html[end] != ' ' && html[end] != '>') ++end;
  if (end >= html.size() || (html[end] != ' ' && html[end] != '>')) return false;
  const std::string_view name = html.substr(begin, end - begin);
  for (std::string_view tag : kTags) {
    if (SameText(name, tag)) return true;
  }
  return false;
}

__attribute__((no_sanitize("coverage"))) void CheckReport(
    const std::string& html, const std::vector<const TextTable*>& lists) {
  for (size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
    if (!IsReportTag(html, at)) Broken("a report holds a tag it does not write");
  }
  // A listed text stands between a tag's ">" and the next "<"; searched for
  // with both, a text ending in "<" is not taken for the plain text followed
  // by the report's own closing tag.
  for (const TextTable* list : lists) {
    for (size_t r = 0; r < list->Rows(); ++r) {
      for (const std::string& cell : list->Row(r)) {
        if (cell.find('<') != std::string::npos && html.find('>' + cell + '<') != std::string::npos)
          Broken("a report holds a listed text unescaped");
      }
    }
  }
}

int64_t Number(const TextTable& list, size_t row, size_t column) {
  const auto value = ombrel::display::ReadWholeNumber(list.Cell(row, column));
  if (!value) Broken("a listed count is no number");
  return *value;
}

void CheckEventDetail(const std::vector<ombrel::CombatantSummary>& rows, const TextTable& list,
                      bool total_name_taken) {
  for (const auto& row : rows) Expect(row.Duration >= 1, "event-detail duration below 1");
  if (rows.empty() || total_name_taken) return;
  // Misses, parries, dodges, ripostes and blocks add up; the Total row's
  // swings taken are the combatants' swings dealt and the reverse.
  using Column = ombrel::EventDetailColumn;
  constexpr size_t kFirstCount = ombrel::At(Column::kMisses);  // then the four avoidances
  constexpr size_t kSwingsTaken = ombrel::At(Column::kSwingsTaken);
  constexpr size_t kSwingsDealt = ombrel::At(Column::kSwingsDealt);
  int64_t sums[5] = {};
  int64_t taken = 0, dealt = 0;
  for (size_t r = 1; r < list.Rows(); ++r) {
    for (size_t k = 0; k < 5; ++k) sums[k] += Number(list, r, kFirstCount + k);
    taken += Number(list, r, kSwingsTaken);
    dealt += Number(list, r, kSwingsDealt);
  }
  for (size_t k = 0; k < 5; ++k)
    Expect(sums[k] == Number(list, 0, kFirstCount + k), "Total row is not the sum");
  Expect(taken == Number(list, 0, kSwingsDealt), "Total swings dealt is not the sum");
  Expect(dealt == Number(list, 0, kSwingsTaken), "Total swings taken is not the sum");
}

template <typename Write>
std::string Text(Write write) {
  std::ostringstream out;
  write(out);
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kSettingBytes = 6;
  if (size < kSettingBytes) return 0;
  const auto setting = [data](size_t k) { return static_cast<unsigned>(data[k]); };
  std::string_view input(reinterpret_cast<const char*>(data) + kSettingBytes, size - kSettingBytes);
  const size_t name_length = std::min<size_t>(setting(0) % 16, input.size());
  const std::string name(input.substr(0, name_length));
  const std::string_view log = input.substr(name_length);
  // 18 to 900 seconds, the settings' range.
  const auto gap = static_cast<int32_t>(18 + (setting(1) * 7) % 883);
  const bool pets = (setting(2) & 1) != 0;

  ombrel::App app{std::filesystem::path()};  // prints nothing: every mark is off
  app.SetClock([] { return ombrel::DateTime{}; });
  app.TakeSettingsSeconds(name, gap, pets);
  ombrel::ParseResult parse = ombrel::ParseLogText(log, name);
  std::vector<ombrel::EventRecord> events =
      ombrel::BuildEvents(parse.DamageTable, parse.MobList, gap);
  ombrel::ParsedRun run;
  run.events_list = ombrel::EventsListRows(events);

  for (const auto& e : events) Expect(e.Duration >= 1, "event duration below 1");
  const std::string data_csv =
      Text([&](std::ostream& out) { ombrel::WriteDataCsv(out, parse.DamageTable); });
  CheckCsv(data_csv, "Data.csv");
  const std::string events_csv =
      Text([&](std::ostream& out) { ombrel::WriteEventsCsv(out, events); });
  const Records events_records = CheckCsv(events_csv, "Events.csv");
  for (size_t r = 1; r < events_records.size(); ++r)
    Expect(!events_records[r][2].starts_with('-'), "negative seconds in Events.csv");

  // A combatant named like the Total row lands on it; the sums then do not hold.
  bool total_name_taken = false;
  for (size_t i = 0; i < parse.DamageTable.size(); ++i) {
    const auto r = parse.DamageTable[i];
    if (r.Dealer.starts_with(ombrel::kTotalRowName) || r.Taker.starts_with(ombrel::kTotalRowName))
      total_name_taken = true;
  }

  run.log =
      ombrel::ParsedLog(std::move(parse.DamageTable), std::move(parse.MobList), std::move(events));
  app.AdoptParse(std::move(run), "fuzz.txt");
  const TextTable& events_list = app.EventsList();
  for (size_t r = 0; r < events_list.Rows(); ++r)
    Expect(Number(events_list, r, ombrel::At(ombrel::EventsColumn::kDuration)) >= 1,
           "listed event duration below 1");
  CheckReport(Text([&](std::ostream& out) { ombrel::WriteEventsReport(out, events_list, "x"); }),
              {&events_list});

  const size_t event_row = setting(3) % std::max<size_t>(events_list.Rows(), 1);
  const auto event_number = static_cast<int32_t>(event_row + 1);
  app.SelectEvent(event_row);
  app.ChooseTab(3);
  {
    const auto rows = ombrel::BuildEventDetail(app.Log(), event_number, pets).rows;
    CheckEventDetail(rows, app.EventDetailList(), total_name_taken);
    CheckCsv(Text([&](std::ostream& out) { ombrel::WriteTextPcListCsv(out, rows); }),
             "textpclist.csv");
  }
  if (const int sort = static_cast<int>(setting(4) % 6); sort != 0)
    app.EventDetailHeaderClicked(sort);
  const TextTable& detail_list = app.EventDetailList();
  CheckReport(Text([&](std::ostream& out) {
                ombrel::WriteEventDetailReport(out,
                                               {app.Log(), event_number, app.CurrentEventDetail(),
                                                pets, events_list, detail_list},
                                               "x");
              }),
              {&events_list, &detail_list});

  app.SelectCombatant(setting(5) % std::max<size_t>(detail_list.Rows(), 1));
  app.ChooseTab(4);
  const TextTable& combatant_list = app.CombatantDetailList();
  if (detail_list.Rows() != 0) {
    const auto sources = ombrel::BuildCombatantDetail(
        app.Log(), event_number,
        ombrel::CellAt(detail_list, app.SelectedCombatant(), ombrel::EventDetailColumn::kDamageBy),
        pets);
    for (const auto& row : sources) Expect(row.Duration >= 1, "source duration below 1");
    CheckCsv(Text([&](std::ostream& out) { ombrel::WritePcDetailCsv(out, sources); }),
             "PCdetail.csv");
    Expect(sources.size() == combatant_list.Rows(), "combatant list and its sources differ");
  }
  return 0;
}
