#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "app/Settings.h"

class QSettings;

namespace ombrel::gui {

// What the window remembers between runs, kept in a QSettings store. Without
// a store (the tests' default) it remembers nothing and every read gives the
// start-up default.
class WindowMemory {
 public:
  // How many logs File > Recent Logs offers.
  static constexpr int kRecentLogs = 8;

  explicit WindowMemory(QSettings* store = nullptr) : store_(store) {}

  // The Settings page in force at the last parse. Missing: the initial name
  // text, no gap item (-1), no pets.
  struct Page {
    QString name;
    int gap_item = -1;
    bool pets = false;
  };
  Page LastPage() const;
  void SetLastPage(const Page& page);

  PrintOptions Options() const;
  void SetOptions(const PrintOptions& options);

  // Folders of the open and save dialogs and the CSV folder chosen in
  // Options (empty when never chosen).
  QString Folder(const char* which) const;
  void SetFolder(const char* which, const QString& folder);

  QByteArray Bytes(const char* key) const;
  void SetBytes(const char* key, const QByteArray& bytes);
  // A remembered switch or number of the window; `fallback` when missing.
  bool Flag(const char* key, bool fallback) const;
  void SetFlag(const char* key, bool value);
  int Number(const char* key, int fallback) const;
  void SetNumber(const char* key, int value);

  // Most recent first, at most kRecentLogs.
  QStringList RecentLogs() const;
  // Puts `path` first, dropping an older mention and the oldest beyond the
  // limit.
  void AddRecentLog(const QString& path);

 private:
  QSettings* store_;
};

}  // namespace ombrel::gui
