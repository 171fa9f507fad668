#include "parse/LogParser.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "parse/ChunkClassify.h"
#include "parse/LineClassifier.h"
#include "parse/MobList.h"
#include "parse/PartyNames.h"
#include "parse/VerbScan.h"
#include "shared/InOrderJoin.h"
#include "shared/WorkerThreads.h"

namespace ombrel {
namespace {

// Lines in a log of `bytes`, judged from the first megabyte of `start`. A
// guess on the high side only costs address space: the untouched part of a
// reservation is never paged in.
size_t EstimateLines(std::string_view start, size_t bytes) {
  const std::string_view sample = start.substr(0, size_t{1} << 20);
  size_t lines = 1;
  for (size_t at = FindLineEnd(sample, 0, LineEnd::kCrLf); at != std::string_view::npos;
       at = FindLineEnd(sample, at + 2, LineEnd::kCrLf))
    ++lines;
  if (sample.size() >= bytes) return lines;
  return static_cast<size_t>(static_cast<double>(lines) * static_cast<double>(bytes) /
                             static_cast<double>(sample.size()));
}

// Stretches a thread takes at a time: several per thread, so that a thread
// slowed down by other work on the machine holds the others up less.
constexpr size_t kChunksPerThread = 16;

// Cuts whole lines into at most `wanted` stretches, each at the first line end
// past an even share of the text.
std::vector<std::string_view> CutStretches(std::string_view text, size_t wanted, LineEnd line_end) {
  std::vector<std::string_view> stretches;
  size_t begin = 0;
  for (size_t k = 1; k <= wanted && begin < text.size(); ++k) {
    size_t end = text.size();
    if (k < wanted) {
      const size_t target = std::max(begin, k * (text.size() / wanted));
      const size_t line_end_at = FindLineEnd(text, target, line_end);
      if (line_end_at != std::string_view::npos) end = line_end_at + LineEndSize(line_end);
    }
    stretches.push_back(text.substr(begin, end - begin));
    begin = end;
  }
  return stretches;
}

// The log's start held while no CR LF has shown. Past it, whatever comes,
// everything before a first CR LF would be one overlong line.
constexpr size_t kHeldWithoutCrLf = 2 * kLongestLine;

}  // namespace

struct LogParser::State {
  State(std::string_view character_name, AttackVerbList verbs, LineRules rules,
        ParseSharing sharing)
      : mobs(result.MobList),
        scanner(verbs),
        texts(InternClassifierTexts(result.DamageTable, character_name)),
        classifier(result.DamageTable, mobs, texts, scanner, rules),
        rules(rules),
        threads(sharing.threads == 0 ? MachineThreads() : sharing.threads),
        chunk_bytes(std::max<size_t>(sharing.chunk_bytes, 1)) {
    result.rules = rules;
  }

  ParseResult result;
  MobRegistry mobs;
  const VerbScanner scanner;
  const ClassifierTexts texts;
  LineClassifier classifier;
  const LineRules rules;
  int64_t index = 0;
  // Unreadable lines of the stretches classified apart and joined, and of
  // the overlong lines skipped while they arrived.
  int64_t joined_unreadable = 0;
  LineSigns joined_signs;

  const unsigned threads;
  const size_t chunk_bytes;
  std::unique_ptr<WorkerThreads> workers;  // made when first needed
  std::vector<ChunkResult> chunks;         // kept from piece to piece, with their room
};

LogParser::LogParser(std::string_view character_name, AttackVerbList verbs, LineRules rules,
                     size_t expected_bytes, ParseSharing sharing)
    : character_name_(character_name),
      verbs_(verbs),
      rules_(rules),
      sharing_(sharing),
      state_(std::make_unique<State>(character_name_, verbs_, rules_, sharing_)),
      expected_bytes_(expected_bytes) {}

LogParser::~LogParser() = default;

void LogParser::Feed(std::string_view piece) {
  if (piece.empty()) return;
  if (bytes_ == 0) {
    const size_t expected = EstimateLines(piece, std::max(expected_bytes_, piece.size()));
    state_->result.DamageTable.Reserve(expected + expected / 4 + 16);
  }
  bytes_ += piece.size();
  if (crlf_seen_ || lf_known_) {
    FeedLines(piece, crlf_seen_ ? LineEnd::kCrLf : LineEnd::kLf);
    return;
  }
  // A log that holds no CR LF at all went through a tool that dropped the
  // CRs: its lines end at LF alone. Until a CR LF shows, the bytes are held.
  const char before = last_byte_;
  last_byte_ = piece.back();
  if (!HoldsCrLf(before, piece)) {
    if (lf_guessed_) {
      FeedLines(piece, LineEnd::kLf);
      return;
    }
    held_.append(piece);
    if (held_.size() > kHeldWithoutCrLf) {
      // Held no longer: its lines are taken to end at LF.
      lf_guessed_ = true;
      const std::string held = std::move(held_);
      held_ = std::string();
      FeedLines(held, LineEnd::kLf);
    }
    return;
  }
  crlf_seen_ = true;
  if (lf_guessed_) {
    const size_t after = before == '\r' && piece.front() == '\n' ? 1 : piece.find("\r\n") + 2;
    StartOverAfterFirstLine(piece.substr(after));
    return;
  }
  held_.append(piece);
  const std::string held = std::move(held_);
  held_ = std::string();
  FeedLines(held, LineEnd::kCrLf);
}

void LogParser::StartOverAfterFirstLine(std::string_view rest) {
  state_ = std::make_unique<State>(character_name_, verbs_, rules_, sharing_);
  carry_ = std::string();
  carry_overlong_ = false;
  state_->index = 1;
  state_->joined_unreadable = 1;
  FeedLines(rest, LineEnd::kCrLf);
}

void LogParser::Carry(std::string_view rest) {
  if (rest.empty()) return;
  if (!carry_overlong_ && carry_.size() + rest.size() <= kLongestLine + 1) {
    carry_.append(rest);
    return;
  }
  // Too long to be read even if its last byte is the CR of its end: only
  // that byte is kept.
  carry_overlong_ = true;
  if (carry_.capacity() > 64) carry_ = std::string();
  carry_.assign(1, rest.back());
}

void LogParser::EndCarriedLine() {
  if (carry_overlong_) {
    ++state_->joined_unreadable;
    ++state_->index;
  } else {
    state_->classifier.Classify(carry_, state_->index++);
  }
  carry_.clear();
  carry_overlong_ = false;
}

void LogParser::FeedLines(std::string_view piece, LineEnd line_end) {
  size_t start = 0;
  if (!carry_.empty()) {
    // The carried line ends at the first line end, which may straddle the
    // pieces (a CR LF).
    size_t at = 0;
    for (;;) {
      const void* lf = std::memchr(piece.data() + at, '\n', piece.size() - at);
      if (lf == nullptr) {
        Carry(piece);
        return;
      }
      const size_t pos = static_cast<size_t>(static_cast<const char*>(lf) - piece.data());
      const bool ends =
          line_end == LineEnd::kLf || (pos > 0 ? piece[pos - 1] == '\r' : carry_.back() == '\r');
      if (ends) {
        Carry(piece.substr(0, pos));
        if (line_end == LineEnd::kCrLf) carry_.pop_back();  // the CR
        EndCarriedLine();
        start = pos + 1;
        break;
      }
      at = pos + 1;
    }
  }
  ClassifyLines(piece.substr(start), line_end);
}

void LogParser::ClassifyLines(std::string_view text, LineEnd line_end) {
  const size_t whole = PastLastLineEnd(text, line_end);
  ClassifyWholeLines(text.substr(0, whole), line_end);
  carry_.clear();
  carry_overlong_ = false;
  Carry(text.substr(whole));
}

void LogParser::ClassifyWholeLines(std::string_view text, LineEnd line_end) {
  State& state = *state_;
  LineClassifier& classifier = state.classifier;
  auto in_line = [&](std::string_view lines) {
    state.index += ForEachLine(lines, line_end, state.index, [&](std::string_view line, int64_t k) {
      classifier.Classify(line, k);
    });
  };
  const size_t wanted =
      std::min<size_t>(text.size() / state.chunk_bytes, size_t{state.threads} * kChunksPerThread);
  if (state.threads <= 1 || wanted <= 1) {
    in_line(text);
    return;
  }

  const std::vector<std::string_view> stretches = CutStretches(text, wanted, line_end);
  if (stretches.size() <= 1) {
    in_line(text);
    return;
  }

  // The first stretch follows the lines before it: the parser's own
  // classifier takes it while the others are classified apart. Each
  // stretch, once classified, is joined to the table in log order by
  // whichever thread is free, while the others go on classifying.
  if (!state.workers) state.workers = std::make_unique<WorkerThreads>(state.threads - 1);
  const size_t count = stretches.size();
  state.chunks.resize(count);
  int64_t first_lines = 0;
  InOrderJoin joins(count, [&](size_t k) {
    if (k == 0) {
      state.index += first_lines;
      return;
    }
    ChunkResult& chunk = state.chunks[k];
    if (JoinChunk(chunk, state.index, state.result.DamageTable, state.mobs,
                  &classifier.tick_order(), &classifier.crit_notes())) {
      classifier.FollowTable();
      state.index += chunk.lines;
      state.joined_unreadable += chunk.unreadable_lines;
      state.joined_signs += chunk.signs;
    } else {
      // The stretch took a record before it for other than it is: the
      // parser's classifier reads it again after the lines before it.
      in_line(stretches[k]);
    }
  });
  state.workers->Run(count, [&](size_t k) {
    if (k == 0) {
      first_lines =
          ForEachLine(stretches[0], line_end, state.index,
                      [&](std::string_view line, int64_t at) { classifier.Classify(line, at); });
    } else {
      ClassifyChunk(stretches[k], line_end, state.texts.character_name, state.scanner, state.rules,
                    state.chunks[k]);
    }
    joins.Done(k);
  });
  joins.Finish();
}

LogParser::SoFar LogParser::ClassifiedSoFar() const {
  if (!crlf_seen_ && !lf_known_) {
    static const ParseResult kNothing;
    return {kNothing.DamageTable, kNothing.MobList, 0, 0};
  }
  const State& state = *state_;
  return {state.result.DamageTable, state.result.MobList, state.index + 1,
          state.classifier.unreadable_lines() + state.joined_unreadable};
}

DamageTable& LogParser::ClassifiedTable() {
  return state_->result.DamageTable;
}

ParseResult LogParser::Finish() {
  State& state = *state_;
  if (!crlf_seen_ && !lf_known_ && !lf_guessed_) {
    // No CR LF in the whole log: every LF ends a line.
    ClassifyLines(held_, LineEnd::kLf);
    held_ = std::string();
  }
  if (bytes_ != 0) EndCarriedLine();
  ParseResult result = Stop();
  if (result.rules == LineRules::kExtended)
    result.written_names =
        JoinSentenceCapitals(result.DamageTable, result.MobList, state.texts.character_name);
  return result;
}

ParseResult LogParser::Stop() {
  State& state = *state_;
  state.workers.reset();
  state.chunks = std::vector<ChunkResult>();
  carry_.clear();
  held_.clear();
  state.result.lines = state.index;
  state.result.unreadable_lines = state.classifier.unreadable_lines() + state.joined_unreadable;
  state.result.signs = state.classifier.signs();
  state.result.signs += state.joined_signs;
  return std::move(state.result);
}

}  // namespace ombrel
