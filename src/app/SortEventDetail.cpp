#include "app/SortEventDetail.h"

namespace ombrel {

bool NameSortsBefore(std::string_view, std::string_view) { return false; }

void SortEventDetail(TextTable&, int) {}

}  // namespace ombrel
