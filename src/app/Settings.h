#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// What the user chose: the Settings page, taken at every parse, and the
// Options menu.
struct Settings {
  std::string CharacterName;
  int32_t EventGap = 18;
  bool IncludePets = false;
  PrintOptions Options;
};

// The initial text of the name box; a parse refuses it.
inline constexpr std::string_view kInitialNameText = "Type your name here";
// The message box that refuses a name.
inline constexpr std::string_view kInvalidNameMessage = "Hey, use a real name eh?";
inline constexpr std::string_view kInvalidNameTitle = "Invalid Character Name";

// The 148 idle-gap items, "00:00:18" to "00:15:00"; item i is 18 + 6 i seconds.
std::vector<std::string> GapItems();
// The idle gap of the selected item index (-1 for none): at least 18.
int32_t EventGapFromItem(int item_index);
// False for an empty name or exactly the initial text.
bool IsValidCharacterName(std::string_view name);

}  // namespace ombrel
