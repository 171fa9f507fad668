#include "logtext/LogLines.h"

#include <algorithm>

#include "parse/ParseLog.h"

namespace ombrel {

std::variant<std::vector<std::string>, Failure> ReadLines(const LogFile& file,
                                                          const LineIndex& index, int64_t first,
                                                          int64_t count) {
  std::vector<std::string> lines;
  first = std::clamp<int64_t>(first, 0, index.Lines());
  count = std::clamp<int64_t>(count, 0, index.Lines() - first);
  if (count == 0) return lines;
  auto start = index.LineStart(file, first);
  if (auto* failure = std::get_if<Failure>(&start)) return std::move(*failure);
  uint64_t at = std::get<uint64_t>(start);
  const size_t end_size = LineEndSize(index.Ends());
  std::string piece(size_t{64} << 10, '\0');
  std::string line;
  bool line_cut = false;
  bool cr_held = false;  // the line taken so far ends in the CR that ended the last piece
  char before = 0;
  while (static_cast<int64_t>(lines.size()) < count && at < index.Bytes()) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(piece.size(), index.Bytes() - at));
    auto read = file.Read(at, std::span<char>(piece.data(), want));
    if (auto* failure = std::get_if<Failure>(&read)) return std::move(*failure);
    const size_t got = std::get<size_t>(read);
    if (got == 0) return LogStateFailure(file.Path(), LogState::kChanged);
    const std::string_view text(piece.data(), got);
    size_t from = 0;
    // A CR LF split by the pieces: the CR already taken into the line.
    if (index.Ends() == LineEnd::kCrLf && before == '\r' && text.front() == '\n') {
      if (cr_held) line.pop_back();
      line_cut = false;
      lines.push_back(std::move(line));
      line.clear();
      from = 1;
    }
    cr_held = false;
    while (from < got && static_cast<int64_t>(lines.size()) < count) {
      size_t stop = FindLineEnd(text, from, index.Ends());
      const bool ended = stop != std::string_view::npos;
      if (!ended) stop = got;
      if (!line_cut) {
        const size_t room = kShownLineBytes - std::min(kShownLineBytes, line.size());
        line.append(text.substr(from, std::min(room, stop - from)));
        line_cut = stop - from > room;
      }
      if (!ended) {
        cr_held = !line_cut && text.back() == '\r';
        break;
      }
      lines.push_back(std::move(line));
      line.clear();
      line_cut = false;
      from = stop + end_size;
    }
    before = text.back();
    at += got;
    if (static_cast<int64_t>(lines.size()) == count) break;
  }
  if (static_cast<int64_t>(lines.size()) < count && (!line.empty() || line_cut)) {
    lines.push_back(std::move(line));
  }
  return lines;
}

std::optional<LineSpan> FightLines(const ParsedLog& log, const EventRecord& event) {
  const DamageTable& table = log.DamageTable();
  if (table.empty() || event.EndCounter < event.StartCounter ||
      static_cast<size_t>(event.EndCounter) >= table.size()) {
    return std::nullopt;
  }
  return LineSpan{table[static_cast<size_t>(event.StartCounter)].Counter,
                  table[static_cast<size_t>(event.EndCounter)].Counter};
}

std::optional<Failure> ForEachLinePiece(const LogFile& file, const LineIndex& index, LineSpan span,
                                        const std::function<void(std::string_view)>& sink) {
  auto start = index.LineStart(file, span.first);
  if (auto* failure = std::get_if<Failure>(&start)) return std::move(*failure);
  auto stop = index.LineStart(file, span.last + 1);
  if (auto* failure = std::get_if<Failure>(&stop)) return std::move(*failure);
  std::string piece(kLogReadPiece, '\0');
  for (uint64_t at = std::get<uint64_t>(start), end = std::get<uint64_t>(stop); at < end;) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(piece.size(), end - at));
    auto read = file.Read(at, std::span<char>(piece.data(), want));
    if (auto* failure = std::get_if<Failure>(&read)) return std::move(*failure);
    const size_t got = std::get<size_t>(read);
    if (got == 0) return LogStateFailure(file.Path(), LogState::kChanged);
    sink(std::string_view(piece.data(), got));
    at += got;
  }
  return std::nullopt;
}

std::optional<Failure> CopyLines(const LogFile& file, const LineIndex& index, LineSpan span,
                                 std::ostream& out) {
  return ForEachLinePiece(file, index, span, [&](std::string_view bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  });
}

}  // namespace ombrel
