#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "shared/ListColumns.h"
#include "shared/TextTable.h"

namespace ombrel {

// The name order of the event-detail sort: true when `a` stays ahead of `b`.
// Names are Windows-1252 bytes; each character is taken as its UTF-16 unit and
// the units are compared byte by byte, low byte first, except the very last
// byte of `b`. Where no compared byte differs, `a` stays ahead when it is at
// least as long as `b`: equal names keep their order and "Ab2" goes ahead of
// "Ab". An empty name on either side gives false.
bool NameSortsBefore(std::string_view a, std::string_view b);

// True for the columns the event-detail list sorts by: the name, damage
// dealt, duration, DPS and ADPS.
bool IsSortKey(EventDetailColumn column);

// Reorders the event-detail list below its first (total) row by a sort key
// (name ascending; damage dealt, duration, DPS, ADPS descending; ties keep
// their order) and re-renders its cells from the values read back. Any other
// column leaves the list as it is.
// Every text is made at once: what ShownEventDetail is checked against.
void SortEventDetail(TextTable& list, EventDetailColumn key);

// The event-detail list as the window shows and sorts it, holding no text: the
// list as first made (EventDetailListRows) and, once sorted, each row's
// figures as the sort read them back from the texts shown before it. A cell
// is made when it is read, the same text SortEventDetail gives after the same
// sorts.
class ShownEventDetail {
 public:
  ShownEventDetail() = default;
  explicit ShownEventDetail(TextTable first);

  const TextTable& List() const { return shown_; }
  // Sorts as SortEventDetail does.
  void Sort(EventDetailColumn key);

  struct SortedRow;

 private:
  std::shared_ptr<const TextTable> first_;
  std::shared_ptr<const std::vector<SortedRow>> sorted_;  // list order; null until sorted
  TextTable shown_;
};

}  // namespace ombrel
