#include <iostream>
#include <string>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QSettings>

#include "app/App.h"
#include "gui/CommandLine.h"
#include "gui/Dialogs.h"
#include "gui/MainWindow.h"
#include "gui/Paths.h"
#include "gui/SessionEnd.h"
#include "shared/Interrupt.h"

int main(int argc, char** argv) {
  // Our options come off the command line before Qt reads the rest.
  const ombrel::gui::CommandLine line =
      ombrel::gui::ParseCommandLine(std::vector<std::string>(argv, argv + argc));
  if (!line.error.empty()) {
    std::cerr << "ombrel-raid: " << line.error << "\n" << ombrel::gui::CommandLineUsage();
    return 2;
  }
  if (line.help) {
    std::cout << ombrel::gui::CommandLineUsage();
    return 0;
  }
  if (line.version) {
    std::cout << "ombrel-raid " OMBREL_VERSION "\n";
    return 0;
  }
  std::vector<std::string> qt_args = line.rest;
  std::vector<char*> qt_argv;
  for (std::string& arg : qt_args) qt_argv.push_back(arg.data());
  qt_argv.push_back(nullptr);
  int qt_argc = static_cast<int>(qt_args.size());

  // Killed by SIGINT or SIGTERM while it starts, the window still removes its
  // temporary files.
  ombrel::RemoveTemporariesOnInterrupt();
  QApplication application(qt_argc, qt_argv.data());
  QApplication::setApplicationName(QStringLiteral("ombrel-raid"));
  QApplication::setApplicationDisplayName(QStringLiteral("Ombrel Raid"));
  QApplication::setApplicationVersion(QStringLiteral(OMBREL_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("ombrel-raid"));

  // Remembered in ~/.config/ombrel-raid/ombrel-raid.conf.
  QSettings settings(QStringLiteral("ombrel-raid"), QStringLiteral("ombrel-raid"));
  // The CSV files go next to the program, or into the documents folder when
  // that cannot be written (an installed copy); a folder chosen with Options >
  // CSV Folder... is remembered and wins over both.
  ombrel::App app(
      ombrel::gui::ToPath(ombrel::gui::DefaultCsvFolder(QApplication::applicationDirPath())));
  ombrel::gui::QtDialogs dialogs;
  ombrel::gui::MainWindow form(app, dialogs, &ombrel::RunParse, &settings);
  form.show();
  // Ending the session (SIGTERM, or SIGINT from a terminal) saves the window's
  // state as a close does before the program ends.
  ombrel::gui::SessionEnd session_end([&form, &settings] {
    form.SaveState();
    settings.sync();
  });
  std::optional<QString> name;
  if (line.name) name = QString::fromLocal8Bit(*line.name);
  form.OpenAtStart(name,
                   line.log ? QFile::decodeName(QByteArray::fromStdString(*line.log)) : QString(),
                   line.follow);
  return QApplication::exec();
}
