#include "parse/ParseLog.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <memory>
#include <new>
#include <system_error>

#include "parse/LogParser.h"

namespace ombrel {
namespace {

// The log is read and classified in pieces of this size: only one piece of
// the log is in memory at a time, and progress and cancel are looked at after
// each.
constexpr size_t kReadPiece = size_t{4} << 20;

std::string ErrorText(int error, const char* fallback) {
  return error != 0 ? std::generic_category().message(error) : fallback;
}

}  // namespace

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
  if (file_size > SIZE_MAX / 2) return Failure{shown, ErrorText(EFBIG, "File too large")};
  const auto size = static_cast<size_t>(file_size);
  try {
    LogParser parser(character_name, verbs, rules, size);
    const std::unique_ptr<char[]> piece(new char[kReadPiece]);
    for (;;) {
      errno = 0;
      in.read(piece.get(), static_cast<std::streamsize>(kReadPiece));
      const auto read = static_cast<size_t>(in.gcount());
      if (read < kReadPiece && in.bad())
        return Failure{shown, ErrorText(errno, "cannot read the file")};
      parser.Feed({piece.get(), read});
      if (read < kReadPiece) break;
      if (size != 0)
        progress.Report(
            std::min(1.0, static_cast<double>(parser.bytes()) / static_cast<double>(size)));
      if (progress.Cancelled()) {
        ParseResult cancelled = parser.Stop();
        cancelled.cancelled = true;
        return cancelled;
      }
    }
    ParseResult result = parser.Finish();
    progress.Report(1.0);
    return result;
  } catch (const std::bad_alloc&) {
    return Failure{shown, ErrorText(ENOMEM, "not enough memory")};
  }
}

ParseResult ParseLogText(std::string_view text, std::string_view character_name,
                         AttackVerbList verbs, LineRules rules) {
  LogParser parser(character_name, verbs, rules, text.size());
  parser.Feed(text);
  return parser.Finish();
}

}  // namespace ombrel
