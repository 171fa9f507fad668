#include "app/App.h"

#include "app/Settings.h"

namespace ombrel {

// Placeholder: the workflow lands with the events stage.
std::variant<ParsedRun, Failure> RunParse(const ParseRequest& request, const Progress&) {
  return Failure{request.log.string(), "not implemented"};
}

App::App(std::filesystem::path output_dir) : output_dir_(std::move(output_dir)) {
  frame_captions_[0] = "Settings";
  frame_captions_[1] = "Events";
  frame_captions_[2] = "Event Details";
  window_caption_ = "Ombrel Raid by Zerrit";
}

void App::TakeSettings(std::string character_name, int gap_item_index, bool include_pets) {
  TakeSettingsSeconds(std::move(character_name), EventGapFromItem(gap_item_index), include_pets);
}

void App::TakeSettingsSeconds(std::string character_name, int32_t gap_seconds, bool include_pets) {
  globals_.CharacterName = std::move(character_name);
  globals_.EventGap = gap_seconds;
  globals_.IncludePets = include_pets;
}

bool App::CharacterNameIsValid() const { return IsValidCharacterName(globals_.CharacterName); }

ParseRequest App::MakeParseRequest(const std::filesystem::path& log) const {
  ParseRequest r;
  r.log = log;
  r.character_name = globals_.CharacterName;
  r.event_gap = globals_.EventGap;
  r.verbs = globals_.AttackVerbs;
  r.print_data = globals_.Options.PrintData;
  r.print_events = globals_.Options.PrintEvents;
  r.output_dir = output_dir_;
  return r;
}

void App::AdoptParse(ParsedRun&&, const std::filesystem::path&) {}

std::variant<ParsedRun*, Failure> App::Parse(const std::filesystem::path& log, const Progress&) {
  return Failure{log.string(), "not implemented"};
}

void App::SelectEvent(size_t row) { selected_event_ = row; }
void App::SelectCombatant(size_t row) { selected_combatant_ = row; }

std::vector<Failure> App::ChooseTab(int tab) {
  selected_tab_ = tab;
  return {};
}

void App::EventDetailHeaderClicked(int) {}

std::optional<Failure> App::ExportEvents(const std::filesystem::path&) const { return std::nullopt; }
std::optional<Failure> App::ExportEventDetail(const std::filesystem::path&) const {
  return std::nullopt;
}

}  // namespace ombrel
