// Drawing time of the timeline for a fight of 10 minutes with 80 combatants:
// from the Event Detail page's opening (the list and its timeline built in
// one walk) to the chart painted, and the chart alone.
//
//   QT_QPA_PLATFORM=offscreen build-bench/bench/timeline_draw_bench

#include <algorithm>
#include <cstdio>
#include <ctime>
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

// Two such fights, a minute apart, against different opponents: every
// combatant swings every other second (hits and misses), five of them take a
// hit of the opponent every second.
ParsedRun TenMinuteFights(std::vector<std::string>& names) {
  for (int c = 0; c < kCombatants; ++c) names.push_back("Fighter" + std::to_string(c));
  static const std::string opponents[2] = {"a cave troll", "a swamp troll"};
  const DateTime start = *DateTime::FromCivil({2006, 1, 2, 20, 0, 0});
  std::vector<DamageRecord> records;
  for (int fight = 0; fight < 2; ++fight) {
    const std::string& opponent = opponents[fight];
    for (int s = 0; s < kSeconds; ++s) {
      const DateTime at{start.seconds + fight * (kSeconds + 60) + s};
      for (int c = s % 2; c < kCombatants; c += 2) {
        const bool miss = (s + c) % 7 == 0;
        const int damage = 10 + (c * (37 + fight * 12) + s) % 90;
        records.push_back(
            {at, names[c], opponent, miss ? 0 : damage, 0, miss ? kMiss : kMelee, "hits", 0});
      }
      records.push_back({at, opponent, names[s % 5], 50 + s % 40, 0, kMelee, "bashes", 0});
    }
  }
  DamageTable table = DamageTable::FromRecords(records);
  // The mob list views the table's own copies of the names.
  std::vector<std::string_view> mobs;
  for (const std::string& opponent : opponents) {
    for (size_t r = 0; r < table.size(); ++r) {
      if (table[r].Taker == opponent) {
        mobs.push_back(table[r].Taker);
        break;
      }
    }
  }
  std::vector<EventRecord> events = BuildEvents(table, mobs, 18);
  ParsedRun run;
  run.events_list = EventsListRows(events);
  run.log = ParsedLog(std::move(table), std::move(mobs), std::move(events));
  return run;
}

// CPU time of this thread, in ms: what the drawing costs whatever else the
// machine is doing (wall time is printed as well).
double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
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
  app.AdoptParse(TenMinuteFights(names), "/tmp/trolls.txt");

  gui::TimelinePane pane;
  pane.resize(1000, 420);
  pane.show();
  QApplication::processEvents();

  std::vector<double> page, chart, page_cpu;
  for (int run = 0; run < kRuns; ++run) {
    // Every other run opens the other fight, so the lines change names.
    app.SelectEvent(static_cast<size_t>(run % 2));
    const double cpu_start = ThreadCpuMs();
    QElapsedTimer timer;
    timer.start();
    app.ChooseTab(3);
    const qint64 built = timer.nsecsElapsed();
    pane.Show(app.EventTimeline());
    const qint64 shown = timer.nsecsElapsed();
    // Lay the chart out and paint it, as the window's next repaint does.
    QApplication::processEvents();
    const qint64 laid = timer.nsecsElapsed();
    const QPixmap painted = pane.View()->grab();
    if (run == kRuns - 1)
      std::printf("last run: analysis %.1f ms, series %.1f ms, layout %.1f ms, paint %.1f ms\n",
                  built / 1e6, (shown - built) / 1e6, (laid - shown) / 1e6,
                  (timer.nsecsElapsed() - laid) / 1e6);
    const qint64 done = timer.nsecsElapsed();
    if (painted.isNull()) return 1;
    page_cpu.push_back(ThreadCpuMs() - cpu_start);
    page.push_back(static_cast<double>(done) / 1e6);
    chart.push_back(static_cast<double>(done - built) / 1e6);
  }
  const auto& timeline = app.EventTimeline();
  std::printf("fight: %d s, %zu combatant rows, %zu records, %zu timeline cells, %zu series\n",
              kSeconds, timeline.Rows.size(), app.Log().DamageTable().size(), timeline.Cells.size(),
              pane.Chart().Series.size());
  std::printf("page opened to chart painted: median %.1f ms, max %.1f ms (%d runs)\n", Median(page),
              *std::max_element(page.begin(), page.end()), kRuns);
  std::printf("chart alone (series, layout, paint): median %.1f ms, max %.1f ms\n", Median(chart),
              *std::max_element(chart.begin(), chart.end()));
  std::printf("page opened to chart painted, thread CPU time: median %.1f ms, max %.1f ms\n",
              Median(page_cpu), *std::max_element(page_cpu.begin(), page_cpu.end()));
  return 0;
}
