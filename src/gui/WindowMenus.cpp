#include "gui/WindowMenus.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace ombrel::gui {

namespace {

using enum Command;

constexpr MenuLine Item(Command command, const char* name, const char* caption,
                        const char* shortcut = "") {
  return {MenuLine::kCommand, command, name, caption, shortcut, false};
}
constexpr MenuLine Mark(Command command, const char* name, const char* caption) {
  return {MenuLine::kCommand, command, name, caption, "", true};
}
constexpr MenuLine kSeparator{MenuLine::kSeparator};

constexpr MenuLine kFileLines[] = {
    Item(kOpenLog, "mnuOpenLog", "&Open Log...", "Ctrl+O"),
    Item(kParseAgain, "mnuParseAgain", "Parse &Again", "F5"),
    Item(kFollowLog, "mnuFollowLog", "&Follow Log..."),
    Item(kStopFollowing, "mnuStopFollowing", "&Stop Following"),
    {MenuLine::kRecentLogs, kCount, "mnuRecentLogs", "Recent &Logs"},
    kSeparator,
    Item(kQuit, "mnuQuit", "&Quit", "Ctrl+Q"),
};
constexpr MenuLine kEditLines[] = {
    Item(kFindInLog, "mnuFindInLog", "&Find in Log...", "Ctrl+F"),
    Item(kShowInLog, "mnuShowInLog", "&Show in Log", "Ctrl+L"),
    Item(kSaveFightLog, "mnuSaveFightLog", "Save Fight &Log..."),
};
constexpr MenuLine kOptionsLines[] = {
    Mark(kPrintData, "mnuPrintData", "Print &Data"),
    Mark(kPrintEvents, "mnuPrintEvents", "Print &Events"),
    Mark(kPrintDetails, "mnuPrintDetails", "Print De&tails"),
    Mark(kPrintPCDetails, "mnuPrintPCDetails", "Print &PC Details"),
    kSeparator,
    Item(kCsvFolder, "mnuCsvFolder", "&CSV Folder..."),
    kSeparator,
    Mark(kExtendedRules, "mnuExtendedRules", "Extended &Line Rules"),
};
constexpr MenuLine kViewLines[] = {
    Mark(kViewTimeline, "mnuViewTimeline", "&Timeline"),
    kSeparator,
    Mark(kGroupEncounters, "mnuGroupEncounters", "&Group Into Encounters"),
    Item(kHideSmallFights, "mnuHideSmallFights", "&Hide Small Fights..."),
    kSeparator,
    Mark(kLiveMeter, "mnuLiveMeter", "Live &Meter"),
};
constexpr MenuLine kExportLines[] = {
    Item(kExportEvents, "mnuExportEvents", "&Events"),
    Item(kExportEventDetail, "mnuExportEventDetail", "Event &Detail"),
    Item(kExportTimeline, "mnuExportTimeline", "&Timeline Picture..."),
    kSeparator,
    Item(kExportDeaths, "mnuExportDeaths", "Death&s CSV..."),
    Item(kExportHealing, "mnuExportHealing", "&Healing CSV..."),
    Item(kExportRecap, "mnuExportRecap", "&Recap CSV..."),
};
constexpr MenuLine kHelpLines[] = {Item(kAbout, "mnuAbout", "&About", "F1")};

constexpr MenuEntry kMenus[] = {
    {"mnuFile", "&File", kFileLines},          {"mnuEdit", "&Edit", kEditLines},
    {"mnuOptions", "&Options", kOptionsLines}, {"mnuView", "&View", kViewLines},
    {"mnuExport", "&Export", kExportLines},    {"mnuHelp", "&Help", kHelpLines},
};

}  // namespace

std::span<const MenuEntry> MenuTable() {
  return kMenus;
}

WindowMenus::WindowMenus(QMenuBar* bar) {
  for (const MenuEntry& entry : kMenus) {
    QMenu* menu = bar->addMenu(QString::fromLatin1(entry.caption));
    menu->setObjectName(QString::fromLatin1(entry.object_name));
    for (const MenuLine& line : entry.lines) {
      const QString caption = QString::fromLatin1(line.caption);
      if (line.kind == MenuLine::kSeparator) {
        menu->addSeparator();
      } else if (line.kind == MenuLine::kRecentLogs) {
        recent_logs_ = menu->addMenu(caption);
        recent_logs_->setObjectName(QString::fromLatin1(line.object_name));
      } else {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(line.object_name));
        action->setCheckable(line.checkable);
        action->setShortcut(QKeySequence(QString::fromLatin1(line.shortcut)));
        actions_[static_cast<size_t>(line.command)] = action;
        menus_[static_cast<size_t>(line.command)] = menu;
      }
    }
  }
}

}  // namespace ombrel::gui
