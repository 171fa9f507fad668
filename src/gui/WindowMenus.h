#pragma once

#include <array>
#include <span>

class QAction;
class QMenu;
class QMenuBar;

namespace ombrel::gui {

// Every command of the window's menus.
enum class Command {
  kOpenLog,
  kParseAgain,
  kFollowLog,
  kStopFollowing,
  kQuit,
  kFindInLog,
  kShowInLog,
  kSaveFightLog,
  kPrintData,
  kPrintEvents,
  kPrintDetails,
  kPrintPCDetails,
  kCsvFolder,
  kExtendedRules,
  kViewTimeline,
  kGroupEncounters,
  kHideSmallFights,
  kLiveMeter,
  kExportEvents,
  kExportEventDetail,
  kExportTimeline,
  kExportDeaths,
  kExportHealing,
  kExportRecap,
  kAbout,
  kCount
};

// One line of a menu: a command, a separator, or the submenu of recent logs.
struct MenuLine {
  enum Kind { kCommand, kSeparator, kRecentLogs } kind = kCommand;
  Command command = Command::kCount;
  const char* object_name = "";
  const char* caption = "";
  const char* shortcut = "";  // portable text, "" for none
  bool checkable = false;
};

struct MenuEntry {
  const char* object_name;
  const char* caption;
  std::span<const MenuLine> lines;
};

// The menu bar, left to right: the one table the menus are built from.
std::span<const MenuEntry> MenuTable();

// The menus and their actions, built on `bar` from MenuTable(). The object
// names ("mnuFile", "mnuExportEvents", ...) are those of the table.
class WindowMenus {
 public:
  explicit WindowMenus(QMenuBar* bar);

  QAction* operator[](Command command) const { return actions_[static_cast<size_t>(command)]; }
  // The menu that holds `command`.
  QMenu* MenuOf(Command command) const { return menus_[static_cast<size_t>(command)]; }
  QMenu* RecentLogs() const { return recent_logs_; }

 private:
  std::array<QAction*, static_cast<size_t>(Command::kCount)> actions_{};
  std::array<QMenu*, static_cast<size_t>(Command::kCount)> menus_{};
  QMenu* recent_logs_ = nullptr;
};

}  // namespace ombrel::gui
