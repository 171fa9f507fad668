#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "parse/LineClassifier.h"
#include "parse/LineEnds.h"
#include "parse/MobList.h"
#include "parse/VerbScan.h"
#include "shared/DamageTable.h"
#include "shared/LineRules.h"

namespace ombrel {

// What classifying a stretch of whole lines apart from the lines before it
// gave: its own table of records, numbered from the stretch's first line (0),
// the mobs it registered, and what it asked of the record before its first
// one. Stretches are classified on several threads at once and joined in log
// order (JoinChunk).
struct ChunkResult {
  DamageTable table;
  ChunkMobs mobs;
  std::vector<StartQuestion> questions;
  StretchTicks ticks;  // extended rules: the damage over time left to the join
  CritNotes notes;     // extended rules: the announcements waiting at its end
  int64_t lines = 0;
  int64_t unreadable_lines = 0;
  LineSigns signs;
};

// Classifies `text`, whole lines each with its line end, apart from the lines
// before it.
void ClassifyChunk(std::string_view text, LineEnd line_end, std::string_view character_name,
                   const VerbScanner& verbs, LineRules rules, ChunkResult& out);

// Joins a stretch classified apart to the lines before it: those hold
// `first_line` lines, their records are in `table` and their mobs in `mobs`.
// Afterwards the three are what classifying the stretch's lines right after
// theirs would have made them, but for the lines and unreadable lines, which
// the caller adds up. Returns false, changing nothing, when the stretch cannot
// be joined: the record before it was a spell cast that its first hit
// completes, or a line number does not fit a record. It must then be
// classified in line with the lines before. Under the extended rules
// `tick_order` is the log before the stretch as the classifier of those lines
// left it; the join decides the order of the stretch's damage over time by
// others with it and leaves it as after the stretch; `notes`, the
// announced critical hits waiting after the lines before, mark the stretch's
// hits they wait for and are left as after the stretch.
bool JoinChunk(const ChunkResult& chunk, int64_t first_line, DamageTable& table, MobSink& mobs,
               TickOrderLog* tick_order = nullptr, CritNotes* notes = nullptr);

}  // namespace ombrel
