// The events list's view of a parsed log: how long grouping into encounters,
// hiding small fights and filtering by opponent take, each a rebuild of the
// row numbers the list shows.
//
//   QT_QPA_PLATFORM=offscreen events_view_time LOG NAME [TEXT]
//
// prints the fights, then per step its milliseconds and the rows shown.
#include <chrono>
#include <cstdio>

#include <QApplication>

#include "app/App.h"
#include "gui/EventsViewModel.h"
#include "gui/TextTableModel.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: events_view_time LOG NAME [TEXT]\n");
    return 2;
  }
  int qt_argc = 1;
  QApplication application(qt_argc, argv);
  ombrel::App app(std::filesystem::temp_directory_path());
  app.settings().CharacterName = argv[2];
  const auto parsed = app.Parse(argv[1]);
  if (const auto* failure = std::get_if<ombrel::Failure>(&parsed)) {
    std::fprintf(stderr, "%s\n", failure->Message().c_str());
    return 1;
  }
  ombrel::gui::TextTableModel table(app.EventsList(), ombrel::kEventsColumns);
  ombrel::gui::EventsViewModel shown(app, table);
  std::printf("%zu fights\n", app.EventsList().Rows());
  auto step = [&](const char* what, auto&& change) {
    const auto start = std::chrono::steady_clock::now();
    change();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::printf("%-22s %9.1f ms %9d rows\n", what, took.count(), shown.rowCount());
  };
  const QString text = QString::fromLocal8Bit(argc > 3 ? argv[3] : "gnoll");
  step("filter", [&] { shown.SetText(text); });
  step("filter cleared", [&] { shown.SetText({}); });
  step("small fights hidden", [&] { shown.SetLimits({1000, 5}); });
  step("all shown", [&] { shown.SetLimits({}); });
  step("grouped", [&] { shown.SetGrouped(true); });
  step("grouped, filter", [&] { shown.SetText(text); });
  step("grouped, filter cleared", [&] { shown.SetText({}); });
  step("ungrouped", [&] { shown.SetGrouped(false); });
  return 0;
}
