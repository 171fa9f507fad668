#include "gui/Paths.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace ombrel::gui {

std::filesystem::path ToPath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString FromPath(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

QString FailureText(const Failure& failure) {
  return QFile::decodeName(QByteArray::fromStdString(failure.path)) + QStringLiteral(": ") +
         QString::fromStdString(failure.reason);
}

QString FolderOf(const QString& path) {
  return QFileInfo(path).absolutePath();
}

QString DefaultCsvFolder(const QString& program_dir) {
  if (QFileInfo(program_dir).isWritable()) return program_dir;
  QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty()) documents = QDir::homePath();
  const QString folder = QDir(documents).filePath(QStringLiteral("ombrel-raid"));
  QDir().mkpath(folder);
  return folder;
}

}  // namespace ombrel::gui
