#pragma once

#include <optional>

#include "gui/ListPage.h"

class QSplitter;

namespace ombrel::gui {

class TimelinePane;

// The Event Detail page: the list of the fight's combatants, sorted by a
// header click, over the fight's timeline (View > Timeline shows or closes
// it), whose line of the current row is highlighted.
class EventDetailPage : public ListPage {
  Q_OBJECT

 public:
  // The page remembers its timeline's place, window and visibility in `memory`.
  EventDetailPage(App& app, WindowMemory& memory, QWidget* parent = nullptr);

  TimelinePane* Timeline() const { return timeline_; }
  void RestoreLayout();
  void SaveLayout() const;

  // A header click: sorts by `section` unless `allowed` is false or the
  // column is no sort key, in which case the indicator stays as it was.
  void HeaderClicked(int section, bool allowed);
  // A list built again is in its own order: no indicator.
  void ClearSortIndicator();

  void ShowTimeline(bool shown);
  bool TimelineShown() const;
  // Draws the app's timeline when the pane is shown.
  void DrawTimeline();
  void HighlightTimelineRow();
  // Saves the timeline as a picture, drawn even while the pane is closed;
  // the reason when it could not be written.
  std::optional<QString> SaveTimelinePicture(const QString& path);

 private:
  WindowMemory& memory_;
  QSplitter* split_ = nullptr;
  TimelinePane* timeline_ = nullptr;
  // The sort indicator; none until a header sorts the list.
  int sort_section_ = -1;
  Qt::SortOrder sort_order_ = Qt::AscendingOrder;
};

}  // namespace ombrel::gui
