#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "parse/DataCsv.h"
#include "parse/LogLineTime.h"
#include "parse/LogText.h"
#include "parse/PartyNames.h"
#include "parse/ReferenceParse.h"
#include "shared/Display.h"

namespace ombrel::testing {
namespace {

// A hand-made log: lines split at '\n', each given the usual time stamp; a
// line starting with '+' gets the stamp one second later instead, one starting
// with '[' keeps its own and one starting with '~' has none.
std::string MakeLog(std::string_view text) {
  std::string log;
  for (size_t at = 0; at <= text.size();) {
    const size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line = text.substr(at, end - at);
    if (at > 0) log += "\r\n";
    if (line.starts_with('+'))
      log += At("[Mon Jan 02 15:04:06 2006] ", line.substr(1));
    else if (line.starts_with('['))
      log += line;
    else if (line.starts_with('~'))
      log += line.substr(1);
    else
      log += Line(line);
    at = end + 1;
  }
  return log;
}

// Every record as "line:type dealer|taker|damage|name", every heal as
// "h<line> healer>target amount/full spell" and death as "d<line>
// victim<killer", then the count of unreadable lines and the mobs met.
std::string Render(const ParseResult& r) {
  std::string out;
  for (size_t k = 0; k < r.DamageTable.size(); ++k) {
    const DamageRecord d = r.DamageTable[k];
    out += std::to_string(d.Counter) + ":" + std::to_string(d.Type) + " " + std::string(d.Dealer) +
           "|" + std::string(d.Taker) + "|" + std::to_string(d.Damage) + "|" + std::string(d.Name) +
           (d.Crit != 0 ? " crit" : "") + "; ";
  }
  for (size_t k = 0; k < r.DamageTable.HealCount(); ++k) {
    const HealRecord h = r.DamageTable.Heal(k);
    out += "h" + std::to_string(h.Counter) + " " + std::string(h.Healer) + ">" +
           std::string(h.Target) + " " + std::to_string(h.Amount) + "/" +
           std::to_string(h.FullAmount) + " " + std::string(h.Spell) + (h.Crit ? " crit" : "") +
           "; ";
  }
  for (size_t k = 0; k < r.DamageTable.DeathCount(); ++k) {
    const DeathRecord d = r.DamageTable.Death(k);
    out += "d" + std::to_string(d.Counter) + " " + std::string(d.Victim) + "<" +
           std::string(d.Killer) + "; ";
  }
  out += "u" + std::to_string(r.unreadable_lines) + " [";
  for (size_t k = 0; k < r.MobList.size(); ++k)
    out += (k > 0 ? "," : "") + std::string(r.MobList[k]);
  return out + "]";
}

struct Case {
  const char* lines;
  const char* plain;          // under the default rules
  const char* extended = "";  // under the extended rules; empty: not pinned
};

// clang-format off
const std::vector<Case> kCases = {
    // Spell casts, by others and by the character.
    {"Soandso begins to cast a spell. <Fire Shard>",
     "0:4 Soandso||0|Fire Shard; u0 []"},
    {"You begin casting Fire Shard.\nYou begin casting  Greater Heal  .\nYou begin casting .",
     "0:4 Tarlen||0|Fire Shard; 1:4 Tarlen||0|Greater Heal; 2:4 Tarlen||0|; u0 []"},
    // Without "<" the name starts at the first character of the line.
    {"Soandso begins to cast a spell. No bracket!\nSoandso begins to cast a spell.<no blank after the stop>\nYou began casting Fire Shard.",
     "0:4 Soandso||0|[Mon Jan 02 15:04:05 2006] Soandso begins to cast a spell. No bracket; u0 []"},
    // "casting" at the very end: the name would have to end before it starts.
    {"~You begin casting\n~begins to cast a spell. <x>",
     "u2 []"},
    // Avoidance: each marker its type; the taker stays as written.
    {"A gnoll tries to hit YOU, but misses!\nA gnoll tries to bite Soandso, but Soandso parries!\nYou try to slash a gnoll, but a gnoll dodges!",
     "0:5 A gnoll|YOU|0|hit; 1:6 A gnoll|Soandso|0|bite; u0 []"},
    {"A gnoll tries to kick you, but YOU dodges!\nA gnoll tries to crush Soandso, but Soandso ripostes!\nA gnoll tries to slam Soandso, but Soandso blocks!",
     "0:7 A gnoll|you|0|kick; 1:8 A gnoll|Soandso|0|crush; 2:9 A gnoll|Soandso|0|slam; u0 []"},
    // No verb; an empty first word; "slash" precedes "hits" in the table; no ", but"; two markers.
    {"A gnoll tries to shoot YOU, but misses!\nA gnoll tries to  YOU, but misses!\nA gnoll hits tries to slash YOU, but misses!",
     "0:5 A gnoll|YOU|0|; 1:5 A gnoll|YOU|0|; 2:5 A gnoll hits|YOU|0|slash; u0 []"},
    {"A gnoll tries to hit YOU but misses!\nA gnoll tries to hit YOU, but YOU parries! and blocks!",
     "1:6 A gnoll|YOU|0|hit; 1:9 A gnoll|YOU|0|hit; u1 []"},
    // Damage over time; line 3 holds for both rules: two records from one line.
    {"A gnoll has taken 12 damage from your Poison Bolt.\nA gnoll has taken 12 damage from Soandso by Poison Bolt.",
     "0:3 Tarlen|A gnoll|12|Poison Bolt.; 1:3 Soandso|A gnoll|12|Poison Bolt.; u0 [A gnoll]"},
    {"A gnoll has taken  -7  damage from your  Drain  \nA gnoll has taken 3 damage from your Bolt by Soandso\nA gnoll has taken 12 damage from Soandso.",
     "0:3 Tarlen|A gnoll|-7|Drain; 1:3 Tarlen|A gnoll|3|Bolt by Soandso; 1:3 your Bolt|A gnoll|3|Soandso; u0 [A gnoll]"},
    // Direct damage, melee and non-melee, by and on the character.
    {"You hit a gnoll for 20 points of damage.\nA gnoll hits YOU for 15 points of damage.\nSoandso slashes a gnoll for 1 point of damage.",
     "0:1 Tarlen|a gnoll|20|hit; 1:1 A gnoll|Tarlen|15|hits; 2:1 Soandso|a gnoll|1|slashes; u0 [a gnoll]"},
    {"You hit a gnoll for 300 points of non-melee damage.\nA gnoll bites Soandso for 1 point of non-melee damage.\nSoandso frenzies on a gnoll for 9 points of damage.",
     "0:2 Tarlen|a gnoll|300|hit; 1:2 A gnoll|Soandso|1|bites; 2:1 Soandso|a gnoll|9|frenzies on; u0 [a gnoll]"},
    // No amount phrase: kept with type 0 and no amount.
    {"You kick a gnoll for some of damage.",
     "0:0 Tarlen|a gnoll|0|kick; u0 [a gnoll]"},
    // No verb, unreadable or out-of-range amounts, no " for ", " points " in the dealer.
    {"A gnoll shoots YOU for 15 points of damage.\nYou hit a gnoll for lots points of damage.\nYou hit a gnoll for 99999999999 points of damage.",
     "u2 []"},
    {"You hit a gnoll for 2147483648 points of damage.\nYou hit a gnoll with 20 points of damage.\nTwo points hit you for 5 points of damage.",
     "u3 []"},
    {"You hit a gnoll for 2147483647 points of damage.\nYou hit a gnoll for -2147483648 points of damage.",
     "0:1 Tarlen|a gnoll|2147483647|hit; 1:1 Tarlen|a gnoll|-2147483648|hit; u0 [a gnoll]"},
    // Heals, summaries and chat never yield damage; "healed you" only stops "of damage".
    {"You have taken 50 points of damage.\nYou have healed a gnoll for 5 points of damage.\nSoandso has healed you for 5 points of damage.",
     "u0 []"},
    {"Soandso heals, healed you for 5 points of damage.\nSoandso hits healed you for 5 points of non-melee damage.",
     "1:2 Soandso|healed you|5|hits; u0 []"},
    {"Soandso tells you, 'a gnoll hits you for 5 points of damage'\nSoandso tells the group, 'a gnoll tries to hit YOU, but misses!'",
     "u0 []"},
    {"A gnoll hits Soandso -> for 5 points of damage.\nA gnoll hits Soandso <- for 5 points of damage.",
     "u0 []"},
    {"Soandso says to your guild, 'You hit a gnoll for 2 points of damage.'\nYou hit a gnoll for 5 points of Damage.",
     "u0 []"},
    {"Soandso tell you hit a gnoll for 5 points of damage.\nSoandso tellsyou hit a gnoll for 5 points of damage.",
     "1:1 Soandso tellsyou|a gnoll|5|hit; u0 []"},
    // The cast rules ignore chat.
    {"Soandso tells you, 'You begin casting Fire Shard.'\nSoandso -> Other: Soandso begins to cast a spell. <Root>",
     "0:4 Tarlen||0|Fire Shard.; 1:4 Soandso -> Other: Soandso||0|Root; u0 []"},
    // One line, several records in rule order.
    {"Soandso begins to cast a spell. You begin casting Bolt; A gnoll tries to hit YOU, but YOU parries! A gnoll has taken 4 damage from your Bolt by Soandso for 3 points of damage",
     "0:4 Soandso||0|[Mon Jan 02 15:04:05 2006] Soandso begins to cast a spell. You begin casting Bolt; A gnoll tries to hit YOU, but YOU parries! A gnoll has taken 4 damage from your Bolt by Soandso for 3 points of damag; 0:4 Tarlen||0|Bolt; A gnoll tries to hit YOU, but YOU parries! A gnoll has taken 4 damage from your Bolt by Soandso for 3 points of damag; 0:6 Soandso begins to cast a spell. You begin casting Bolt; A gnoll|YOU|0|hit; 0:3 Tarlen|Soandso begins to cast a spell. You begin casting Bolt; A gnoll tries to hit YOU, but YOU parries! A gnoll|4|Bolt by Soandso for 3 points of damage; 0:3 your Bolt|Soandso begins to cast a spell. You begin casting Bolt; A gnoll tries to hit YOU, but YOU parries! A gnoll|4|Soandso for 3 points of damage; 0:1 Soandso begins to cast a spell. You begin casting Bolt; A gnoll tries to|YOU, but YOU parries! A gnoll has taken 4 damage from your Bolt by Soandso|3|hit; u0 [Soandso begins to cast a spell. You begin casting Bolt; A gnoll tries to hit YOU, but YOU parries! A gnoll]"},
    // A non-melee hit completes the caster's own cast before it, not somebody else's; a
    // melee hit between them keeps them apart, lines yielding nothing do not.
    {"You begin casting Fire Shard.\nYou hit a gnoll for 300 points of non-melee damage.\nSoandso begins to cast a spell. <Ice Spire>\nSoandso hits a gnoll for 250 points of non-melee damage.",
     "0:2 Tarlen|a gnoll|300|Fire Shard; 2:2 Soandso|a gnoll|250|Ice Spire; u0 [a gnoll]"},
    {"Soandso begins to cast a spell. <Ice Spire>\nYou hit a gnoll for 40 points of non-melee damage.\nYou begin casting Bolt.\nYou hit a gnoll for 7 points of damage.\nYou hit a gnoll for 8 points of non-melee damage.",
     "0:4 Soandso||0|Ice Spire; 1:2 Tarlen|a gnoll|40|hit; 2:4 Tarlen||0|Bolt; 3:1 Tarlen|a gnoll|7|hit; 4:2 Tarlen|a gnoll|8|hit; u0 [a gnoll]"},
    {"You begin casting Bolt.\nSoandso says, 'hi'\nYou hit a gnoll for lots of damage, points of non-melee damage\nYou hit a gnoll for 5 points of non-melee damage.",
     "0:2 Tarlen|a gnoll|5|Bolt; u1 [a gnoll]"},
    // Special messages rename the last non-melee hit of the same second: not one a second
    // earlier, never a melee hit; in the hit's own line after it; only the exact messages;
    // chat renames like any line; a message whose time cannot be read renames nothing.
    {"A gnoll is enveloped in ethereal energy.\nYou hit a gnoll for 50 points of non-melee damage.\nA gnoll is enveloped in ethereal energy.\nYou hit a gnoll for 60 points of non-melee damage.\n+A gnoll is enveloped in ethereal energy.",
     "1:2 Tarlen|a gnoll|50|Mana Resurgence Strike; 3:2 Tarlen|a gnoll|60|hit; u0 [a gnoll]"},
    {"Soandso hits a gnoll for 70 points of non-melee damage.\nA gnoll quivers as a bolt of energy surges through them.\nYou hit a gnoll for 80 points of damage.\nA gnoll quivers as a bolt of energy surges through them.",
     "0:2 Soandso|a gnoll|70|Storm Blade Strike; 2:1 Tarlen|a gnoll|80|hit; u0 [a gnoll]"},
    {"You hit a gnoll for 9 points of non-melee damage. A gnoll is enveloped in ethereal energy.\nYou hit a gnoll for 50 points of non-melee damage.\nA gnoll is enveloped in ethereal energy\nA gnoll quivers as a bolt of energy surges through him.\nA gnoll is enveloped in Ethereal energy.",
     "0:2 Tarlen|a gnoll|9|Mana Resurgence Strike; 1:2 Tarlen|a gnoll|50|hit; u0 [a gnoll]"},
    {"You hit a gnoll for 10 points of non-melee damage.\nSoandso tells you, 'a gnoll is enveloped in ethereal energy.'\n[Mon Foo 02 15:04:06 2006] A gnoll is enveloped in ethereal energy.",
     "0:2 Tarlen|a gnoll|10|Mana Resurgence Strike; u1 [a gnoll]"},
    // Mobs: what the character damaged, in first-seen order; the exact name as dealer counts as
    // the character, the lower-case form does not; a merged cast names its taker; "you" as
    // taker is the character.
    {"A gnoll hits YOU for 15 points of damage.\nSoandso hits a bat for 15 points of damage.\nYou hit a gnoll for 20 points of damage.\nYou hit a gnoll for 20 points of damage.\nYOU tries to hit a bat, but a bat dodges!\nA bat has taken 3 damage from your Poison.\nYou hit a gnoll for 20 points of damage.\nTarlen slashes a rat for 2 points of damage.\ntarlen slashes a snake for 2 points of damage.\nYou begin casting Bolt.\nYou hit a wolf for 9 points of non-melee damage.\nYou hit you for 1 point of damage.",
     "0:1 A gnoll|Tarlen|15|hits; 1:1 Soandso|a bat|15|hits; 2:1 Tarlen|a gnoll|20|hit; 3:1 Tarlen|a gnoll|20|hit; 4:7 YOU|a bat|0|hit; 5:3 Tarlen|A bat|3|Poison.; 6:1 Tarlen|a gnoll|20|hit; 7:1 Tarlen|a rat|2|slashes; 8:1 tarlen|a snake|2|slashes; 9:2 Tarlen|a wolf|9|Bolt; 11:1 Tarlen|Tarlen|1|hit; u0 [a gnoll,A bat,a rat,a wolf,Tarlen]"},
    // Lines both rule sets read, the extended ones with sentence capitals folded.
    {"You hit a gnoll for 20 points of damage.\nA gnoll has taken 12 damage from Ann by Rot.",
     "0:1 Tarlen|a gnoll|20|hit; 1:3 Ann|A gnoll|12|Rot.; u0 [a gnoll]",
     "0:1 Tarlen|a gnoll|20|hit; 1:3 Ann|a gnoll|12|Rot.; u0 [a gnoll]"},
    {"Gorrum slashes a cave bat for 5 points of damage.\nA cave bat bites YOU for 3 points of damage.",
     "0:1 Gorrum|a cave bat|5|slashes; 1:1 A cave bat|Tarlen|3|bites; u0 []",
     "0:1 Gorrum|a cave bat|5|slashes; 1:1 a cave bat|Tarlen|3|bites; u0 []"},
    // "was hit by non-melee", merged with the cast.
    {"You begin casting Fire Shard.\na cave bat was hit by non-melee for 12 points of damage.\na cave bat was hit by non-melee for 1 point of damage.",
     "0:4 Tarlen||0|Fire Shard; 1:1 a cave bat was|by non-melee|12|hit; 2:1 a cave bat was|by non-melee|1|hit; u0 []",
     "0:2 Tarlen|a cave bat|12|Fire Shard; 2:2 Tarlen|a cave bat|1|hit; u0 [a cave bat]"},
    // The character's defences and misses.
    {"A cave bat tries to bite YOU, but YOU parry!\nA cave bat tries to bite YOU, but YOU dodge!\nA cave bat tries to claw YOU, but YOU riposte!",
     "u0 []",
     "0:6 A cave bat|Tarlen|0|bite; 1:7 A cave bat|Tarlen|0|bite; 2:8 A cave bat|Tarlen|0|claw; u0 []"},
    {"A cave bat tries to bite YOU, but YOU block!\nA cave bat tries to hit YOU, but misses!",
     "1:5 A cave bat|YOU|0|hit; u0 []",
     "0:9 A cave bat|Tarlen|0|bite; 1:5 A cave bat|Tarlen|0|hit; u0 []"},
    {"You try to slash a cave bat, but miss!\nYou try to slash a cave bat, but a cave bat parries!\nYou try to kick a cave bat, but a cave bat dodges!",
     "u0 []",
     "0:5 Tarlen|a cave bat|0|slash; 1:6 Tarlen|a cave bat|0|slash; 2:7 Tarlen|a cave bat|0|kick; u0 []"},
    {"You try to bash a cave bat, but a cave bat ripostes!\nYou try to pierce a cave bat, but a cave bat blocks!\nYou try to slash a cave bat, but it was close.",
     "u0 []",
     "0:8 Tarlen|a cave bat|0|bash; 1:9 Tarlen|a cave bat|0|pierce; u0 []"},
    // More verbs, spell damage with a school, damage shields, damage over time on the character.
    {"Brisa cleaves a cave bat for 30 points of damage.\nYou stab a cave bat for 9 points of damage.\nA cave bat tries to shoot YOU, but misses!",
     "2:5 A cave bat|YOU|0|; u0 []",
     "0:1 Brisa|a cave bat|30|cleaves; 1:1 Tarlen|a cave bat|9|stab; 2:5 a cave bat|Tarlen|0|shoot; u0 [a cave bat]"},
    {"Brisa hit a cave bat for 310 points of fire damage by Ember Dart. (Critical)\nA cave bat hit you for 36 points of magic damage by Drain Life.",
     "u0 []",
     "0:2 Brisa|a cave bat|310|Ember Dart crit; 1:2 a cave bat|Tarlen|36|Drain Life; u0 []"},
    // The character is never a mob: "yourself", "YOU", its name in either spelling.
    {"You hit yourself for 1 point of cold damage by Backlash (Lucky Critical).\nTarlen is burned by YOUR flames for 5 points of non-melee damage.\nYOU is burned by YOUR flames for 2 points of non-melee damage.\nA cave bat is pierced by YOU's thorns for 3 points of non-melee damage.\nYou hit you for 4 points of damage.\ntarlen has taken 6 damage from your Rot.",
     "4:1 Tarlen|Tarlen|4|hit; 5:3 Tarlen|tarlen|6|Rot.; u0 [Tarlen,tarlen]",
     "0:2 Tarlen|Tarlen|1|Backlash (Lucky Critical); 1:2 Tarlen|Tarlen|5|damage shield; 2:2 Tarlen|Tarlen|2|damage shield; 3:2 Tarlen|A cave bat|3|damage shield; 4:1 Tarlen|Tarlen|4|hit; 5:3 Tarlen|Tarlen|6|Rot.; u0 [A cave bat]"},
    {"A cave bat is burned by YOUR flames for 5 points of non-melee damage.\nA cave bat is pierced by Brisa's thorns for 4 points of non-melee damage.",
     "u0 []",
     "0:2 Tarlen|A cave bat|5|damage shield; 1:2 Brisa|A cave bat|4|damage shield; u0 [A cave bat]"},
    {"YOU are pierced by a cave bat's thorns for 3 points of non-melee damage!",
     "u0 []",
     "0:2 a cave bat|Tarlen|3|damage shield; u0 []"},
    // No dealer, no record: without " by ..." or with nothing after it; no full stop.
    {"You have taken 20 damage from Poison Sting by a cave bat.\nYou have taken 8 damage from Poison Sting.\nYou have taken 20 damage from Toad Venom by .\nYou have taken 5 damage from Backlash by YOU.\nYou have taken 6 damage from Rot by a rat",
     "u0 []",
     "0:3 a cave bat|Tarlen|20|Poison Sting; 3:3 Tarlen|Tarlen|5|Backlash; 4:3 a rat|Tarlen|6|Rot; u0 []"},
    // Damage over time by others, extended rules: the caster is a corpse's owner, the side that
    // is the character, "you" or a party of an earlier record of another kind, or the side not
    // shaped like a spell; the record as an older-order line gives it.
    {"Brisa slashes a cave bat for 5 points of damage.\nA cave bat has taken 1140 damage from Venom Bloom Rk. II by Brisa.\nA cave bat has taken 12 damage from Brisa by Rot Grasp.\nA cave bat has taken 7 damage from Venom Bloom by you.\nTarlen has taken 135 damage from Rotting Touch by a grave hound's corpse.",
     "0:1 Brisa|a cave bat|5|slashes; 1:3 Venom Bloom Rk. II|A cave bat|1140|Brisa.; 2:3 Brisa|A cave bat|12|Rot Grasp.; 3:3 Venom Bloom|A cave bat|7|you.; 4:3 Rotting Touch|Tarlen|135|a grave hound's corpse.; u0 []",
     "0:1 Brisa|a cave bat|5|slashes; 1:3 Brisa|a cave bat|1140|Venom Bloom Rk. II.; 2:3 Brisa|a cave bat|12|Rot Grasp.; 3:3 Tarlen|a cave bat|7|Venom Bloom.; 4:3 a grave hound|Tarlen|135|Rotting Touch.; u0 []"},
    // A caster not met yet: the spell's shape, else the order last decided so...
    {"A cave bat has taken 9 damage from Mirel by Blight Rk. III.\nA cave bat has taken 4 damage from Mirel by Blight.\nMirel hits a cave bat for 3 points of damage.\nA cave bat has taken 5 damage from Ash Veil by Mirel.\nA cave bat has taken 6 damage from Orrin by Blight.",
     "0:3 Mirel|A cave bat|9|Blight Rk. III.; 1:3 Mirel|A cave bat|4|Blight.; 2:1 Mirel|a cave bat|3|hits; 3:3 Ash Veil|A cave bat|5|Mirel.; 4:3 Orrin|A cave bat|6|Blight.; u0 []",
     "0:3 Mirel|A cave bat|9|Blight Rk. III.; 1:3 Mirel|A cave bat|4|Blight.; 2:1 Mirel|A cave bat|3|hits; 3:3 Mirel|A cave bat|5|Ash Veil.; 4:3 Blight|A cave bat|6|Orrin.; u0 []"},
    // ...else the date: the newer order from 2018 on. A side missing: no record.
    {"[Wed Jan 02 15:04:05 2019] A cave bat has taken 8 damage from Dread Touch by Orrin.\n[Wed Jan 02 15:04:05 2019] A cave bat has taken 8 damage from Dread Touch by .\n[Wed Jan 02 15:04:05 2019] A cave bat has taken 8 damage from  by Orrin.\nA cave bat has taken 2 damage from Dread Touch by Orrin.",
     "0:3 Dread Touch|A cave bat|8|Orrin.; 1:3 Dread Touch|A cave bat|8|.; 2:3 |A cave bat|8|Orrin.; 3:3 Dread Touch|A cave bat|2|Orrin.; u0 []",
     "0:3 Orrin|A cave bat|8|Dread Touch.; 3:3 Dread Touch|A cave bat|2|Orrin.; u0 []"},
    // Tags after the final full stop, one or several; not after other text.
    {"A gnoll has taken 12 damage from your Poison Bolt. (Critical)\nYou slash a gnoll for 40 points of damage. (Lucky Critical)\nA gnoll has taken 30 damage from your Boil Blood. (Critical) (Twincast)\nA gnoll has taken 9 damage from your Rot. (Critical) x (Twincast)",
     "0:3 Tarlen|A gnoll|12|Poison Bolt. (Critical); 1:1 Tarlen|a gnoll|40|slash; 2:3 Tarlen|A gnoll|30|Boil Blood. (Critical) (Twincast); 3:3 Tarlen|A gnoll|9|Rot. (Critical) x (Twincast); u0 [A gnoll,a gnoll]",
     "0:3 Tarlen|A gnoll|12|Poison Bolt. crit; 1:1 Tarlen|A gnoll|40|slash crit; 2:3 Tarlen|A gnoll|30|Boil Blood. crit; 3:3 Tarlen|A gnoll|9|Rot. (Critical) x (Twincast); u0 [A gnoll]"},
    // Heals, deaths and announced critical hits: the extended rules keep them apart from
    // the damage records; the default rules read nothing new in them.
    {"Ann healed Brisa for 500 hit points by Light.\nAnn healed you over time for 120 (300) hit points by Renew.\nYou feel better. Ann healed you for 500 hit points by Light. (Critical)\nA gnoll has been healed for 50 hit points by Mend.\nYou healed yourself for 0 hit points.",
     "u0 []",
     "h0 Ann>Brisa 500/500 Light; h1 Ann>Tarlen 120/300 Renew; h2 Ann>Tarlen 500/500 Light crit; h3 >A gnoll 50/50 Mend; h4 Tarlen>Tarlen 0/0 ; u0 []"},
    {"You have healed Ann for 30 points.\nAnn has healed you for 30 points.\nYou have been healed for 40 points of damage.\nYour Light healed Ann for 60 damage.\nYou healed Ann for 70 damage.\nAnn healed herself for 5 hit points.\nYou have been healed for points.\nYou have healed for 5 points.\nx. healed you for 5 hit points.",
     "u0 []",
     "h0 Tarlen>Ann 30/30 ; h1 Ann>Tarlen 30/30 ; h2 >Tarlen 40/40 ; h3 Tarlen>Ann 60/60 Light; h4 Tarlen>Ann 70/70 ; h5 Ann>Ann 5/5 ; h8 x.>Tarlen 5/5 ; u0 []"},
    {"You have slain a gnoll!\na gnoll has been slain by Ann`s pet!\nYou have been slain by a gnoll!\nAnn died.\nYou died.\nSoandso tells you, 'You have slain a gnoll!'",
     "u0 []",
     "d0 a gnoll<Tarlen; d1 a gnoll<Ann`s pet; d2 Tarlen<a gnoll; d3 Ann<; d4 Tarlen<; u0 []"},
    // An announcement marks the first hit of its dealer and amount within four lines (a cast
    // it completes included), once; a heal's marks a heal.
    {"Brisa scores a critical hit! (310)\nBrisa slashes a gnoll for 40 points of damage.\nBrisa slashes a gnoll for 310 points of damage.\nBrisa slashes a gnoll for 310 points of damage.\nYou deliver a critical blast! (300)\nYou begin casting Fire Shard.\nYou hit a gnoll for 300 points of non-melee damage.\nGorrum lands a Crippling Blow!(90)\nSoandso says, 'hi'\nSoandso says, 'hi'\nSoandso says, 'hi'\nSoandso says, 'hi'\nGorrum slashes a gnoll for 90 points of damage.\nAnn performs an exceptional heal! (500)\nAnn healed you for 500 hit points by Light.",
     "1:1 Brisa|a gnoll|40|slashes; 2:1 Brisa|a gnoll|310|slashes; 3:1 Brisa|a gnoll|310|slashes; 5:2 Tarlen|a gnoll|300|Fire Shard; 12:1 Gorrum|a gnoll|90|slashes; u0 [a gnoll]",
     "1:1 Brisa|a gnoll|40|slashes; 2:1 Brisa|a gnoll|310|slashes crit; 3:1 Brisa|a gnoll|310|slashes; 5:2 Tarlen|a gnoll|300|Fire Shard crit; 12:1 Gorrum|a gnoll|90|slashes; h14 Ann>Tarlen 500/500 Light crit; u0 [a gnoll]"},
    // Sentence capitals: only the first letter folds; the character keeps the name as typed,
    // and damages a mob in either spelling.
    {"Gorrum slashes a gnoll for 5 points of damage.\nA gnoll bites YOU for 3 points of damage.\nYou hit A gnoll for 4 points of damage.\nYou hit A Gnoll for 6 points of damage.\ntarlen hits a gnoll for 7 points of damage.\ngorrum hits Tarlen for 1 point of damage.\ntarlen hits a bat for 2 points of damage.",
     "0:1 Gorrum|a gnoll|5|slashes; 1:1 A gnoll|Tarlen|3|bites; 2:1 Tarlen|A gnoll|4|hit; 3:1 Tarlen|A Gnoll|6|hit; 4:1 tarlen|a gnoll|7|hits; 5:1 gorrum|Tarlen|1|hits; 6:1 tarlen|a bat|2|hits; u0 [A gnoll,A Gnoll]",
     "0:1 Gorrum|a gnoll|5|slashes; 1:1 a gnoll|Tarlen|3|bites; 2:1 Tarlen|a gnoll|4|hit; 3:1 Tarlen|A Gnoll|6|hit; 4:1 Tarlen|a gnoll|7|hits; 5:1 Gorrum|Tarlen|1|hits; 6:1 Tarlen|a bat|2|hits; u0 [a gnoll,A Gnoll,a bat]"},
    // Pets take their owners' first letter, in one spelling or several; accented letters fold.
    {"You hit a gnoll for 1 point of damage.\nA gnoll`s pet bites YOU for 2 points of damage.\nYou hit a gnoll`s pet for 3 points of damage.",
     "0:1 Tarlen|a gnoll|1|hit; 1:1 A gnoll`s pet|Tarlen|2|bites; 2:1 Tarlen|a gnoll`s pet|3|hit; u0 [a gnoll,a gnoll`s pet]",
     "0:1 Tarlen|a gnoll|1|hit; 1:1 a gnoll`s pet|Tarlen|2|bites; 2:1 Tarlen|a gnoll`s pet|3|hit; u0 [a gnoll,a gnoll`s pet]"},
    {"A rat`s warder bites YOU for 2 points of damage.\nYou hit A rat`s warder for 3 points of damage.\nYou hit a rat for 3 points of damage.\ntarlen`s warder bites a rat for 4 points of damage.",
     "0:1 A rat`s warder|Tarlen|2|bites; 1:1 Tarlen|A rat`s warder|3|hit; 2:1 Tarlen|a rat|3|hit; 3:1 tarlen`s warder|a rat|4|bites; u0 [A rat`s warder,a rat]",
     "0:1 a rat`s warder|Tarlen|2|bites; 1:1 Tarlen|a rat`s warder|3|hit; 2:1 Tarlen|a rat|3|hit; 3:1 Tarlen`s warder|a rat|4|bites; u0 [a rat`s warder,a rat]"},
    {"You hit \xC9lan for 8 points of damage.\n\xE9lan hits YOU for 9 points of damage.\nYou hit \xD7x for 8 points of damage.\n\xF7x hits YOU for 9 points of damage.",
     "0:1 Tarlen|\xC9lan|8|hit; 1:1 \xE9lan|Tarlen|9|hits; 2:1 Tarlen|\xD7x|8|hit; 3:1 \xF7x|Tarlen|9|hits; u0 [\xC9lan,\xD7x]",
     "0:1 Tarlen|\xC9lan|8|hit; 1:1 \xC9lan|Tarlen|9|hits; 2:1 Tarlen|\xD7x|8|hit; 3:1 \xF7x|Tarlen|9|hits; u0 [\xC9lan,\xD7x]"},
};
// clang-format on

TEST(LineRules, HandMadeLinesGiveTheirRecordsAndAgreeWithTheReference) {
  for (const Case& c : kCases) {
    const std::string log = MakeLog(c.lines);
    for (const LineRules rules : {LineRules::kDefault, LineRules::kExtended}) {
      SCOPED_TRACE(std::string(c.lines) + (rules == LineRules::kExtended ? " (extended)" : ""));
      const ParseResult r = ParseLogText(log, kName, AttackVerbsOf(rules), rules);
      const ReferenceResult slow = ReferenceParse(log, kName, AttackVerbsOf(rules), rules);
      EXPECT_EQ(ToReference(r.DamageTable), slow.records);
      EXPECT_EQ(r.unreadable_lines, slow.unreadable_lines);
      const char* expected = rules == LineRules::kDefault ? c.plain : c.extended;
      if (rules == LineRules::kDefault || *expected != '\0') {
        EXPECT_EQ(Render(r), expected);
      }
    }
  }
}

TEST(SentenceCapitals, DataCsvKeepsTheNamesAsTheLinesWroteThem) {
  const ParseResult r = ParseLogText(
      MakeLog(
          "A gnoll bites YOU for 3 points of damage.\ntarlen hits a gnoll for 7 points of damage."),
      kName, kExtendedAttackVerbs, LineRules::kExtended);
  std::ostringstream out;
  WriteDataCsv(out, r.DamageTable, {}, r.written_names);
  EXPECT_EQ(out.str(),
            "Date,Dealer,Taker,Damage,Crit,Type,Name,Counter\r\n"
            "01/02/2006 15:04:05,A gnoll,Tarlen,3,0,1,bites,0\r\n"
            "01/02/2006 15:04:05,tarlen,a gnoll,7,0,1,hits,1\r\n");
  // Without a change nothing needs keeping.
  EXPECT_TRUE(Parse(MakeLog("A gnoll bites YOU for 3 points of damage.")).written_names.empty());
  EXPECT_TRUE(ParseLogText(MakeLog("You hit a gnoll for 4 points of damage."), kName,
                           kExtendedAttackVerbs, LineRules::kExtended)
                  .written_names.empty());
}

std::string DataCsv(const DamageTable& table) {
  std::ostringstream out;
  WriteDataCsv(out, table);
  return out.str();
}

TEST(DataCsv, DatesAsTheDisplayWritesThem) {
  // Across seconds, midnights, months and years, back and forth, before the
  // zero date and beyond four-digit years.
  // clang-format off
  std::vector<int64_t> seconds = {0, -1, -86400, -86401, 86399, 86400, 3'786'825'599,
      -59'926'608'000, -60'000'000'000, 253'402'300'799, 253'402'300'800, 400'000'000'000};
  // clang-format on
  for (int64_t s = 3'345'000'000; s < 3'345'000'000 + 3 * 86400; s += 3599) seconds.push_back(s);
  std::vector<DamageRecord> records;
  for (const int64_t s : seconds)
    records.push_back({DateTime{s}, "a", "b", 1, 0, kMelee, "hit", 0});
  const std::string csv = DataCsv(DamageTable::FromRecords(records));
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);  // the header
  for (const int64_t s : seconds) {
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line.substr(0, line.find(',')), display::DateTimeText(DateTime{s})) << s;
  }
  // Rendered in stretches by several threads, the file is the same, the
  // names written otherwise landing on their own records.
  const DamageTable table = DamageTable::FromRecords(records);
  const std::vector<WrittenNames> written = {
      {0, "A", "B"}, {6, "C", "D"}, {7, "E", "F"}, {records.size() - 1, "G", "H"}};
  std::ostringstream whole;
  WriteDataCsv(whole, table, {}, written, {.threads = 1, .records = records.size()});
  EXPECT_NE(whole.str().find("\r\n" + display::DateTimeText(DateTime{seconds[7]}) + ",E,F,"),
            std::string::npos);
  for (const DataCsvSplit split : {DataCsvSplit{1, 1}, DataCsvSplit{2, 7}, DataCsvSplit{3, 5}}) {
    std::ostringstream split_out;
    WriteDataCsv(split_out, table, {}, written, split);
    EXPECT_EQ(split_out.str(), whole.str()) << split.threads << " " << split.records;
  }
}

TEST(LogLineTime, ReadsEveryFieldOfTheStamp) {
  const auto t = LogLineTime("[Mon Jan 02 15:04:05 2006] You hit a gnoll");
  ASSERT_TRUE(t.has_value());
  EXPECT_EQ(*t, Civil(2006, 1, 2, 15, 4, 5));
  // The whole-day count of the date plus 54245 seconds.
  EXPECT_EQ(t->seconds % DateTime::kSecondsPerDay, 54245);
  EXPECT_EQ(LogLineTime("[Sun Dec 31 23:59:59 2006]"), Civil(2006, 12, 31, 23, 59, 59));
  EXPECT_EQ(LogLineTime("[Mon Jan 01 00:00:00 2007] ")->seconds % DateTime::kSecondsPerDay, 0);
  const char* months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int m = 1; m <= 12; ++m) {
    const std::string stamp = std::string("[Xxx ") + months[m - 1] + " 15 08:00:00 2010] ";
    EXPECT_EQ(LogLineTime(stamp), Civil(2010, m, 15, 8, 0, 0)) << stamp;
  }
  EXPECT_EQ(LogLineTime("[Thu Feb 29 12:00:00 2008] "), Civil(2008, 2, 29, 12, 0, 0));
  // Neither the weekday nor anything after character 25 plays a part.
  EXPECT_EQ(LogLineTime("[Fri Jan 02 15:04:05 2006"), Civil(2006, 1, 2, 15, 4, 5));
  EXPECT_EQ(LogLineTime("?abcdJan?02?15?04?05?2006xyz"), Civil(2006, 1, 2, 15, 4, 5));
  // A blank stands for a leading zero.
  EXPECT_EQ(LogLineTime("[Mon Jan  2  5: 4: 5 2006] "), Civil(2006, 1, 2, 5, 4, 5));
  EXPECT_EQ(LogLineTime("[Mon Jan  2 15:04:05 2006] "), Civil(2006, 1, 2, 15, 4, 5));
}

TEST(LogLineTime, RejectsStampsThatCannotBeRead) {
  // No such month or day (months are case-sensitive; 2006 is no leap year), hours, minutes
  // or seconds out of range, a digit that is not one, a trailing rather than leading blank,
  // a three-digit or zero year, a sign, and lines shorter than the 25 characters needed.
  for (const char* stamp : {"[Mon Foo 02 15:04:05 2006] x", "[Mon jan 02 15:04:05 2006] x",
                            "[Thu Feb 30 15:04:05 2006] x", "[Thu Feb 29 15:04:05 2006] x",
                            "[Mon Jan 00 15:04:05 2006] x", "[Mon Jan 02 24:00:00 2006] x",
                            "[Mon Jan 02 15:60:00 2006] x", "[Mon Jan 02 15:04:61 2006] x",
                            "[Mon Jan 0x 15:04:05 2006] x", "[Mon Jan 2  15:04:05 2006] x",
                            "[Mon Jan 02 15:04:05  206] x", "[Mon Jan 02 15:04:05 0000] x",
                            "[Mon Jan 02 15:-4:05 2006] x", "[Mon Jan 02 15:04:05 200", ""}) {
    EXPECT_FALSE(LogLineTime(stamp)) << stamp;
  }
  EXPECT_TRUE(LogLineTime("[Mon Jan 02 15:04:05 2006"));  // 25 are enough
}

}  // namespace
}  // namespace ombrel::testing
