#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>

#include "app/App.h"
#include "gui/Dialogs.h"
#include "gui/Form1.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ombrel-raid"));
  QApplication::setApplicationDisplayName(QStringLiteral("Ombrel Raid"));
  QApplication::setApplicationVersion(QStringLiteral(OMBREL_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("ombrel-raid"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Analyses a game's combat log by fight."));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption name_option(
      QStringLiteral("name"), QStringLiteral("Your character's name as the log writes it."),
      QStringLiteral("NAME"));
  parser.addOption(name_option);
  parser.addPositionalArgument(QStringLiteral("LOG"), QStringLiteral("The log to parse at start."),
                               QStringLiteral("[LOG]"));
  parser.process(application);
  if (parser.positionalArguments().size() > 1) parser.showHelp(2);

  // Remembered in ~/.config/ombrel-raid/ombrel-raid.conf.
  QSettings settings(QStringLiteral("ombrel-raid"), QStringLiteral("ombrel-raid"));
  // The CSV files go next to the program, or into the documents folder when
  // that cannot be written (an installed copy); Options > CSV Folder... and
  // the remembered choice override both.
  ombrel::App app(
      ombrel::gui::ToPath(ombrel::gui::DefaultCsvFolder(QApplication::applicationDirPath())));
  ombrel::gui::QtDialogs dialogs;
  ombrel::gui::Form1 form(app, dialogs, &ombrel::RunParse, &settings);
  form.show();
  form.OpenAtStart(
      parser.isSet(name_option) ? std::optional(parser.value(name_option)) : std::nullopt,
      parser.positionalArguments().value(0));
  return QApplication::exec();
}
