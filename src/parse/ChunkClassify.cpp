#include "parse/ChunkClassify.h"

#include <cstdint>

namespace ombrel {

void ClassifyChunk(std::string_view text, LineEnd line_end, std::string_view character_name,
                   const VerbScanner& verbs, LineRules rules, ChunkResult& out) {
  // The table keeps the room it had for the stretch before.
  out.table.Clear();
  out.mobs = ChunkMobs{};
  out.questions.clear();
  out.ticks.Clear();
  out.notes.Clear();
  // About one record per 130 bytes of a combat log.
  out.table.Reserve(text.size() / 96 + 16);
  const ClassifierTexts texts = InternClassifierTexts(out.table, character_name);
  LineClassifier classifier(out.table, out.mobs, texts, verbs, rules);
  classifier.DetachStart(&out.questions, &out.ticks);
  out.lines = ForEachLine(text, line_end, 0, [&](std::string_view line, int64_t index) {
    classifier.Classify(line, index);
  });
  out.unreadable_lines = classifier.unreadable_lines();
  out.signs = classifier.signs();
  out.notes = classifier.crit_notes();
}

bool JoinChunk(const ChunkResult& chunk, int64_t first_line, DamageTable& table, MobSink& mobs,
               TickOrderLog* tick_order, CritNotes* notes) {
  // A record's line number must fit as it would have in line.
  if (first_line < 0 || static_cast<uint64_t>(first_line + chunk.lines) > uint64_t{UINT32_MAX} + 1)
    return false;
  if (!chunk.ticks.Fits()) return false;
  const bool has_last = !table.empty();
  DamageRecord last = has_last ? table[table.size() - 1] : DamageRecord{};
  for (const StartQuestion& question : chunk.questions) {
    if (question.cast_merge && has_last && last.Type == kSpellCast &&
        last.Dealer == question.dealer)
      return false;
  }
  for (const StartQuestion& question : chunk.questions) {
    if (question.cast_merge || !has_last || last.Type != kNonMelee || last.Date != question.date)
      continue;
    DamageRecord renamed = last;
    renamed.Name = question.name;
    if (table.ReplaceLast(renamed)) last = table[table.size() - 1];
  }
  const size_t first_record = table.size();
  const size_t first_heal = table.HealCount();
  table.AppendTable(chunk.table, static_cast<uint64_t>(first_line));
  if (tick_order != nullptr) chunk.ticks.Settle(*tick_order, table, first_record);
  if (notes != nullptr)
    notes->Settle(table, first_record, first_heal, chunk.notes, first_line, chunk.lines);
  for (const std::string_view name : chunk.mobs.names()) mobs.Register(table.Intern(name));
  return true;
}

}  // namespace ombrel
