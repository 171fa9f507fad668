#include "parse/ParseLog.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <new>
#include <system_error>

#include "parse/LineClassifier.h"
#include "parse/VerbScan.h"

namespace ombrel {
namespace {

// How often the parse reports how far it got and looks at the cancel flag.
constexpr size_t kProgressStep = size_t{4} << 20;
// The log is read in pieces of this size, so that a cancel is seen soon.
constexpr size_t kReadPiece = size_t{64} << 20;

// Position of the CR of the first CR LF at or after `from`, npos when none.
// A lone CR or LF does not end a line.
size_t FindLineEnd(std::string_view log, size_t from) {
  const char* data = log.data();
  size_t at = from;
  while (at < log.size()) {
    const void* lf = std::memchr(data + at, '\n', log.size() - at);
    if (lf == nullptr) break;
    const size_t pos = static_cast<size_t>(static_cast<const char*>(lf) - data);
    if (pos > from && data[pos - 1] == '\r') return pos - 1;
    at = pos + 1;
  }
  return std::string_view::npos;
}

// Lines in the log, judged from its first megabyte, so that the record table
// is reserved once instead of growing (and copying) as it fills. A guess on
// the high side only costs address space: the untouched part is never paged in.
size_t EstimateLines(std::string_view log) {
  const std::string_view sample = log.substr(0, size_t{1} << 20);
  size_t lines = 1;
  for (size_t at = FindLineEnd(sample, 0); at != std::string_view::npos;
       at = FindLineEnd(sample, at + 2))
    ++lines;
  if (sample.size() == log.size()) return lines;
  return static_cast<size_t>(static_cast<double>(lines) * static_cast<double>(log.size()) /
                             static_cast<double>(sample.size()));
}

std::string ErrorText(int error, const char* fallback) {
  return error != 0 ? std::generic_category().message(error) : fallback;
}

}  // namespace

size_t ParseTailSize(std::string_view character_name) {
  return character_name.size() + kManaResurgenceStrike.size() + kStormBladeStrike.size() +
         kDamageShield.size();
}

ParseResult ParseLogBuffer(std::unique_ptr<char[]> buffer, size_t size,
                           std::string_view character_name, AttackVerbList verbs,
                           const Progress& progress, size_t capacity, LineRules rules) {
  const size_t tail = ParseTailSize(character_name);
  if (capacity < size + tail) {
    std::unique_ptr<char[]> larger = DamageTable::AllocateBuffer(size + tail);
    if (size != 0) std::memcpy(larger.get(), buffer.get(), size);
    buffer = std::move(larger);
  }
  // The tail after the log: the character name and the two special names.
  char* tail_text = buffer.get() + size;
  auto place = [&tail_text](std::string_view text) {
    if (!text.empty()) std::memcpy(tail_text, text.data(), text.size());
    const std::string_view placed(tail_text, text.size());
    tail_text += text.size();
    return placed;
  };
  ClassifierTexts texts;
  texts.character_name = place(character_name);
  texts.mana_resurgence = place(kManaResurgenceStrike);
  texts.storm_blade = place(kStormBladeStrike);
  texts.damage_shield = place(kDamageShield);

  ParseResult result;
  result.rules = rules;
  result.DamageTable = DamageTable(std::move(buffer), size + tail);
  DamageTable& table = result.DamageTable;
  const std::string_view log = table.Buffer().substr(0, size);
  if (log.empty()) return result;  // an empty log has no line at all

  const size_t expected = EstimateLines(log);
  table.Reserve(expected + expected / 4 + 16);
  const VerbScanner scanner(verbs);
  LineClassifier classifier(table, result.MobList, texts, scanner, rules);

  int64_t index = 0;
  size_t start = 0;
  size_t next_report = kProgressStep;
  for (;;) {
    const size_t end = FindLineEnd(log, start);
    if (end == std::string_view::npos) {
      // The rest after the last CR LF is the last line, empty when the log ends with CR LF.
      classifier.Classify(log.substr(start), index++);
      break;
    }
    classifier.Classify(log.substr(start, end - start), index++);
    start = end + 2;
    if (start >= next_report) {
      next_report = start + kProgressStep;
      progress.Report(static_cast<double>(start) / static_cast<double>(size));
      if (progress.Cancelled()) {
        result.cancelled = true;
        break;
      }
    }
  }
  result.lines = index;
  result.unreadable_lines = classifier.unreadable_lines();
  if (rules == LineRules::kExtended && !result.cancelled)
    result.written_names = JoinSentenceCapitals(table, result.MobList, texts.character_name);
  if (!result.cancelled) progress.Report(1.0);
  return result;
}

std::variant<ParseResult, Failure> ParseLog(const std::filesystem::path& path,
                                            std::string_view character_name, AttackVerbList verbs,
                                            const Progress& progress, LineRules rules) {
  namespace fs = std::filesystem;
  const std::string shown = path.string();
  std::error_code ec;
  if (fs::is_directory(path, ec)) return Failure{shown, ErrorText(EISDIR, "Is a directory")};
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return Failure{shown, ErrorText(errno, "cannot open the file")};
  const uintmax_t file_size = fs::file_size(path, ec);
  if (ec) return Failure{shown, ec.message()};
  if (file_size > SIZE_MAX - ParseTailSize(character_name))
    return Failure{shown, ErrorText(EFBIG, "File too large")};
  const size_t size = static_cast<size_t>(file_size);
  const size_t capacity = size + ParseTailSize(character_name);
  try {
    std::unique_ptr<char[]> buffer = DamageTable::AllocateBuffer(capacity);
    size_t got = 0;
    while (got < size) {
      const size_t piece = std::min(kReadPiece, size - got);
      errno = 0;
      in.read(buffer.get() + got, static_cast<std::streamsize>(piece));
      const size_t read = static_cast<size_t>(in.gcount());
      got += read;
      if (read < piece) {
        if (in.bad()) return Failure{shown, ErrorText(errno, "cannot read the file")};
        break;  // the file became shorter since its size was taken
      }
      if (progress.Cancelled()) {
        ParseResult cancelled;
        cancelled.cancelled = true;
        return cancelled;
      }
    }
    return ParseLogBuffer(std::move(buffer), got, character_name, verbs, progress, capacity, rules);
  } catch (const std::bad_alloc&) {
    return Failure{shown, ErrorText(ENOMEM, "not enough memory")};
  }
}

ParseResult ParseLogText(std::string_view text, std::string_view character_name,
                         AttackVerbList verbs, LineRules rules) {
  const size_t capacity = text.size() + ParseTailSize(character_name);
  std::unique_ptr<char[]> buffer(new char[capacity]);
  if (!text.empty()) std::memcpy(buffer.get(), text.data(), text.size());
  return ParseLogBuffer(std::move(buffer), text.size(), character_name, verbs, {}, capacity, rules);
}

}  // namespace ombrel
