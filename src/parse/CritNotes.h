#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shared/DamageTable.h"

namespace ombrel {

// Older logs announce a critical hit (or heal) on a line of its own before
// the hit: "Ann scores a critical hit! (310)". The note marks the first hit
// (heal) by that dealer of that amount within kCritNoteReach lines after it,
// and nothing when none comes.
inline constexpr int64_t kCritNoteReach = 4;

struct CritNote {
  std::string name;
  int32_t amount = 0;
  int64_t line = 0;
  bool heal = false;
};

// The notes still waiting for their hit.
class CritNotes {
 public:
  void Add(CritNote note);
  // True when a note waits for a hit (heal) by `dealer` of `amount` on line
  // `line`; every such note is then spent.
  bool Claim(std::string_view dealer, int32_t amount, int64_t line, bool heal);

  // Joining a stretch classified apart (whose own notes were `stretch`, its
  // lines numbered from 0) to the lines before it, whose notes these are: the
  // stretch's records from `first_record` and heals from `first_heal` (with
  // their line numbers in the log) take the marks these notes give them, and
  // the notes still waiting after its `lines` lines, beginning at
  // `first_line`, are kept.
  void Settle(DamageTable& table, size_t first_record, size_t first_heal, const CritNotes& stretch,
              int64_t first_line, int64_t lines);

  void Clear() { notes_.clear(); }

 private:
  // Drops the notes too far before `line` to mark anything on it.
  void Expire(int64_t line);

  std::vector<CritNote> notes_;
};

}  // namespace ombrel
