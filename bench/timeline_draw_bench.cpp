// Drawing time of the timeline for a fight of 10 minutes with 80 combatants:
// from the Event Detail page's opening (the list and its timeline built in
// one walk) to the chart painted, and the chart alone.
//
//   QT_QPA_PLATFORM=offscreen build-bench/bench/timeline_draw_bench

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>
#include <QChartView>
#include <QElapsedTimer>
#include <QPixmap>

#include "app/App.h"
#include "events/BuildEvents.h"
#include "gui/TimelinePane.h"
#include "shared/DamageTable.h"

namespace {

using namespace ombrel;

constexpr int kSeconds = 600;
constexpr int kCombatants = 80;
constexpr int kRuns = 25;

// Every combatant swings every other second (hits and misses), five of them
// take a hit of the opponent every second.
ParsedRun TenMinuteFight(std::vector<std::string>& names) {
  for (int c = 0; c < kCombatants; ++c) names.push_back("Fighter" + std::to_string(c));
  const std::string opponent = "a cave troll";
  const DateTime start = *DateTime::FromCivil({2006, 1, 2, 20, 0, 0});
  std::vector<DamageRecord> records;
  for (int s = 0; s < kSeconds; ++s) {
    const DateTime at{start.seconds + s};
    for (int c = s % 2; c < kCombatants; c += 2) {
      const bool miss = (s + c) % 7 == 0;
      records.push_back({at, names[c], opponent, miss ? 0 : 10 + (c * 37 + s) % 90, 0,
                         miss ? kMiss : kMelee, "hits", 0});
    }
    records.push_back({at, opponent, names[s % 5], 50 + s % 40, 0, kMelee, "bashes", 0});
  }
  ParsedRun run;
  run.parse.DamageTable = DamageTable::FromRecords(records);
  run.parse.MobList = {opponent};
  run.events = BuildEvents(run.parse.DamageTable, run.parse.MobList, 18);
  run.events_list = EventsListRows(run.events);
  return run;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  std::vector<std::string> names;
  App app("/tmp");
  app.TakeSettingsSeconds("Fighter0", 18, false);
  app.AdoptParse(TenMinuteFight(names), "/tmp/troll.txt");

  gui::TimelinePane pane;
  pane.resize(1000, 420);
  pane.show();
  QApplication::processEvents();

  std::vector<double> page, chart;
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer timer;
    timer.start();
    app.ChooseTab(3);
    const qint64 built = timer.nsecsElapsed();
    pane.Show(app.EventTimeline());
    // Lay the chart out and paint it, as the window's next repaint does.
    QApplication::processEvents();
    const QPixmap painted = pane.View()->grab();
    const qint64 done = timer.nsecsElapsed();
    if (painted.isNull()) return 1;
    page.push_back(static_cast<double>(done) / 1e6);
    chart.push_back(static_cast<double>(done - built) / 1e6);
  }
  const auto& timeline = app.EventTimeline();
  std::printf("fight: %d s, %zu combatant rows, %zu records, %zu timeline cells, %zu series\n",
              kSeconds, timeline.Rows.size(), app.globals().DamageTable.size(),
              timeline.Cells.size(), pane.Chart().Series.size());
  std::printf("page opened to chart painted: median %.1f ms, max %.1f ms (%d runs)\n", Median(page),
              *std::max_element(page.begin(), page.end()), kRuns);
  std::printf("chart alone (series, layout, paint): median %.1f ms, max %.1f ms\n", Median(chart),
              *std::max_element(chart.begin(), chart.end()));
  return 0;
}
