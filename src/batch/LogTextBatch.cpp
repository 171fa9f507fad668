#include "batch/LogTextBatch.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <variant>

#include "app/App.h"
#include "batch/TerminalText.h"
#include "logtext/LineIndex.h"
#include "logtext/LogLines.h"
#include "logtext/LogSearch.h"
#include "shared/Cp1252.h"
#include "shared/FileOutput.h"
#include "shared/LineRules.h"

namespace ombrel {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProgram = "ombrel-batch";

struct LogTextOptions {
  std::optional<std::string> find;  // Windows-1252
  bool regex = false;
  bool match_case = false;
  std::optional<int64_t> lines;  // the fight whose lines are written
  std::optional<std::string> name;
  std::optional<int64_t> event;
  int32_t gap = 18;
  bool pets = false;
  LineRules rules = LineRules::kDefault;
  std::optional<fs::path> out;
  std::optional<fs::path> log;
};

std::optional<int64_t> ReadNumber(std::string_view text) {
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool AsksForLogText(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--") return false;
    if (arg == "--find" || arg.starts_with("--find=") || arg == "--lines" ||
        arg.starts_with("--lines=")) {
      return true;
    }
  }
  return false;
}

// The options, or what is wrong with them.
std::variant<LogTextOptions, std::string> ReadOptions(const std::vector<std::string>& args) {
  LogTextOptions o;
  bool only_log = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (!only_log && arg == "--") {
      only_log = true;
      continue;
    }
    if (only_log || arg.size() < 2 || arg.front() != '-') {
      if (o.log) return "more than one LOG given: " + std::string(arg);
      o.log = fs::path(std::string(arg));
      continue;
    }
    const size_t equals = arg.find('=');
    const std::string name(arg.substr(0, equals));
    const bool is_switch = name == "--regex" || name == "--case" || name == "--pets";
    std::string value;
    if (is_switch) {
      if (equals != std::string_view::npos) return name + " takes no value";
    } else if (equals != std::string_view::npos) {
      value = std::string(arg.substr(equals + 1));
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return name + " needs a value";
    }
    auto log_text = [&](std::optional<std::string>& target) -> std::optional<std::string> {
      target = Utf8ToCp1252(value);
      if (!target) return name + " holds a character that a game log cannot hold: " + value;
      return std::nullopt;
    };
    std::optional<std::string> problem;
    if (name == "--find") {
      problem = log_text(o.find);
    } else if (name == "--regex") {
      o.regex = true;
    } else if (name == "--case") {
      o.match_case = true;
    } else if (name == "--pets") {
      o.pets = true;
    } else if (name == "--name") {
      problem = log_text(o.name);
    } else if (name == "--lines" || name == "--event") {
      const auto row = ReadNumber(value);
      if (!row || *row < 1) return name + " takes a row number from 1, not " + value;
      (name == "--lines" ? o.lines : o.event) = row;
    } else if (name == "--gap") {
      const auto seconds = ReadNumber(value);
      if (!seconds || *seconds < 18 || *seconds > 900) {
        return "--gap takes a whole number of seconds from 18 to 900, not " + value;
      }
      o.gap = static_cast<int32_t>(*seconds);
    } else if (name == "--rules") {
      const auto rules = LineRulesFromName(value);
      if (!rules) return "--rules takes default or extended, not " + value;
      o.rules = *rules;
    } else if (name == "--out") {
      if (value.empty()) return std::string("--out needs a file");
      o.out = fs::path(value);
    } else {
      return "unknown option " + name + " with --find or --lines";
    }
    if (problem) return *problem;
  }
  if (o.find && o.lines) return std::string("--find and --lines are two commands: give one");
  if (!o.log) return std::string("no LOG given");
  if (o.find && o.out) return std::string("--out goes with --lines");
  if (o.lines && o.event) return std::string("--lines names its fight itself: no --event");
  if (!o.find && (o.regex || o.match_case)) return std::string("--regex and --case go with --find");
  if ((o.lines || o.event) && !o.name) return std::string("the fights need --name to be found");
  return o;
}

class LogTextRun {
 public:
  LogTextRun(const LogTextOptions& options, std::ostream& out, std::ostream& err)
      : o_(options), out_(out), err_(err) {}

  int Run() {
    const int fail = o_.find ? 2 : 1;  // --find: 1 means "no line matched"
    std::optional<LineSpan> span;
    std::optional<LineIndex> index;
    if (o_.lines || o_.event) {
      if (!FindFight(o_.lines ? *o_.lines : *o_.event, span, index)) return fail;
    }
    return o_.find ? Find(span ? &*index : nullptr, span) : WriteLines(*index, *span);
  }

 private:
  void Error(const std::string& message) { err_ << kProgram << ": " << message << "\n"; }

  // Parses the log, finds fight `row` and indexes the log's lines.
  bool FindFight(int64_t row, std::optional<LineSpan>& span, std::optional<LineIndex>& index) {
    const fs::path& log = *o_.log;
    auto stamped = TakeLogStamp(log);
    if (auto* failure = std::get_if<Failure>(&stamped)) {
      Error(failure->Message());
      return false;
    }
    App app(fs::temp_directory_path());
    app.options() = PrintOptions{};
    app.options().ExtendedLineRules = o_.rules == LineRules::kExtended;
    app.TakeSettingsSeconds(*o_.name, o_.gap, o_.pets);
    if (!app.CharacterNameIsValid()) {
      err_ << kInvalidNameMessage << "\n";
      return false;
    }
    auto parsed = app.Parse(log);
    if (auto* failure = std::get_if<Failure>(&parsed)) {
      Error(failure->Message());
      return false;
    }
    const EventRecord* event = app.Log().FindEvent(static_cast<int32_t>(row));
    if (event != nullptr) span = FightLines(app.Log(), *event);
    if (!span) {
      Error("the events list has no fight in row " + std::to_string(row));
      return false;
    }
    auto built = BuildLineIndex(log, &std::get<LogStamp>(stamped));
    if (auto* failure = std::get_if<Failure>(&built)) {
      Error(failure->Message());
      return false;
    }
    index = std::move(std::get<LineIndex>(built));
    return true;
  }

  int Find(const LineIndex* index, std::optional<LineSpan> span) {
    SearchQuery query;
    query.text = *o_.find;
    query.regex = o_.regex;
    query.match_case = o_.match_case;
    if (span) {
      query.first_line = span->first;
      query.last_line = span->last;
    }
    auto made = LineMatcher::Make(query);
    if (auto* problem = std::get_if<std::string>(&made)) {
      Error(*problem);
      return 2;
    }
    auto searched = SearchLog(*o_.log, index, std::get<LineMatcher>(made), [&](const LineMatch& m) {
      out_ << m.line + 1 << ':' << ToTerminalText(m.text) << '\n';
    });
    if (auto* failure = std::get_if<Failure>(&searched)) {
      Error(failure->Message());
      return 2;
    }
    const int64_t matches = std::get<SearchSummary>(searched).matches;
    if (matches > kListedMatches) {
      Error(std::to_string(matches) + " lines matched; the first " +
            std::to_string(kListedMatches) + " are shown");
    }
    if (!Flushed()) return 2;
    return matches > 0 ? 0 : 1;
  }

  int WriteLines(const LineIndex& index, LineSpan span) {
    auto opened = LogFile::Open(*o_.log);
    if (auto* failure = std::get_if<Failure>(&opened)) {
      Error(failure->Message());
      return 1;
    }
    const LogFile& file = std::get<LogFile>(opened);
    if (!o_.out) {
      auto failure = ForEachLinePiece(file, index, span, [&](std::string_view bytes) {
        out_ << ToTerminalText(bytes, "\r\n");
      });
      if (failure) {
        Error(failure->Message());
        return 1;
      }
      return Flushed() ? 0 : 1;
    }
    // The log's own bytes, written whole or not at all.
    OutputSet outputs;
    std::optional<Failure> copy_failure;
    auto add_failure = outputs.Add(*o_.out, [&](std::ostream& stream) {
      copy_failure = CopyLines(file, index, span, stream);
    });
    if (copy_failure || add_failure) {
      outputs.Discard();
      Error((copy_failure ? copy_failure : add_failure)->Message());
      return 1;
    }
    if (auto failure = outputs.Commit()) {
      Error(failure->Message());
      return 1;
    }
    return 0;
  }

  bool Flushed() {
    out_.flush();
    if (out_) return true;
    err_ << kProgram << ": cannot write to standard output\n";
    return false;
  }

  const LogTextOptions& o_;
  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace

std::string LogTextUsage() {
  return "       " + std::string(kProgram) +
         " --find TEXT [--regex] [--case] [--name NAME --event K [--gap SECONDS] [--pets]"
         " [--rules SET]] LOG\n"
         "       " +
         std::string(kProgram) +
         " --lines K --name NAME [--gap SECONDS] [--pets] [--rules SET] [--out FILE] LOG\n"
         "  --find TEXT         print the lines holding TEXT as LINE:TEXT (capitals and small\n"
         "                      letters alike unless --case); exit 0 when some matched,\n"
         "                      1 when none, 2 on an error\n"
         "  --regex             TEXT is a regular expression (RE2 syntax)\n"
         "  --event K           with --find: only the lines of fight K, first to last\n"
         "  --lines K           write every line of fight K, first to last, to standard\n"
         "                      output as UTF-8, or with --out FILE as the log's own bytes\n";
}

std::optional<int> RunLogTextBatch(const std::vector<std::string>& args, std::ostream& out,
                                   std::ostream& err) {
  if (!AsksForLogText(args)) return std::nullopt;
  auto read = ReadOptions(args);
  if (auto* problem = std::get_if<std::string>(&read)) {
    err << kProgram << ": " << *problem << "\n" << LogTextUsage();
    return 2;
  }
  return LogTextRun(std::get<LogTextOptions>(read), out, err).Run();
}

}  // namespace ombrel
