// Writes the two HTML reports of a small hand-made fight into the folder given
// as the only argument (events.htm and event-detail.htm), with the fight's
// timeline picture (timeline.svg) and one of awkward names
// (timeline-odd-names.svg), for the browser test and the XML check to open
// and for ReportOutputs.cmake to compare with the golden files byte for byte.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/Timeline.h"
#include "report/Reports.h"
#include "report/TimelineSvg.h"
#include "shared/DateTime.h"

namespace {

using ombrel::DamageRecord;
using ombrel::DateTime;

DamageRecord Record(int second, std::string_view dealer, std::string_view taker, int32_t damage,
                    int32_t type, std::string_view name) {
  DamageRecord r;
  r.Date = *DateTime::FromCivil({2024, 3, 14, 21, 5, second});
  r.Dealer = dealer;
  r.Taker = taker;
  r.Damage = damage;
  r.Type = type;
  r.Name = name;
  return r;
}

std::vector<std::string> DetailRow(std::string name, std::string dealt) {
  // clang-format off
  return {std::move(name), std::move(dealt), "10", "4.20", "4.20", "03/14/2024 21:05:00",
          "03/14/2024 21:05:10", "7", "7", "1", "20", "3", "4", "7", ".70", "1", "0", "0", "0",
          "0", "1", "5", "80.00%", "0.00%", "0.00%"};
  // clang-format on
}

bool WriteReport(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  if (!out) std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
  return static_cast<bool>(out);
}

// Ten combatants (so that "Others" is drawn) whose names XML must escape or
// cannot hold, one of them long, against an opponent with markup in its name;
// some damage comes before the start.
ombrel::Timeline OddNamesTimeline() {
  ombrel::Timeline t;
  t.Opponent = "a <goblin> & \"co\"";
  t.Start = *DateTime::FromCivil({2024, 3, 14, 21, 5, 0});
  t.FirstSecond = -3;
  t.LastSecond = 40;
  const std::string names[] = {
      "Flo",  "Zo\xEB", "]]> <!-- x -->", "Ann + pet",   std::string(250, 'W'), "Al<i> & 'Bo'",
      "Cy,Q", "Dee",    "Eve\x81\x9D",    "Bell\x01\x1F"};
  for (size_t r = 0; r < std::size(names); ++r) {
    const int64_t dealt = 100 * static_cast<int64_t>(r + 1);
    t.Rows.push_back({names[r], dealt, 5});
    t.Cells.push_back({static_cast<int64_t>(r) * 4 - 3, r, dealt, 5});
  }
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: report_fixture DIR\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];

  // Ann, her pet and a caster with an awkward name fight "a goblin".
  const DamageRecord records[] = {
      Record(0, "Ann", "a goblin", 10, 1, "hit"),
      Record(1, "Ann`s pet", "a goblin", 5, 1, "bites"),
      Record(2, "a goblin", "Ann", 7, 1, "hits"),
      Record(3, "Ann", "a goblin", 20, 1, "hits"),
      Record(4, "Ann", "a goblin", 0, 5, "hit"),
      Record(5, "Al<i> & \"Bo\"", "", 0, 4, "Glyph of Warding"),
      Record(6, "Al<i> & \"Bo\"", "a goblin", 7, 2, "Fire <Bolt>"),
      Record(7, "Ann`s pet", "a goblin", 3, 1, "bite"),
      Record(8, "D\xE9sir\xE9", "a goblin", 4, 1, "slash"),
      Record(10, "Ann", "", 0, 4, "Staunch Recovery"),
  };
  ombrel::EventRecord fight;
  fight.Name = "a goblin";
  fight.StartDate = records[0].Date;
  fight.EndDate = records[9].Date;
  fight.Duration = 10;
  fight.StartCounter = 0;
  fight.EndCounter = 9;
  const ombrel::ParsedLog log(ombrel::DamageTable::FromRecords(records), {}, {fight});
  ombrel::EventDetail casts;
  // A hit in the glyph list and an index past the table show nothing.
  casts.GlyphList = {5, 0};
  casts.VeteranList = {9, 99};

  ombrel::TextTable events_list(16);
  events_list.AddRow({"a goblin", "49", "7", "10", "4.90", "0.70", "03/14/2024 21:05:00",
                      "03/14/2024 21:05:10", "20", "3", "5", "9.80", "7", "7", "1", "7.00"});
  // A name to escape, an empty cell and a Windows-1252 byte; the rows alternate colours.
  events_list.AddRow({"<b>Tim & \"Jenny\"</b>", "1", "", "1", "1.00", "0.00", "03/16/2024 10:00:00",
                      "03/16/2024 10:00:00", "1", "1", "1", "1.00", "0", "0", "0", "0"});
  events_list.AddRow({"a d\xE9mon", "2", "0", "1", "2.00", "0.00", "03/17/2024 10:00:00",
                      "03/17/2024 10:00:01", "2", "2", "1", "2.00", "0", "0", "0", "0"});
  ombrel::TextTable detail_list(25);
  detail_list.AddRow(DetailRow(" [ Total ] ", "49"));
  detail_list.AddRow(DetailRow("Ann + pet", "38"));
  detail_list.AddRow(DetailRow("Al<i> & \"Bo\"", "7"));
  detail_list.AddRow(DetailRow("D\xE9sir\xE9", "4"));
  detail_list.AddRow(DetailRow("Nobody", "0"));  // no record: the unnamed row unfolds

  std::ostringstream events;
  ombrel::WriteEventsReport(events, events_list, "03/15/2024 08:00:01");
  std::ostringstream detail;
  ombrel::WriteEventDetailReport(detail,
                                 {log, 1, casts, /*include_pets=*/true, events_list, detail_list},
                                 "03/15/2024 08:00:01");
  const ombrel::Timeline timeline = ombrel::BuildTimeline(log, 1, /*include_pets=*/true);
  std::ostringstream picture;
  ombrel::WriteTimelineSvg(picture, timeline, ombrel::MovingWindowDps(timeline, 3));
  const ombrel::Timeline odd = OddNamesTimeline();
  std::ostringstream odd_picture;
  ombrel::WriteTimelineSvg(odd_picture, odd, ombrel::MovingWindowDps(odd, 5));
  const bool ok = WriteReport(dir / "events.htm", events.str()) &&
                  WriteReport(dir / "event-detail.htm", detail.str()) &&
                  WriteReport(dir / "timeline.svg", picture.str()) &&
                  WriteReport(dir / "timeline-odd-names.svg", odd_picture.str());
  return ok ? 0 : 1;
}
