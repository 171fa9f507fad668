// Synthetic combat log generator.
//
// Produces game logs in the format the parser reads: every line opens with a
// 27-character "[Www Mmm DD HH:MM:SS YYYY] " stamp and ends with CR LF. The
// output depends only on the options: the same options give the same bytes on
// every machine (own PRNG, integer arithmetic, no locale).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace ombrel::loggen {

// Kinds of deliberately broken lines, combinable as a bit mask.
enum MalformedKind : uint32_t {
  kMalformedTruncated = 1u << 0,   // line shorter than 28 characters
  kMalformedBadMonth = 1u << 1,    // combat line with an unknown month abbreviation
  kMalformedBadAmount = 1u << 2,   // "for lots points of damage"
  kMalformedHugeAmount = 1u << 3,  // amount outside the 32-bit signed range
  kMalformedLoneBreak = 1u << 4,   // lone CR or lone LF inside a line
  kMalformedHighByte = 1u << 5,    // Windows-1252 bytes 0x80-0xFF (e.g. "Zo\xEB")
  kMalformedNul = 1u << 6,         // a NUL byte inside a line
  kMalformedAll = 0x7Fu,
  // Broken lines that cannot disturb a parse: short stubs and accented names.
  kMalformedHarmless = kMalformedTruncated | kMalformedHighByte,
};

// Local time of the first line.
struct StartTime {
  int year = 2005;
  int month = 12;
  int day = 31;
  int hour = 22;
  int minute = 30;
  int second = 0;
};

struct Options {
  uint64_t seed = 1;
  // Generation stops at the first line end at or beyond this many bytes.
  uint64_t target_bytes = uint64_t{1} << 20;
  // The log owner; his own actions are written "You ...".
  std::string character = "Tarlen";
  // Probability per line that a broken line is inserted before it.
  double malformed_rate = 0.002;
  uint32_t malformed_kinds = kMalformedAll;
  // Once, at the first idle stretch past half of target_bytes, the clock
  // jumps one hour back (end of daylight-saving time).
  bool clock_goes_back = false;
  // Also writes the kinds of older and newer logs: "was hit by non-melee", spell damage with a
  // school ("... points of fire damage by Fire Shard."), damage shields, damage over time on the
  // owner without " by ...", more attack verbs (cleave, stab, shoot, ...), tags such as
  // " (Critical)" after the final full stop, and from the log's second half on damage over
  // time by others in the newer order ("... damage from Rot Grasp by Ann."). Off, the output
  // is that of earlier versions.
  bool extended_kinds = false;
  // With extended_kinds: the first fight opens with one line of each of those kinds against its
  // first mob, so that a log of a few dozen lines holds them all. Off, nothing changes.
  bool every_extended_kind = false;
  // Fights per MiB of log, as many as players' own logs hold (several hundred): each fight's
  // combat stops (its mobs gone) once it has written its share of a MiB less the non-combat
  // share, and the idle stretch after it writes about that share of non-combat lines while its
  // clock still runs the usual gap. 0 leaves fights and idle stretches as long as they come.
  uint32_t fights_per_mib = 0;
  // With fights_per_mib: the share of each fight's bytes given to non-combat lines.
  double other_share = 0.3;
  StartTime start;
};

struct Stats {
  uint64_t lines = 0;         // CR LF terminated lines written
  uint64_t bytes = 0;         // bytes written
  uint64_t combat_lines = 0;  // hits, misses, avoidances, casts, damage-over-time ticks
  uint64_t chat_lines = 0;    // tells, group/guild/channel talk
  uint64_t other_lines = 0;   // heals, zone and loot messages, spell effects, ...
  uint64_t fights = 0;
  uint64_t named_fights = 0;  // fights against a named mob (long fights)
  uint64_t mobs_slain = 0;
  // Broken lines by kind; malformed_lines is their sum.
  uint64_t malformed_lines = 0;
  uint64_t truncated = 0;
  uint64_t bad_month = 0;
  uint64_t bad_amount = 0;
  uint64_t huge_amount = 0;
  uint64_t lone_break = 0;
  uint64_t high_byte = 0;
  uint64_t nul_byte = 0;
  // 0-based index of the first line stamped after the clock went back; -1 if it never did.
  int64_t clock_back_line = -1;
};

// Writes a log to `out` (which should be in binary mode) and returns what was written.
Stats Generate(const Options& options, std::ostream& out);

// Parses "1048576", "64K", "200M", "1G" (binary multiples). Returns false on bad input.
bool ParseSize(const std::string& text, uint64_t& bytes);

}  // namespace ombrel::loggen
