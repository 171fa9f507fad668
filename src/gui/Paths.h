#pragma once

#include <filesystem>

#include <QString>

#include "shared/Failure.h"

namespace ombrel::gui {

// A path as the app layer takes it, from a path the dialogs return.
std::filesystem::path ToPath(const QString& path);
// A path from the app layer, for display.
QString FromPath(const std::filesystem::path& path);
// "path: reason" for a message box.
QString FailureText(const Failure& failure);
// The folder that holds `path`.
QString FolderOf(const QString& path);
// Where the CSV files go when none was chosen: the program's folder when it
// can be written, otherwise a folder named after the program in the user's
// documents folder (created when missing).
QString DefaultCsvFolder(const QString& program_dir);

}  // namespace ombrel::gui
