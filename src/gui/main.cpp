#include <QApplication>

#include "app/App.h"
#include "gui/Dialogs.h"
#include "gui/Form1.h"
#include "shared/Interrupt.h"

int main(int argc, char** argv) {
  // Killed by SIGINT or SIGTERM, the window still removes its temporary files.
  ombrel::RemoveTemporariesOnInterrupt();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ombrel Raid"));
  // The comma-separated files go next to the program.
  ombrel::App app(ombrel::gui::ToPath(QApplication::applicationDirPath()));
  ombrel::gui::QtDialogs dialogs;
  ombrel::gui::Form1 form(app, dialogs);
  form.show();
  return QApplication::exec();
}
