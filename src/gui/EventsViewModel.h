#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include <QAbstractItemModel>

#include "app/App.h"
#include "events/Encounters.h"
#include "gui/SmallFights.h"

namespace ombrel::gui {

class TextTableModel;

// The events list as the window shows it: the app's rows one per fight, or
// grouped into encounters (App::GroupedEncounters), each a row of its own that
// unfolds into its fights; small fights hidden and the rows kept whose
// opponent holds a text. A fight's row keeps its row number in the app's list
// (the numbering the batch's --event uses) whatever is hidden.
//
// Only row numbers are held (uint32 each, and none while every row shows one
// by one); a fight's cells are the table model's, an encounter's are made
// from its fights when shown. An encounter of one fight shows as that fight's
// plain row.
class EventsViewModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  // `app` and `table` (the model of the app's events list) must outlive it;
  // their changes (a parse, a followed log's refresh) are followed.
  EventsViewModel(const App& app, TextTableModel& table, QObject* parent = nullptr);

  void SetGrouped(bool grouped);
  bool Grouped() const { return grouped_; }
  void SetLimits(SmallFightLimits limits);
  SmallFightLimits Limits() const { return limits_; }
  // Keeps the fights whose opponent holds `text` in any letter case; empty
  // keeps every fight.
  void SetText(const QString& text);
  // True while the app's log may not be read (a followed log's append read
  // on a worker): an encounter's figures not made before show empty then.
  void SetLogHeld(std::function<bool()> held) { log_held_ = std::move(held); }
  // Fights the limits hide.
  size_t SmallHidden() const { return small_hidden_; }

  // The app's row of the fight shown at `index`; none for an encounter's row.
  std::optional<size_t> FightRow(const QModelIndex& index) const;
  // The app's rows of what `index` shows: its fight, or every fight of its
  // encounter (those hidden too: an encounter is chosen whole).
  void AddRows(const QModelIndex& index, std::vector<size_t>& rows) const;
  // Where the fight of row `row` shows (column 0); invalid when hidden.
  QModelIndex IndexOfRow(size_t row) const;
  // The encounter row of the fight at `index` when all of that encounter's
  // fights are in `rows` (ascending); else invalid.
  QModelIndex WholeEncounter(const QModelIndex& index, const std::vector<size_t>& rows) const;
  // The app's rows of every fight shown, ascending.
  std::vector<size_t> ShownRows() const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  // What a persistent index showed, to find it again after the rows moved.
  struct Kept {
    uint32_t row;  // a fight's row, or an encounter's first fight's
    bool encounter;
  };
  // Rebuilds the rows between layout-change signals; persistent indexes
  // (selection, unfolded encounters, the current row) follow their fights.
  void Relayout();
  void BeginRelayout();
  void EndRelayout();
  void Rebuild();
  bool EncounterItem(size_t item) const;
  // The fights (1-based event numbers) of the encounter row `item`.
  std::span<const int32_t> ItemFights(size_t item) const;
  QVariant EncounterData(size_t item, int column, int role) const;

  const App& app_;
  TextTableModel& table_;
  bool grouped_ = false;
  SmallFightLimits limits_;
  std::string folded_text_;
  size_t small_hidden_ = 0;
  std::function<bool()> log_held_;
  // Every row shown one by one, nothing held.
  bool identity_ = true;
  // Ungrouped: the rows shown. Grouped: the fights shown, row after row
  // (item i holds shown_[item_begin_[i], item_begin_[i + 1])).
  std::vector<uint32_t> shown_;
  std::vector<uint32_t> item_begin_;
  std::vector<uint32_t> item_encounter_;
  std::vector<uint32_t> item_of_;  // grouped: each app row's item, or kNone when hidden
  Encounters encounters_;
  bool regroup_ = true;  // the log changed since the fights were grouped
  QModelIndexList kept_from_;
  std::vector<Kept> kept_;
  mutable std::unordered_map<uint32_t, EventRecord> summaries_;  // by encounter, as shown
};

}  // namespace ombrel::gui
