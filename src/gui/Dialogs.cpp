#include "gui/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace ombrel::gui {

namespace {

std::optional<QString> RunFileDialog(QWidget* parent, const QString& title, const QString& filter,
                                     const QString& folder, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, title, folder, filter);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  // Qt's own dialog matches the filter's patterns in any letter case, so that
  // "x.TXT" shows as well as "x.txt".
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (mode == QFileDialog::AcceptSave) {
    // A name typed without an extension gets the filter's, so that a browser
    // opens the report.
    // The type chosen decides.
    auto take_extension = [&dialog](const QString& type) {
      static const QRegularExpression first_extension(R"(\(\*\.(\w+))");
      const QRegularExpressionMatch match = first_extension.match(type);
      if (match.hasMatch()) dialog.setDefaultSuffix(match.captured(1));
    };
    take_extension(filter);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, take_extension);
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
  return files.front();
}

}  // namespace

std::optional<QString> QtDialogs::OpenFile(QWidget* parent, const QString& title,
                                           const QString& filter, const QString& folder) {
  return RunFileDialog(parent, title, filter, folder, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::SaveFile(QWidget* parent, const QString& title,
                                           const QString& filter, const QString& folder) {
  return RunFileDialog(parent, title, filter, folder, QFileDialog::AcceptSave);
}

std::optional<QString> QtDialogs::ChooseFolder(QWidget* parent, const QString& title,
                                               const QString& folder) {
  const QString chosen = QFileDialog::getExistingDirectory(
      parent, title, folder, QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (chosen.isEmpty()) return std::nullopt;
  return chosen;
}

void QtDialogs::Message(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace ombrel::gui
