#include "parse/LogParser.h"

#include <algorithm>
#include <cstring>

#include "parse/LineClassifier.h"
#include "parse/PartyNames.h"
#include "parse/VerbScan.h"

namespace ombrel {
namespace {

// Position of the CR of the first CR LF at or after `from`, npos when none.
// A lone CR or LF does not end a line.
size_t FindLineEnd(std::string_view text, size_t from) {
  const char* data = text.data();
  size_t at = from;
  while (at < text.size()) {
    const void* lf = std::memchr(data + at, '\n', text.size() - at);
    if (lf == nullptr) break;
    const size_t pos = static_cast<size_t>(static_cast<const char*>(lf) - data);
    if (pos > from && data[pos - 1] == '\r') return pos - 1;
    at = pos + 1;
  }
  return std::string_view::npos;
}

// Lines in a log of `bytes`, judged from the first megabyte of `start`. A
// guess on the high side only costs address space: the untouched part of a
// reservation is never paged in.
size_t EstimateLines(std::string_view start, size_t bytes) {
  const std::string_view sample = start.substr(0, size_t{1} << 20);
  size_t lines = 1;
  for (size_t at = FindLineEnd(sample, 0); at != std::string_view::npos;
       at = FindLineEnd(sample, at + 2))
    ++lines;
  if (sample.size() >= bytes) return lines;
  return static_cast<size_t>(static_cast<double>(lines) * static_cast<double>(bytes) /
                             static_cast<double>(sample.size()));
}

}  // namespace

struct LogParser::State {
  State(std::string_view character_name, AttackVerbList verbs, LineRules rules)
      : scanner(verbs),
        texts{result.DamageTable.Intern(character_name),
              result.DamageTable.Intern(kManaResurgenceStrike),
              result.DamageTable.Intern(kStormBladeStrike),
              result.DamageTable.Intern(kDamageShield)},
        classifier(result.DamageTable, result.MobList, texts, scanner, rules) {
    result.rules = rules;
  }

  ParseResult result;
  const VerbScanner scanner;
  const ClassifierTexts texts;
  LineClassifier classifier;
  int64_t index = 0;
};

LogParser::LogParser(std::string_view character_name, AttackVerbList verbs, LineRules rules,
                     size_t expected_bytes)
    : state_(std::make_unique<State>(character_name, verbs, rules)),
      expected_bytes_(expected_bytes) {}

LogParser::~LogParser() = default;

void LogParser::Feed(std::string_view piece) {
  if (piece.empty()) return;
  if (bytes_ == 0) {
    const size_t expected = EstimateLines(piece, std::max(expected_bytes_, piece.size()));
    state_->result.DamageTable.Reserve(expected + expected / 4 + 16);
  }
  bytes_ += piece.size();
  if (crlf_seen_) {
    FeedCrLf(piece);
    return;
  }
  // A log that holds no CR LF at all went through a tool that dropped the
  // CRs: its lines end at LF alone. Until a CR LF shows, the bytes are held.
  const bool straddles = !held_.empty() && held_.back() == '\r' && piece.front() == '\n';
  held_.append(piece);
  if (straddles || piece.find("\r\n") != std::string_view::npos) {
    crlf_seen_ = true;
    const std::string held = std::move(held_);
    held_ = std::string();
    FeedCrLf(held);
  }
}

void LogParser::FeedCrLf(std::string_view piece) {
  size_t start = 0;
  if (!carry_.empty()) {
    // The carried line ends at the first CR LF, which may straddle the pieces.
    size_t at = 0;
    for (;;) {
      const void* lf = std::memchr(piece.data() + at, '\n', piece.size() - at);
      if (lf == nullptr) {
        carry_.append(piece);
        return;
      }
      const size_t pos = static_cast<size_t>(static_cast<const char*>(lf) - piece.data());
      const bool after_cr = pos > 0 ? piece[pos - 1] == '\r' : carry_.back() == '\r';
      if (after_cr) {
        carry_.append(piece.substr(0, pos));
        carry_.pop_back();  // the CR
        state_->classifier.Classify(carry_, state_->index++);
        carry_.clear();
        start = pos + 1;
        break;
      }
      at = pos + 1;
    }
  }
  ClassifyLines(piece.substr(start));
}

void LogParser::ClassifyLines(std::string_view text) {
  LineClassifier& classifier = state_->classifier;
  int64_t& index = state_->index;
  size_t start = 0;
  for (size_t end = FindLineEnd(text, start); end != std::string_view::npos;
       end = FindLineEnd(text, start)) {
    classifier.Classify(text.substr(start, end - start), index++);
    start = end + 2;
  }
  carry_.assign(text.substr(start));
}

LogParser::SoFar LogParser::ClassifiedSoFar() const {
  if (!crlf_seen_) {
    static const ParseResult kNothing;
    return {kNothing.DamageTable, kNothing.MobList, 0, 0};
  }
  const State& state = *state_;
  return {state.result.DamageTable, state.result.MobList, state.index + 1,
          state.classifier.unreadable_lines()};
}

DamageTable& LogParser::ClassifiedTable() {
  return state_->result.DamageTable;
}

ParseResult LogParser::Finish() {
  State& state = *state_;
  if (!crlf_seen_) {
    // No CR LF in the whole log: every LF ends a line.
    size_t start = 0;
    for (size_t end = held_.find('\n'); end != std::string::npos; end = held_.find('\n', start)) {
      state.classifier.Classify(std::string_view(held_).substr(start, end - start), state.index++);
      start = end + 1;
    }
    carry_.assign(held_, start);
    held_ = std::string();
  }
  if (bytes_ != 0) state.classifier.Classify(carry_, state.index++);
  ParseResult result = Stop();
  if (result.rules == LineRules::kExtended)
    result.written_names =
        JoinSentenceCapitals(result.DamageTable, result.MobList, state.texts.character_name);
  return result;
}

ParseResult LogParser::Stop() {
  State& state = *state_;
  carry_.clear();
  held_.clear();
  state.result.lines = state.index;
  state.result.unreadable_lines = state.classifier.unreadable_lines();
  return std::move(state.result);
}

}  // namespace ombrel
