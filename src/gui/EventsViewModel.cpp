#include "gui/EventsViewModel.h"

#include <algorithm>
#include <climits>

#include <QFont>

#include "events/BuildEvents.h"
#include "gui/Cp1252.h"
#include "gui/TextTableModel.h"
#include "logtext/FoldCase.h"
#include "shared/Display.h"

namespace ombrel::gui {

namespace {

constexpr uint32_t kNone = UINT32_MAX;
// Encounters' figures kept at most, made again when shown once more.
constexpr size_t kKeptSummaries = 4096;

int Clamped(size_t n) {
  return static_cast<int>(std::min<size_t>(n, INT_MAX));
}

// The figures of an encounter's row: its summary, with the largest and the
// smallest hits of its fights.
EventRecord Summary(std::span<const EventRecord> events, std::span<const int32_t> fights) {
  EventRecord sum = EncounterSummary(events, fights);
  for (const int32_t n : fights) {
    const EventRecord& e = events[static_cast<size_t>(n) - 1];
    sum.MaxHitTaken = std::max(sum.MaxHitTaken, e.MaxHitTaken);
    sum.MaxHitDealt = std::max(sum.MaxHitDealt, e.MaxHitDealt);
    if (e.HitsTaken > 0 && (sum.MinHitTaken == 0 || e.MinHitTaken < sum.MinHitTaken))
      sum.MinHitTaken = e.MinHitTaken;
    if (e.HitsDealt > 0 && (sum.MinHitDealt == 0 || e.MinHitDealt < sum.MinHitDealt))
      sum.MinHitDealt = e.MinHitDealt;
  }
  return sum;
}

}  // namespace

EventsViewModel::EventsViewModel(const App& app, TextTableModel& table, QObject* parent)
    : QAbstractItemModel(parent), app_(app), table_(table) {
  // The log changed: its fights are grouped again at the next rebuild, which
  // a filter or the limits alone do not ask for.
  connect(&table_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
    regroup_ = true;
    beginResetModel();
  });
  connect(&table_, &QAbstractItemModel::modelReset, this, [this] {
    Rebuild();
    endResetModel();
  });
  // A followed log's refresh changes rows in place or adds them.
  auto begin = [this] {
    regroup_ = true;
    BeginRelayout();
  };
  for (const auto about :
       {&QAbstractItemModel::rowsAboutToBeInserted, &QAbstractItemModel::rowsAboutToBeRemoved}) {
    connect(&table_, about, this, begin);
  }
  for (const auto done : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
    connect(&table_, done, this, &EventsViewModel::EndRelayout);
  connect(&table_, &QAbstractItemModel::layoutAboutToBeChanged, this, begin);
  connect(&table_, &QAbstractItemModel::layoutChanged, this, &EventsViewModel::EndRelayout);
  connect(&table_, &QAbstractItemModel::dataChanged, this,
          [this, begin](const QModelIndex& top, const QModelIndex& bottom) {
            if (identity_) {
              emit dataChanged(index(top.row(), 0), index(bottom.row(), columnCount() - 1));
              return;
            }
            // Changed fights may change what is hidden and how they group.
            begin();
            EndRelayout();
          });
  Rebuild();
}

void EventsViewModel::SetGrouped(bool grouped) {
  if (grouped == grouped_) return;
  // Encounters' rows come and go whole: the view starts over.
  beginResetModel();
  grouped_ = grouped;
  Rebuild();
  endResetModel();
}

void EventsViewModel::SetLimits(SmallFightLimits limits) {
  if (limits == limits_) return;
  limits_ = limits;
  Relayout();
}

void EventsViewModel::SetText(const QString& text) {
  std::string folded = FoldCase(ToCp1252(text));
  if (folded == folded_text_) return;
  folded_text_ = std::move(folded);
  Relayout();
}

void EventsViewModel::Relayout() {
  BeginRelayout();
  EndRelayout();
}

void EventsViewModel::BeginRelayout() {
  emit layoutAboutToBeChanged();
  kept_from_ = persistentIndexList();
  kept_.clear();
  for (const QModelIndex& index : kept_from_) {
    const std::optional<size_t> row = FightRow(index);
    const bool encounter = !row;
    kept_.push_back(
        {static_cast<uint32_t>(encounter ? ItemFights(static_cast<size_t>(index.row())).front() - 1
                                         : *row),
         encounter});
  }
}

void EventsViewModel::EndRelayout() {
  Rebuild();
  QModelIndexList to;
  to.reserve(kept_from_.size());
  for (qsizetype i = 0; i < kept_from_.size(); ++i) {
    QModelIndex at = IndexOfRow(kept_[static_cast<size_t>(i)].row);
    if (kept_[static_cast<size_t>(i)].encounter && at.parent().isValid()) at = at.parent();
    to << (at.isValid() ? at.siblingAtColumn(kept_from_[i].column()) : QModelIndex());
  }
  changePersistentIndexList(kept_from_, to);
  kept_from_.clear();
  kept_.clear();
  emit layoutChanged();
}

void EventsViewModel::Rebuild() {
  summaries_.clear();
  shown_.clear();
  item_begin_.clear();
  item_encounter_.clear();
  item_of_.clear();
  small_hidden_ = 0;
  identity_ = !grouped_ && limits_.HidesNothing() && folded_text_.empty();
  if (!grouped_) {
    encounters_ = Encounters();
    regroup_ = true;
  }
  const std::span<const EventRecord> events = app_.Log().EventTable();
  const size_t rows = std::min<size_t>(static_cast<size_t>(table_.rowCount()), events.size());
  auto shown = [&](size_t row) {
    const EventRecord& e = events[row];
    if (e.DamageTaken + e.DamageDealt < limits_.damage || e.Duration < limits_.seconds) {
      ++small_hidden_;
      return false;
    }
    return folded_text_.empty() || FindFolded(e.Name, folded_text_) != std::string_view::npos;
  };
  if (identity_) return;
  if (!grouped_) {
    for (size_t row = 0; row < rows; ++row) {
      if (shown(row)) shown_.push_back(static_cast<uint32_t>(row));
    }
    return;
  }
  if (regroup_ || encounters_.empty()) encounters_ = app_.GroupedEncounters();
  regroup_ = false;
  item_of_.assign(rows, kNone);
  for (size_t e = 0; e < encounters_.size(); ++e) {
    const auto begin = static_cast<uint32_t>(shown_.size());
    for (const int32_t n : encounters_.FightsOf(e)) {
      const auto row = static_cast<size_t>(n - 1);
      if (row >= rows || !shown(row)) continue;
      item_of_[row] = static_cast<uint32_t>(item_begin_.size());
      shown_.push_back(static_cast<uint32_t>(row));
    }
    if (shown_.size() == begin) continue;
    item_begin_.push_back(begin);
    item_encounter_.push_back(static_cast<uint32_t>(e));
  }
  item_begin_.push_back(static_cast<uint32_t>(shown_.size()));
}

bool EventsViewModel::EncounterItem(size_t item) const {
  return grouped_ && encounters_.FightsOf(item_encounter_[item]).size() > 1;
}

std::span<const int32_t> EventsViewModel::ItemFights(size_t item) const {
  return encounters_.FightsOf(item_encounter_[item]);
}

std::optional<size_t> EventsViewModel::FightRow(const QModelIndex& index) const {
  if (!index.isValid()) return std::nullopt;
  const auto row = static_cast<size_t>(index.row());
  if (index.internalId() != 0) return shown_[item_begin_[index.internalId() - 1] + row];
  if (identity_) return row;
  if (!grouped_) return shown_[row];
  if (EncounterItem(row)) return std::nullopt;
  return shown_[item_begin_[row]];
}

void EventsViewModel::AddRows(const QModelIndex& index, std::vector<size_t>& rows) const {
  if (const std::optional<size_t> row = FightRow(index)) {
    rows.push_back(*row);
  } else if (index.isValid()) {
    for (const int32_t n : ItemFights(static_cast<size_t>(index.row())))
      rows.push_back(static_cast<size_t>(n - 1));
  }
}

QModelIndex EventsViewModel::IndexOfRow(size_t row) const {
  if (identity_)
    return row < static_cast<size_t>(rowCount()) ? index(Clamped(row), 0) : QModelIndex();
  if (!grouped_) {
    const auto at = std::lower_bound(shown_.begin(), shown_.end(), row);
    if (at == shown_.end() || *at != row) return {};
    return index(Clamped(static_cast<size_t>(at - shown_.begin())), 0);
  }
  if (row >= item_of_.size() || item_of_[row] == kNone) return {};
  const uint32_t item = item_of_[row];
  const QModelIndex top = index(static_cast<int>(item), 0);
  if (!EncounterItem(item)) return top;
  const auto first = shown_.begin() + item_begin_[item];
  const auto at = std::lower_bound(first, shown_.begin() + item_begin_[item + 1], row);
  return index(static_cast<int>(at - first), 0, top);
}

QModelIndex EventsViewModel::WholeEncounter(const QModelIndex& index,
                                            const std::vector<size_t>& rows) const {
  const QModelIndex top = index.parent();
  if (!top.isValid()) return {};
  for (const int32_t n : ItemFights(static_cast<size_t>(top.row()))) {
    if (!std::binary_search(rows.begin(), rows.end(), static_cast<size_t>(n - 1))) return {};
  }
  return top;
}

std::vector<size_t> EventsViewModel::ShownRows() const {
  std::vector<size_t> rows;
  if (identity_) {
    rows.resize(static_cast<size_t>(rowCount()));
    for (size_t r = 0; r < rows.size(); ++r) rows[r] = r;
  } else {
    rows.assign(shown_.begin(), shown_.end());
    std::sort(rows.begin(), rows.end());
  }
  return rows;
}

QModelIndex EventsViewModel::index(int row, int column, const QModelIndex& parent) const {
  if (!hasIndex(row, column, parent)) return {};
  return createIndex(row, column, parent.isValid() ? static_cast<quintptr>(parent.row()) + 1 : 0);
}

QModelIndex EventsViewModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == 0) return {};
  return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr{0});
}

int EventsViewModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) {
    if (identity_) return table_.rowCount();
    return Clamped(grouped_ ? item_begin_.size() - 1 : shown_.size());
  }
  if (parent.column() != 0 || parent.internalId() != 0) return 0;
  const auto item = static_cast<size_t>(parent.row());
  if (!EncounterItem(item)) return 0;
  return static_cast<int>(item_begin_[item + 1] - item_begin_[item]);
}

int EventsViewModel::columnCount(const QModelIndex&) const {
  return table_.columnCount();
}

bool EventsViewModel::hasChildren(const QModelIndex& parent) const {
  return rowCount(parent) > 0;
}

QVariant EventsViewModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  if (const std::optional<size_t> row = FightRow(index))
    return table_.data(table_.index(static_cast<int>(*row), index.column()), role);
  return EncounterData(static_cast<size_t>(index.row()), index.column(), role);
}

QVariant EventsViewModel::EncounterData(size_t item, int column, int role) const {
  const std::span<const int32_t> fights = ItemFights(item);
  switch (role) {
    case Qt::DisplayRole: {
      const uint32_t encounter = item_encounter_[item];
      auto kept = summaries_.find(encounter);
      if (kept == summaries_.end()) {
        if (log_held_ && log_held_()) return QString();
        if (summaries_.size() >= kKeptSummaries) summaries_.clear();
        kept = summaries_.emplace(encounter, Summary(app_.Log().EventTable(), fights)).first;
      }
      // "a gnoll + 4": the first fight's mob and how many more fights.
      if (column == static_cast<int>(At(EventsColumn::kMob))) {
        return FromCp1252(kept->second.Name) +
               QStringLiteral(" + %1").arg(static_cast<qsizetype>(fights.size() - 1));
      }
      return FromCp1252(
          EventsListCell(kept->second, static_cast<EventsColumn>(static_cast<size_t>(column))));
    }
    case Qt::FontRole: {
      // Live when one of its fights is.
      const bool live =
          std::any_of(app_.OpenEventRows().begin(), app_.OpenEventRows().end(), [&](size_t row) {
            return std::binary_search(fights.begin(), fights.end(), static_cast<int32_t>(row + 1));
          });
      if (!live) return {};
      QFont font;
      font.setBold(true);
      return font;
    }
    case Qt::TextAlignmentRole:
      return table_.headerData(column, Qt::Horizontal, role);
    default:
      return {};
  }
}

QVariant EventsViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  return table_.headerData(section, orientation, role);
}

}  // namespace ombrel::gui
