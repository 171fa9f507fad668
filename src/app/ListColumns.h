#pragma once

#include <span>
#include <string_view>

namespace ombrel {

enum class Align { kLeft, kRight };

// One column of a list: header text, width in twips, alignment.
struct ListColumn {
  std::string_view header;
  int width_twips;
  Align align;
};

inline constexpr ListColumn kEventsColumns[16] = {
    {"Mob", 2200, Align::kLeft},           {"DmgTaken", 1000, Align::kLeft},
    {"DmgDealt", 1000, Align::kLeft},      {"Duration", 1000, Align::kLeft},
    {"DPSTaken", 1000, Align::kLeft},      {"DPSDealt", 1000, Align::kLeft},
    {"Start", 2000, Align::kLeft},         {"End", 2000, Align::kLeft},
    {"Max Hit Taken", 1250, Align::kLeft}, {"Min Hit Taken", 1250, Align::kLeft},
    {"Hits Taken", 1250, Align::kLeft},    {"Ave Hit Taken", 1250, Align::kLeft},
    {"Max Hit Dealt", 1250, Align::kLeft}, {"Min Hit Dealt", 1250, Align::kLeft},
    {"Hits Dealt", 1250, Align::kLeft},    {"Ave Hit Dealt", 1250, Align::kLeft},
};

inline constexpr ListColumn kEventDetailColumns[25] = {
    {"DamageBy", 2200, Align::kLeft},       {"Dmg Dealt", 1000, Align::kRight},
    {"Duration", 1000, Align::kRight},      {"DPSDealt", 1000, Align::kRight},
    {"ADPSDealt", 1000, Align::kRight},     {"Start", 2000, Align::kRight},
    {"End", 2000, Align::kRight},           {"Max Hit Taken", 1250, Align::kRight},
    {"Min Hit Taken", 1250, Align::kRight}, {"Hits Taken", 1250, Align::kRight},
    {"Max Hit Dealt", 1250, Align::kRight}, {"Min Hit Dealt", 1250, Align::kRight},
    {"Hits Dealt", 1250, Align::kRight},    {"Dmg Taken", 1250, Align::kRight},
    {"DPS Taken", 1250, Align::kRight},     {"Misses", 1250, Align::kRight},
    {"Parries", 1250, Align::kRight},       {"Dodges", 1250, Align::kRight},
    {"Ripostes", 1250, Align::kRight},      {"Blocks", 1250, Align::kRight},
    {"Swings Taken", 1250, Align::kRight},  {"Swings Dealt", 1250, Align::kRight},
    {"Accuracy", 1250, Align::kRight},      {"Evasion", 1250, Align::kRight},
    {"Defense", 1250, Align::kRight},
};

inline constexpr ListColumn kCombatantDetailColumns[16] = {
    {"Damage Source", 2200, Align::kLeft},  {"Damage", 1000, Align::kRight},
    {"DPSDealt", 1000, Align::kRight},      {"ADPSDealt", 1000, Align::kRight},
    {"Max Hit Dealt", 1250, Align::kRight}, {"Min Hit Dealt", 1250, Align::kRight},
    {"Hits Dealt", 1250, Align::kRight},    {"Swings Dealt", 1250, Align::kRight},
    {"Misses", 1250, Align::kRight},        {"Parries", 1250, Align::kRight},
    {"Dodges", 1250, Align::kRight},        {"Ripostes", 1250, Align::kRight},
    {"Blocks", 1250, Align::kRight},        {"Accuracy", 1250, Align::kRight},
    {"Evasion", 1250, Align::kRight},       {"Defense", 1250, Align::kRight},
};

}  // namespace ombrel
