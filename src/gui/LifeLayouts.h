#pragma once

#include <QSplitter>

#include "gui/ListPage.h"

namespace ombrel::gui {

// The lists of the Deaths and Healing pages (extended rules), each a list
// page set into its page without a frame of its own.
inline constexpr ListPageLayout kDeathsList{
    "DeathsListFrame",  "ListView4",         "ListView4Copy",
    "ListView4CopyAll", "columns4",          kDeathsColumns,
    &App::DeathsList,   &App::SelectedDeath, false};
inline constexpr ListPageLayout kRecapList{"RecapListFrame",   "ListView5", "ListView5Copy",
                                           "ListView5CopyAll", "columns5",  kRecapColumns,
                                           &App::RecapList,    nullptr,     false};
inline constexpr ListPageLayout kHealersList{
    "HealersListFrame", "ListView6",          "ListView6Copy",
    "ListView6CopyAll", "columns6",           kHealersColumns,
    &App::HealersList,  &App::SelectedHealer, false};
inline constexpr ListPageLayout kHealingByTargetList{
    "HealingByTargetFrame",    "ListView7", "ListView7Copy",
    "ListView7CopyAll",        "columns7",  kHealedTargetsColumns,
    &App::HealingByTargetList, nullptr,     false};
inline constexpr ListPageLayout kHealingBySpellList{
    "HealingBySpellFrame",    "ListView8", "ListView8Copy",
    "ListView8CopyAll",       "columns8",  kHealingSpellsColumns,
    &App::HealingBySpellList, nullptr,     false};
inline constexpr ListPageLayout kHealedTargetsList{"HealedTargetsFrame",
                                                   "ListView9",
                                                   "ListView9Copy",
                                                   "ListView9CopyAll",
                                                   "columns9",
                                                   kHealedTargetsColumns,
                                                   &App::HealedTargetsList,
                                                   &App::SelectedHealedTarget,
                                                   false};
inline constexpr ListPageLayout kTargetHealersList{
    "TargetHealersFrame",    "ListView10", "ListView10Copy",
    "ListView10CopyAll",     "columns10",  kHealersColumns,
    &App::TargetHealersList, nullptr,      false};

// A list page without a frame or margins of its own, for a page that shows
// several lists.
ListPage* InsetList(const ListPageLayout& layout, App& app, QWidget* parent);
// A splitter between such lists, named, whose parts cannot be closed.
QSplitter* InsetSplit(Qt::Orientation orientation, const char* name, QWidget* parent);

}  // namespace ombrel::gui
