#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shared/AttackVerbs.h"
#include "shared/DamageTable.h"
#include "shared/EventRecord.h"

namespace ombrel {

// The check marks of the Options menu: which stages write their CSV file.
struct PrintOptions {
  bool PrintData = false;       // Data.csv
  bool PrintEvents = false;     // Events.csv
  bool PrintDetails = false;    // textpclist.csv
  bool PrintPCDetails = false;  // PCdetail.csv
  // "Extended Line Rules": the next parse reads the log with the extended rules.
  bool ExtendedLineRules = false;
};

// The tables and settings shared by every stage. One instance lives in the app
// layer and is passed by reference; each table has one writer.
struct Globals {
  // Written by the parse.
  ombrel::DamageTable DamageTable;
  // Names the character damaged, in order of first appearance; views into
  // DamageTable's buffer. An empty list is one empty entry.
  std::vector<std::string_view> MobList{std::string_view{}};
  // Written by the event builder; always at least one element.
  std::vector<EventRecord> EventTable{EventRecord{}};

  // The verb table of the rules that read the log last parsed.
  AttackVerbList AttackVerbs = kAttackVerbs;

  // Taken from the Settings page at every parse.
  std::string CharacterName;
  int32_t EventGap = 18;
  bool IncludePets = false;

  // DamageTable indexes of the glyph and veteran casts of the event last shown.
  std::vector<int64_t> GlyphList;
  std::vector<int64_t> VeteranList;

  PrintOptions Options;
};

}  // namespace ombrel
