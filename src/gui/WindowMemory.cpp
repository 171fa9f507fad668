#include "gui/WindowMemory.h"

#include <QSettings>

#include "gui/Cp1252.h"

namespace ombrel::gui {

namespace {

const QString kName = QStringLiteral("settings/name");
const QString kGapItem = QStringLiteral("settings/gapItem");
const QString kPets = QStringLiteral("settings/pets");
const QString kRecent = QStringLiteral("recent/logs");

QString Key(const char* group, const char* which) {
  return QString::fromLatin1(group) + QLatin1Char('/') + QString::fromLatin1(which);
}

}  // namespace

WindowMemory::Page WindowMemory::LastPage() const {
  Page page{FromCp1252(kInitialNameText), -1, false};
  if (store_ == nullptr) return page;
  page.name = store_->value(kName, page.name).toString();
  page.gap_item = store_->value(kGapItem, -1).toInt();
  if (page.gap_item < -1 || page.gap_item >= static_cast<int>(GapItems().size()))
    page.gap_item = -1;
  page.pets = store_->value(kPets, false).toBool();
  return page;
}

void WindowMemory::SetLastPage(const Page& page) {
  if (store_ == nullptr) return;
  store_->setValue(kName, page.name);
  store_->setValue(kGapItem, page.gap_item);
  store_->setValue(kPets, page.pets);
}

PrintOptions WindowMemory::Options() const {
  PrintOptions options;
  if (store_ == nullptr) return options;
  options.PrintData = store_->value(Key("options", "printData"), false).toBool();
  options.PrintEvents = store_->value(Key("options", "printEvents"), false).toBool();
  options.PrintDetails = store_->value(Key("options", "printDetails"), false).toBool();
  options.PrintPCDetails = store_->value(Key("options", "printPCDetails"), false).toBool();
  options.ExtendedLineRules = store_->value(Key("options", "extendedLineRules"), false).toBool();
  return options;
}

void WindowMemory::SetOptions(const PrintOptions& options) {
  if (store_ == nullptr) return;
  store_->setValue(Key("options", "printData"), options.PrintData);
  store_->setValue(Key("options", "printEvents"), options.PrintEvents);
  store_->setValue(Key("options", "printDetails"), options.PrintDetails);
  store_->setValue(Key("options", "printPCDetails"), options.PrintPCDetails);
  store_->setValue(Key("options", "extendedLineRules"), options.ExtendedLineRules);
}

QString WindowMemory::Folder(const char* which) const {
  return store_ == nullptr ? QString() : store_->value(Key("folders", which)).toString();
}

void WindowMemory::SetFolder(const char* which, const QString& folder) {
  if (store_ != nullptr) store_->setValue(Key("folders", which), folder);
}

QByteArray WindowMemory::Bytes(const char* key) const {
  return store_ == nullptr ? QByteArray() : store_->value(Key("window", key)).toByteArray();
}

void WindowMemory::SetBytes(const char* key, const QByteArray& bytes) {
  if (store_ != nullptr) store_->setValue(Key("window", key), bytes);
}

bool WindowMemory::Flag(const char* key, bool fallback) const {
  return store_ == nullptr ? fallback : store_->value(Key("window", key), fallback).toBool();
}

void WindowMemory::SetFlag(const char* key, bool value) {
  if (store_ != nullptr) store_->setValue(Key("window", key), value);
}

int WindowMemory::Number(const char* key, int fallback) const {
  return store_ == nullptr ? fallback : store_->value(Key("window", key), fallback).toInt();
}

void WindowMemory::SetNumber(const char* key, int value) {
  if (store_ != nullptr) store_->setValue(Key("window", key), value);
}

QStringList WindowMemory::RecentLogs() const {
  if (store_ == nullptr) return {};
  QStringList logs = store_->value(kRecent).toStringList();
  logs.removeAll(QString());
  if (logs.size() > kRecentLogs) logs.resize(kRecentLogs);
  return logs;
}

void WindowMemory::AddRecentLog(const QString& path) {
  if (store_ == nullptr) return;
  QStringList logs = RecentLogs();
  logs.removeAll(path);
  logs.prepend(path);
  if (logs.size() > kRecentLogs) logs.resize(kRecentLogs);
  store_->setValue(kRecent, logs);
}

}  // namespace ombrel::gui
