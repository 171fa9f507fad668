#pragma once

#include "gui/EventsViewModel.h"
#include "gui/ListPage.h"

class QLabel;
class QLineEdit;

namespace ombrel::gui {

// The Events page: the events list under a filter box that keeps the fights
// whose opponent holds the text typed (Esc clears it), shown one by one or
// grouped into encounters, small fights hidden. The app's selection is what
// the user chose: a fight hidden or filtered away stays chosen (its detail
// pages stay) until a row of the list is chosen again, and shows selected
// again when it shows.
class EventsPage : public ListPage {
  Q_OBJECT

 public:
  explicit EventsPage(App& app, QWidget* parent = nullptr);

  EventsViewModel* Shown() const { return shown_; }
  QLineEdit* FilterBox() const { return filter_; }
  // How many fights the limits hide, for the status bar; hidden when none.
  QLabel* HiddenCount() const { return hidden_; }

  void SetGrouped(bool grouped);
  void SetLimits(SmallFightLimits limits);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void AddRows(const QModelIndex& index, std::vector<size_t>& rows) const override;
  QModelIndex IndexOfRow(size_t row) const override;
  QModelIndex Selection(size_t current, const std::vector<size_t>& rows,
                        QItemSelection& selection) const override;
  std::vector<size_t> ShownRows() const override;

 private:
  void ShowHiddenCount();

  EventsViewModel* shown_ = nullptr;
  QLineEdit* filter_ = nullptr;
  QLabel* hidden_ = nullptr;
};

}  // namespace ombrel::gui
