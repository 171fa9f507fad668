// The window after a parse, as `ombrel-raid --name NAME LOG` opens it: waits
// for the parse to be adopted, scrolls the events list from top to bottom in
// 40 steps, each repainted at once, and quits.
//
//   QT_QPA_PLATFORM=offscreen window_peak LOG NAME
//
// prints the peak resident memory in kB (VmHWM), the events list's rows, the
// slowest and the median repaint of a scroll step in ms, and the same two in
// the processor time of the window's thread (what a repaint costs, whatever
// else the machine runs).
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTimer>

#include "app/App.h"
#include "gui/Dialogs.h"
#include "gui/MainWindow.h"

namespace {

long PeakKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

double ThreadMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The slowest and the median of `values`.
std::pair<double, double> SlowestAndMedian(std::vector<double> values) {
  if (values.empty()) return {0, 0};
  std::sort(values.begin(), values.end());
  return {values.back(), values[values.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: window_peak LOG NAME\n");
    return 2;
  }
  const QString log = QString::fromLocal8Bit(argv[1]);
  const QString name = QString::fromLocal8Bit(argv[2]);
  int qt_argc = 1;
  QApplication application(qt_argc, argv);
  ombrel::App app(std::filesystem::temp_directory_path());
  ombrel::gui::QtDialogs dialogs;
  ombrel::gui::MainWindow form(app, dialogs, &ombrel::RunParse, nullptr);
  form.show();
  form.OpenAtStart(name, log);

  int status = 1;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (form.Busy() || !app.TabStripAvailable()) return;
    poll.stop();
    QApplication::processEvents();
    auto* view = form.findChild<QAbstractItemView*>(QStringLiteral("ListView1"));
    std::vector<double> repaints;
    std::vector<double> processor;
    if (view != nullptr) {
      QScrollBar* bar = view->verticalScrollBar();
      constexpr int kSteps = 40;
      for (int k = 0; k <= kSteps; ++k) {
        QElapsedTimer timer;
        timer.start();
        const double processor_before = ThreadMs();
        bar->setValue(static_cast<int>(static_cast<long long>(bar->maximum()) * k / kSteps));
        view->viewport()->repaint();
        repaints.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        processor.push_back(ThreadMs() - processor_before);
      }
    }
    const auto [slowest, median] = SlowestAndMedian(repaints);
    const auto [slowest_processor, median_processor] = SlowestAndMedian(processor);
    std::printf("%ld %zu %.2f %.2f %.2f %.2f\n", PeakKb(), app.EventsList().Rows(), slowest, median,
                slowest_processor, median_processor);
    status = 0;
    QApplication::quit();
  });
  poll.start(20);
  QApplication::exec();
  return status;
}
