#include "parse/ParseLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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
// The first buffer of a log whose size is not known beforehand.
constexpr size_t kFirstPiece = size_t{1} << 20;

// How the log's lines end: at CR LF as the game writes them, or at LF alone in
// a log that went through a tool that dropped the CRs. A lone CR never ends a
// line, nor does a lone LF in a log that holds any CR LF.
struct LineEnds {
  bool lf_only = false;
  size_t Length() const { return lf_only ? 1 : 2; }
};

LineEnds DetectLineEnds(std::string_view log) {
  LineEnds ends;
  ends.lf_only =
      log.find("\r\n") == std::string_view::npos && log.find('\n') != std::string_view::npos;
  return ends;
}

// Position of the first line end at or after `from` (the CR of a CR LF, or
// the LF in a log of LF ends), npos when none.
size_t FindLineEnd(std::string_view log, size_t from, LineEnds ends) {
  const char* data = log.data();
  size_t at = from;
  while (at < log.size()) {
    const void* lf = std::memchr(data + at, '\n', log.size() - at);
    if (lf == nullptr) break;
    const size_t pos = static_cast<size_t>(static_cast<const char*>(lf) - data);
    if (ends.lf_only) return pos;
    if (pos > from && data[pos - 1] == '\r') return pos - 1;
    at = pos + 1;
  }
  return std::string_view::npos;
}

// Lines in the log, judged from its first megabyte, so that the record table
// is reserved once instead of growing (and copying) as it fills. A guess on
// the high side only costs address space: the untouched part is never paged in.
size_t EstimateLines(std::string_view log, LineEnds ends) {
  const std::string_view sample = log.substr(0, size_t{1} << 20);
  size_t lines = 1;
  for (size_t at = FindLineEnd(sample, 0, ends); at != std::string_view::npos;
       at = FindLineEnd(sample, at + ends.Length(), ends))
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

  const LineEnds ends = DetectLineEnds(log);
  const size_t expected = EstimateLines(log, ends);
  table.Reserve(expected + expected / 4 + 16);
  const VerbScanner scanner(verbs);
  LineClassifier classifier(table, result.MobList, texts, scanner, rules);

  int64_t index = 0;
  size_t start = 0;
  size_t next_report = kProgressStep;
  for (;;) {
    const size_t end = FindLineEnd(log, start, ends);
    if (end == std::string_view::npos) {
      // The rest after the last line end is the last line, empty when the log
      // ends with a line end.
      classifier.Classify(log.substr(start), index++);
      break;
    }
    classifier.Classify(log.substr(start, end - start), index++);
    start = end + ends.Length();
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
  const bool standard_input = path == kStandardInputPath;
  const std::string shown = path.string();
  // A FIFO without a writer waits in open, as any reader would.
  const int fd = standard_input ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Failure{shown, ErrorText(errno, "cannot open the file")};
  struct Closer {
    int fd;
    bool owned;
    ~Closer() {
      if (owned) ::close(fd);
    }
  } closer{fd, !standard_input};

  struct stat status {};
  if (::fstat(fd, &status) != 0) return Failure{shown, ErrorText(errno, "cannot read the file")};
  if (S_ISDIR(status.st_mode)) return Failure{shown, ErrorText(EISDIR, "Is a directory")};
  // The size of a regular file sizes the buffer; pipes and files such as those
  // of /proc tell nothing (or 0) and are read until their end all the same.
  const size_t tail = ParseTailSize(character_name);
  const uintmax_t expected = S_ISREG(status.st_mode) ? static_cast<uintmax_t>(status.st_size) : 0;
  if (expected > SIZE_MAX / 2 - tail) return Failure{shown, ErrorText(EFBIG, "File too large")};
  try {
    size_t capacity = std::max<size_t>(static_cast<size_t>(expected), kFirstPiece) + tail;
    std::unique_ptr<char[]> buffer = DamageTable::AllocateBuffer(capacity);
    size_t got = 0;
    for (;;) {
      size_t room = capacity - tail - got;
      if (room == 0) {
        // Full: a small read tells whether more follows before the buffer grows.
        char probe[4096];
        const ssize_t n = ::read(fd, probe, sizeof probe);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Failure{shown, ErrorText(errno, "cannot read the file")};
        if (n == 0) break;
        if (capacity > SIZE_MAX / 2) return Failure{shown, ErrorText(EFBIG, "File too large")};
        const size_t larger = 2 * capacity;
        std::unique_ptr<char[]> grown = DamageTable::AllocateBuffer(larger);
        std::memcpy(grown.get(), buffer.get(), got);
        std::memcpy(grown.get() + got, probe, static_cast<size_t>(n));
        buffer = std::move(grown);
        capacity = larger;
        got += static_cast<size_t>(n);
        continue;
      }
      const ssize_t n = ::read(fd, buffer.get() + got, std::min(kReadPiece, room));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return Failure{shown, ErrorText(errno, "cannot read the file")};
      if (n == 0) break;
      got += static_cast<size_t>(n);
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
