#include "logtext/LineIndex.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "logtext/LineEndCount.h"
#include "parse/ParseLog.h"

namespace ombrel {

std::variant<uint64_t, Failure> LineIndex::LineStart(const LogFile& file, int64_t line) const {
  if (line <= 0) return uint64_t{0};
  const auto wanted = static_cast<uint64_t>(line);  // the line end that closes line - 1
  if (wanted > line_ends_) return bytes_;
  // The first block that begins after the wanted line end; it lies in the one before.
  const auto after = std::upper_bound(ends_before_.begin(), ends_before_.end(), wanted - 1);
  const size_t block = static_cast<size_t>(after - ends_before_.begin()) - 1;
  uint64_t left = wanted - ends_before_[block];
  const uint64_t start = block * kBlockBytes;
  const uint64_t from = start == 0 ? 0 : start - 1;  // the byte before, for a CR LF across
  std::string bytes(static_cast<size_t>(std::min(bytes_, start + kBlockBytes) - from), '\0');
  auto read = file.Read(from, bytes);
  if (auto* failure = std::get_if<Failure>(&read)) return std::move(*failure);
  bytes.resize(std::get<size_t>(read));
  for (size_t at = start - from; at < bytes.size(); ++at) {
    const void* found = std::memchr(bytes.data() + at, '\n', bytes.size() - at);
    if (found == nullptr) break;
    at = static_cast<size_t>(static_cast<const char*>(found) - bytes.data());
    if (ends_ == LineEnd::kCrLf && (at == 0 || bytes[at - 1] != '\r')) continue;
    if (--left == 0) return from + at + 1;
  }
  return Failure{file.Path().string(), "the log changed after it was parsed; parse it again"};
}

LineIndexBuilder::LineIndexBuilder() : lf_before_{0}, crlf_before_{0} {}

void LineIndexBuilder::Feed(std::string_view piece) {
  while (!piece.empty()) {
    const uint64_t to_edge = LineIndex::kBlockBytes - bytes_ % LineIndex::kBlockBytes;
    const size_t part = static_cast<size_t>(std::min<uint64_t>(to_edge, piece.size()));
    FeedBlockPart(piece.substr(0, part));
    piece.remove_prefix(part);
    if (bytes_ % LineIndex::kBlockBytes == 0) {
      lf_before_.push_back(lf_);
      crlf_before_.push_back(crlf_);
    }
  }
}

void LineIndexBuilder::FeedBlockPart(std::string_view part) {
  const LineEndCounts counts = CountLineEnds(part.data(), part.size(), last_byte_);
  if (counts.lf != 0) {
    const auto* last_lf = static_cast<const char*>(::memrchr(part.data(), '\n', part.size()));
    past_last_lf_ = bytes_ + static_cast<uint64_t>(last_lf - part.data()) + 1;
  }
  if (counts.crlf != 0) {
    for (size_t end = part.size(); end > 0;) {
      const auto* lf = static_cast<const char*>(::memrchr(part.data(), '\n', end));
      const size_t at = static_cast<size_t>(lf - part.data());
      if (at == 0 ? last_byte_ == '\r' : part[at - 1] == '\r') {
        past_last_crlf_ = bytes_ + at + 1;
        break;
      }
      end = at;
    }
  }
  lf_ += counts.lf;
  crlf_ += counts.crlf;
  bytes_ += part.size();
  if (!part.empty()) last_byte_ = part.back();
}

LineIndex LineIndexBuilder::Finish(LogStamp stamp) {
  LineIndex index;
  const bool crlf = crlf_ != 0;
  index.ends_ = crlf ? LineEnd::kCrLf : LineEnd::kLf;
  index.bytes_ = bytes_;
  index.line_ends_ = crlf ? crlf_ : lf_;
  const uint64_t past_last_end = crlf ? past_last_crlf_ : past_last_lf_;
  index.lines_ = static_cast<int64_t>(index.line_ends_ + (bytes_ > past_last_end ? 1 : 0));
  index.ends_before_ = std::move(crlf ? crlf_before_ : lf_before_);
  index.ends_before_.shrink_to_fit();
  stamp.size = bytes_;
  index.stamp_ = std::move(stamp);
  return index;
}

std::variant<LineIndex, Failure> BuildLineIndex(const std::filesystem::path& path,
                                                const LogStamp* parsed, const Progress& progress) {
  if (parsed != nullptr) {
    const LogState state = CheckLog(path, *parsed);
    if (state == LogState::kChanged || state == LogState::kGone) {
      return LogStateFailure(path, state);
    }
  }
  auto stamped = TakeLogStamp(path);
  if (auto* failure = std::get_if<Failure>(&stamped)) return std::move(*failure);
  LogStamp& stamp = std::get<LogStamp>(stamped);
  auto opened = LogFile::Open(path);
  if (auto* failure = std::get_if<Failure>(&opened)) return std::move(*failure);
  const LogFile& file = std::get<LogFile>(opened);
  LineIndexBuilder builder;
  std::string piece(kLogReadPiece, '\0');
  // Only the bytes the stamp saw: lines appended meanwhile wait for the next index.
  for (uint64_t at = 0; at < stamp.size;) {
    if (progress.Cancelled()) return Failure{path.string(), "cancelled"};
    const size_t want = static_cast<size_t>(std::min<uint64_t>(piece.size(), stamp.size - at));
    auto read = file.Read(at, std::span<char>(piece.data(), want));
    if (auto* failure = std::get_if<Failure>(&read)) return std::move(*failure);
    const size_t got = std::get<size_t>(read);
    if (got == 0) return LogStateFailure(path, LogState::kChanged);
    builder.Feed(std::string_view(piece.data(), got));
    at += got;
    progress.Report(static_cast<double>(at) / static_cast<double>(stamp.size));
  }
  return builder.Finish(std::move(stamp));
}

}  // namespace ombrel
