#include "parse/CritNotes.h"

#include <algorithm>

#include "parse/PartyNames.h"

namespace ombrel {

void CritNotes::Expire(int64_t line) {
  std::erase_if(notes_, [line](const CritNote& note) { return note.line + kCritNoteReach < line; });
}

void CritNotes::Add(CritNote note) {
  Expire(note.line);
  notes_.push_back(std::move(note));
}

bool CritNotes::Claim(std::string_view dealer, int32_t amount, int64_t line, bool heal) {
  if (notes_.empty()) return false;
  Expire(line);
  return std::erase_if(notes_, [&](const CritNote& note) {
           return note.heal == heal && note.amount == amount && note.line < line &&
                  SameParty(note.name, dealer);
         }) > 0;
}

void CritNotes::Settle(DamageTable& table, size_t first_record, size_t first_heal,
                       const CritNotes& stretch, int64_t first_line, int64_t lines) {
  // Each note marks the first hit (heal) it waits for, and is spent.
  auto mark = [&](const CritNote& note) {
    const int64_t last = note.line + kCritNoteReach;
    if (!note.heal) {
      for (size_t k = first_record; k < table.size(); ++k) {
        DamageRecord r = table[k];
        if (r.Counter > last) return false;
        if (!IsDamageType(r.Type) || r.Damage != note.amount || !SameParty(note.name, r.Dealer))
          continue;
        r.Crit = 1;
        table.Replace(k, r);
        return true;
      }
      return false;
    }
    for (size_t k = first_heal; k < table.HealCount(); ++k) {
      HealRecord h = table.Heal(k);
      if (h.Counter > last) return false;
      if (h.Amount != note.amount || !SameParty(note.name, h.Healer)) continue;
      h.Crit = 1;
      table.ReplaceHeal(k, h);
      return true;
    }
    return false;
  };
  std::erase_if(notes_, mark);
  // A note that found nothing in a stretch shorter than its reach still waits.
  const int64_t end = first_line + lines;
  Expire(end);
  for (CritNote note : stretch.notes_) {
    note.line += first_line;
    if (note.line + kCritNoteReach >= end) notes_.push_back(std::move(note));
  }
}

}  // namespace ombrel
