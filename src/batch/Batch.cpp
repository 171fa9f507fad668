#include "batch/Batch.h"

#include <time.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <future>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <variant>
#include <vector>

#include "app/App.h"
#include "app/Settings.h"
#include "batch/AlignedTable.h"
#include "batch/JsonReport.h"
#include "batch/LogTextBatch.h"
#include "events/Encounters.h"
#include "shared/Cp1252.h"
#include "shared/Interrupt.h"
#include "shared/LineRules.h"
#include "shared/ListColumns.h"

namespace ombrel {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProgram = "ombrel-batch";
// How long a followed log is left between two reads.
constexpr long kFollowPollNanoseconds = 250'000'000;

// Everything the command line asks for.
struct BatchOptions {
  fs::path out_dir = ".";
  std::optional<std::string> name;  // Windows-1252
  int32_t gap = 18;
  bool pets = false;
  LineRules rules = LineRules::kDefault;
  std::vector<int64_t> events;           // 1-based events-list rows, analysed as one
  std::string events_as_given;           // for messages
  std::optional<int64_t> encounter;      // 1-based encounter, analysed as its rows
  bool encounters = false;               // encounters.csv
  std::optional<int> sort;               // event-detail header 1 to 5
  bool timeline = false;                 // timeline.csv and timeline.svg of the event
  bool follow = false;                   // keep reading the log as it grows
  std::optional<std::string> combatant;  // Windows-1252
  std::string combatant_as_given;        // UTF-8, for messages
  std::optional<fs::path> log;
  bool json = false;  // standard output gets one JSON document
  // Extended rules: deaths.csv, healing.csv, recap.csv of death `recap` (1-based).
  bool deaths = false;
  bool healing = false;
  std::optional<int64_t> recap;
  std::optional<int> window;
};

// Stores an option's value, or returns why it cannot be taken.
using Apply = std::optional<std::string> (*)(BatchOptions&, std::string_view value);

struct OptionRule {
  std::string_view name;        // "--gap"
  std::string_view value_name;  // "SECONDS"; empty for a switch
  bool required;
  std::string_view help;
  Apply apply;
};

std::optional<int64_t> ReadCount(std::string_view text) {
  if (text.empty() || text.size() > 12) return std::nullopt;
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.front() == '-') {
    return std::nullopt;
  }
  return value;
}

// "K", "K1,K2,..." and ranges "K1-K2" (K1 <= K2), each row from 1; at most a
// million rows in all.
std::optional<std::vector<int64_t>> ReadRows(std::string_view text) {
  constexpr int64_t kMostRows = 1'000'000;
  std::vector<int64_t> rows;
  while (true) {
    const size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    const size_t dash = item.find('-');
    const auto first = ReadCount(item.substr(0, dash));
    const auto last = dash == std::string_view::npos ? first : ReadCount(item.substr(dash + 1));
    if (!first || !last || *first < 1 || *last < *first) return std::nullopt;
    if (*last - *first + static_cast<int64_t>(rows.size()) >= kMostRows) return std::nullopt;
    for (int64_t k = *first; k <= *last; ++k) rows.push_back(k);
    if (comma == std::string_view::npos) return rows;
    text.remove_prefix(comma + 1);
  }
}

std::optional<std::string> ToLogText(std::string_view option, std::string_view value,
                                     std::optional<std::string>& target) {
  target = Utf8ToCp1252(value);
  if (!target) {
    return std::string(option) +
           " holds a character that a game log cannot hold: " + std::string(value);
  }
  return std::nullopt;
}

constexpr OptionRule kOptions[] = {
    {"--out", "DIR", false, "folder for the files written (default: the current folder)",
     [](BatchOptions& o, std::string_view v) -> std::optional<std::string> {
       if (v.empty()) return "--out needs a folder";
       o.out_dir = fs::path(std::string(v));
       return std::nullopt;
     }},
    {"--name", "NAME", true, "the name of the character whose log it is",
     [](BatchOptions& o, std::string_view v) { return ToLogText("--name", v, o.name); }},
    {"--gap", "SECONDS", false, "idle seconds that close a fight, 18 to 900 (default 18)",
     [](BatchOptions& o, std::string_view v) -> std::optional<std::string> {
       const auto seconds = ReadCount(v);
       if (!seconds || *seconds < 18 || *seconds > 900) {
         return "--gap takes a whole number of seconds from 18 to 900, not " + std::string(v);
       }
       o.gap = static_cast<int32_t>(*seconds);
       return std::nullopt;
     }},
    {"--pets", "", false, "count pets and warders with their owners",
     [](BatchOptions& o, std::string_view) -> std::optional<std::string> {
       o.pets = true;
       return std::nullopt;
     }},
    {"--rules", "SET", false,
     "line rules: default, or extended for the kinds of older and newer logs",
     [](BatchOptions& o, std::string_view v) -> std::optional<std::string> {
       const auto rules = LineRulesFromName(v);
       if (!rules) return "--rules takes default or extended, not " + std::string(v);
       o.rules = *rules;
       return std::nullopt;
     }},
    {"--event", "K", false,
     "analyse row K (from 1) of the events list: textpclist.csv, event-detail.htm; "
     "K1,K2,... and K1-K2 analyse those rows as one",
     [](BatchOptions& o, std::string_view v) -> std::optional<std::string> {
       o.events_as_given = std::string(v);
       if (auto rows = ReadRows(v)) {
         o.events = std::move(*rows);
         return std::nullopt;
       }
       return "--event takes row numbers from 1 (K, K1,K2 or K1-K2), not " + std::string(v);
     }},
    {"--encounters", "", false, "also write encounters.csv, the fights grouped into encounters",
     [](BatchOptions& o, std::string_view) -> std::optional<std::string> {
       o.encounters = true;
       return std::nullopt;
     }},
    {"--encounter", "N", false,
     "analyse encounter N (from 1, as in encounters.csv) as --event does its rows",
     [](BatchOptions& o, std::string_view v) -> std::optional<std::string> {
       const auto n = ReadCount(v);
       if (!n || *n < 1) return "--encounter takes a number from 1, not " + std::string(v);
       o.encounter = *n;
       return std::nullopt;
     }},
    {"--sort", "COLUMN", false, "sort the event detail by header 1 to 5, as a click would",
     [](BatchOptions& o, std::string_view v) -> std::optional<std::string> {
       const auto column = ReadCount(v);
       if (!column || *column < 1 || *column > 5) {
         return "--sort takes a column from 1 to 5, not " + std::string(v);
       }
       o.sort = static_cast<int>(*column);
       return std::nullopt;
     }},
    {"--combatant", "TEXT", false,
     "analyse the event-detail row listed as TEXT (\" [ Total ] \", \"Ann + pet\"): "
     "PCdetail.csv",
     [](BatchOptions& o, std::string_view v) {
       o.combatant_as_given = std::string(v);
       return ToLogText("--combatant", v, o.combatant);
     }},
    {"--timeline", "", false, "with --event: the fight over time, timeline.csv and timeline.svg",
     [](BatchOptions& o, std::string_view) -> std::optional<std::string> {
       o.timeline = true;
       return std::nullopt;
     }},
    {"--follow", "", false,
     "keep reading the log as it grows, printing each fight's row once it is over; "
     "SIGINT or SIGTERM ends it and writes the files",
     [](BatchOptions& o, std::string_view) -> std::optional<std::string> {
       o.follow = true;
       return std::nullopt;
     }},
    {"--deaths", "", false,
     "extended rules: deaths.csv, the deaths of the log (of the --event fight) with the damage "
     "each victim took in the 10 seconds before",
     [](BatchOptions& o, std::string_view) -> std::optional<std::string> {
       o.deaths = true;
       return std::nullopt;
     }},
    {"--healing", "", false,
     "extended rules: healing.csv, every heal of the log (of the --event fight)",
     [](BatchOptions& o, std::string_view) -> std::optional<std::string> {
       o.healing = true;
       return std::nullopt;
     }},
    {"--recap", "K", false,
     "extended rules: recap.csv, what happened to the victim of death K (from 1, as deaths.csv "
     "lists them) before it",
     [](BatchOptions& o, std::string_view v) -> std::optional<std::string> {
       const auto row = ReadCount(v);
       if (!row || *row < 1) return "--recap takes a death number from 1, not " + std::string(v);
       o.recap = *row;
       return std::nullopt;
     }},
    {"--window", "SECONDS", false,
     "with --recap: the seconds looked back, 5, 10, 20 or 30 (default 10)",
     [](BatchOptions& o, std::string_view v) -> std::optional<std::string> {
       const auto seconds = ReadCount(v);
       if (!seconds || std::find(std::begin(kRecapWindows), std::end(kRecapWindows), *seconds) ==
                           std::end(kRecapWindows))
         return "--window takes 5, 10, 20 or 30 seconds, not " + std::string(v);
       o.window = static_cast<int>(*seconds);
       return std::nullopt;
     }},
    {"--format", "FORMAT", false,
     "standard output: text (the default), or json, the main table as one JSON document",
     [](BatchOptions& o, std::string_view v) -> std::optional<std::string> {
       if (v != "text" && v != "json") return "--format takes text or json, not " + std::string(v);
       o.json = v == "json";
       return std::nullopt;
     }},
};

std::string UsageText() {
  std::string usage = "usage: " + std::string(kProgram);
  for (const OptionRule& option : kOptions) {
    std::string item(option.name);
    if (!option.value_name.empty()) item += " " + std::string(option.value_name);
    usage += option.required ? " " + item : " [" + item + "]";
  }
  usage += " LOG\n";
  for (const OptionRule& option : kOptions) {
    std::string item = "  " + std::string(option.name);
    if (!option.value_name.empty()) item += " " + std::string(option.value_name);
    item.resize(std::max<size_t>(item.size() + 2, 20), ' ');
    usage += item + std::string(option.help) + "\n";
  }
  usage += "  --help            this text\n  --version         the program's name and version\n";
  usage += "Writes DIR/Data.csv, DIR/Events.csv and DIR/events.htm and prints the events list.\n";
  return usage + LogTextUsage();
}

const OptionRule* FindOption(std::string_view name) {
  for (const OptionRule& option : kOptions) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

struct Usage {
  // A refused name is told in the window's own words, without the program's
  // name before them; every other problem is the program's.
  enum class Kind { kArguments, kRefusedName };
  std::string message;
  Kind kind = Kind::kArguments;
};
struct Help {};
struct Version {};

// Reads the arguments into options: "--opt VALUE", "--opt=VALUE", switches,
// "--" before a log whose name begins with "-", and the log.
std::variant<BatchOptions, Usage, Help, Version> ReadArguments(
    const std::vector<std::string>& args) {
  BatchOptions options;
  std::vector<std::string_view> seen;
  bool only_log = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (!only_log && arg == "--") {
      only_log = true;
      continue;
    }
    if (!only_log && (arg == "--help" || arg == "-h")) return Help{};
    if (!only_log && arg == "--version") return Version{};
    if (only_log || arg.size() < 2 || arg.front() != '-') {
      if (options.log) return Usage{"more than one LOG given: " + std::string(arg)};
      options.log = fs::path(std::string(arg));
      continue;
    }
    const size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    const OptionRule* option = FindOption(name);
    if (option == nullptr) return Usage{"unknown option " + std::string(name)};
    if (std::find(seen.begin(), seen.end(), option->name) != seen.end()) {
      return Usage{std::string(option->name) + " given twice"};
    }
    seen.push_back(option->name);
    std::string_view value;
    if (option->value_name.empty()) {
      if (equals != std::string_view::npos) {
        return Usage{std::string(option->name) + " takes no value"};
      }
    } else if (equals != std::string_view::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return Usage{std::string(option->name) + " needs " + std::string(option->value_name)};
    }
    if (auto problem = option->apply(options, value)) return Usage{std::move(*problem)};
  }

  if (!options.name) return Usage{"--name is required"};
  if (!IsValidCharacterName(*options.name))
    return Usage{std::string(kInvalidNameMessage), Usage::Kind::kRefusedName};
  if (!options.log) return Usage{"no LOG given"};
  if (!options.events.empty() && options.encounter)
    return Usage{"--event and --encounter both choose the fights: give one"};
  const bool analysed = !options.events.empty() || options.encounter;
  if (!analysed && options.sort) return Usage{"--sort needs --event"};
  if (!analysed && options.combatant) return Usage{"--combatant needs --event"};
  if (!analysed && options.timeline) return Usage{"--timeline needs --event"};
  if (options.json && options.follow) return Usage{"--format json does not go with --follow"};
  if (options.window && !options.recap) return Usage{"--window needs --recap"};
  for (const auto& [asked, option] :
       {std::pair{options.deaths, "--deaths"}, std::pair{options.healing, "--healing"},
        std::pair{options.recap.has_value(), "--recap"}}) {
    if (asked && options.rules != LineRules::kExtended)
      return Usage{std::string(option) +
                   " needs the extended rules (--rules extended): the default rules read no "
                   "deaths or heals"};
  }
  return options;
}

// Runs the work of valid options and reports on `out` and `err`.
class BatchRun {
 public:
  BatchRun(const BatchOptions& options, std::ostream& out, std::ostream& err)
      : options_(options), out_(out), err_(err), app_(options.out_dir) {}

  int Run() {
    std::error_code ec;
    fs::create_directories(options_.out_dir, ec);
    if (ec || !fs::is_directory(options_.out_dir)) {
      Error(options_.out_dir.string() + ": " + (ec ? ec.message() : std::string("not a folder")));
      return 1;
    }
    PrintOptions& marks = app_.options();
    marks.PrintData = true;
    marks.PrintEvents = true;
    marks.PrintDetails = Analysed();
    marks.PrintPCDetails = options_.combatant.has_value();
    marks.ExtendedLineRules = options_.rules == LineRules::kExtended;
    // The run's files form one set: renamed into place together at the end,
    // or none of them when one could not be written.
    app_.CollectOutputsIn(&outputs_);
    app_.TakeSettingsSeconds(*options_.name, options_.gap, options_.pets);

    auto parsed = options_.follow ? Follow() : app_.Parse(*options_.log);
    if (const auto* failure = std::get_if<Failure>(&parsed)) {
      Error(failure->Message());
      return 1;
    }
    const ParsedRun& run = *std::get<ParsedRun*>(parsed);
    if (run.unreadable_lines != 0) {
      err_ << kProgram << ": " << options_.log->string() << ": " << run.unreadable_lines
           << (run.unreadable_lines == 1 ? " line" : " lines") << " could not be read\n";
    }
    Written(kDataCsvFile, run.write_failures);
    Written(kEventsCsvFile, run.write_failures);
    Written("events.htm", app_.ExportEvents(File("events.htm")));
    if (options_.encounters)
      Written(kEncountersCsvFile, app_.ExportEncountersCsv(File(kEncountersCsvFile)));
    if (Analysed()) AnalyseEvent();
    if (options_.deaths || options_.healing || options_.recap) WriteLifeFiles();
    std::future<std::optional<Failure>> committing;
    if (write_failed_) {
      outputs_.Discard();
      written_.clear();
      err_ << kProgram << ": no file was replaced\n";
    } else {
      committing = std::async(std::launch::async, [this] { return outputs_.Commit(); });
    }
    // The printed table's widths are counted while the files are renamed into
    // place (which frees the files they replace).
    const std::vector<size_t> widths =
        options_.json ? std::vector<size_t>() : AlignedWidths(kEventsColumns, app_.EventsList());
    if (committing.valid()) {
      if (auto failure = committing.get()) {
        written_.clear();
        Error(failure->Message());
      }
    }

    if (options_.json) {
      // The event detail when the event was analysed, else the events list.
      const bool detail = analysed_ && !app_.EventDetailList().Empty();
      const std::string log = options_.log->string();
      JsonReport report;
      report.log = log;
      report.lines = run.lines;
      report.files = written_;
      if (detail) {
        for (size_t row : app_.SelectedEvents())
          report.events.push_back(static_cast<int64_t>(row) + 1);
      }
      report.list = detail ? &app_.EventDetailList() : &app_.EventsList();
      WriteJsonReport(out_, report);
      return exit_code_;
    }
    out_ << "Parsed " << options_.log->string() << ": " << run.lines << " lines\n";
    for (const std::string& path : written_) out_ << "Wrote " << path << "\n";
    out_ << "\n";
    WriteAlignedTable(out_, kEventsColumns, app_.EventsList(), widths);
    return exit_code_;
  }

 private:
  fs::path File(std::string_view name) const { return options_.out_dir / name; }
  bool Analysed() const { return !options_.events.empty() || options_.encounter.has_value(); }

  // Follows the log until SIGINT or SIGTERM, printing the row of each fight
  // once it is over (and again when it changed after); then hands over the
  // results of the bytes read by then, as a parse of them would.
  std::variant<ParsedRun*, Failure> Follow() {
    NoteInterrupts();
    // Looked at between the pieces read, however long the log or quick its
    // writer, and during a wait.
    Progress interrupt;
    interrupt.cancel = &NotedInterrupt();
    if (auto failure = app_.StartFollowing(*options_.log, interrupt)) {
      RemoveTemporariesOnInterrupt();
      return std::move(*failure);
    }
    out_ << "Following " << options_.log->string() << "\n";
    std::vector<std::string> headers;
    for (const ListColumn& column : kEventsColumns) headers.emplace_back(column.header);
    WriteTabbedLine(out_, headers);
    PrintFights();
    bool more = true;  // the first refresh may have left some
    for (;;) {
      if (InterruptNoted()) break;
      if (!more) {
        const timespec wait{0, kFollowPollNanoseconds};
        ::nanosleep(&wait, nullptr);  // a signal cuts it short
        if (InterruptNoted()) break;
      }
      auto step = app_.RefreshFollow(interrupt);
      if (auto* failure = std::get_if<Failure>(&step)) {
        RemoveTemporariesOnInterrupt();
        return std::move(*failure);
      }
      const App::FollowStep& done = std::get<App::FollowStep>(step);
      more = done.more;
      TellReadable(done);
      // Another file (or the same one cut short) is read from its start: its
      // fights are new, whatever records they start at.
      if (done.started_over) printed_.clear();
      if (done.changed) PrintFights(&done);
    }
    // From here on an interrupt removes the files being written, as always.
    RemoveTemporariesOnInterrupt();
    out_ << "\n";
    return app_.StopFollowing(/*read_rest=*/false);
  }

  // Says on standard error when the log cannot be read (and is waited for),
  // and when it can again.
  void TellReadable(const App::FollowStep& step) {
    if (!step.unreadable.empty() && step.unreadable != told_unreadable_) {
      err_ << kProgram << ": " << options_.log->string() << ": " << step.unreadable
           << "; waiting until it can be read\n";
    } else if (step.unreadable.empty() && !step.waiting && !told_unreadable_.empty()) {
      err_ << kProgram << ": " << options_.log->string() << ": read again\n";
    } else {
      return;
    }
    err_.flush();
    told_unreadable_ = step.unreadable;
  }

  // Prints the rows of the fights that are over: once when first over, then
  // with a last cell "corrected" whenever the row changed since (a name that
  // became a mob took records from it), or "withdrawn" when the fight is no
  // more (its records went to other fights). Withdrawn rows come first, so
  // that a row for the same mob and start that follows them stands.
  // After a refresh (`step`) only the rows it changed or added and those
  // open at the last print are looked at, and only the printed fights that
  // were at those rows can be gone: a refresh of a long log costs what it
  // changed.
  void PrintFights(const App::FollowStep* step = nullptr) {
    const std::span<const EventRecord> events = app_.Log().EventTable();
    const TextTable& list = app_.EventsList();
    const size_t rows = std::min(events.size(), list.Rows());
    const bool all = step == nullptr || step->started_over;
    ++print_pass_;
    std::vector<size_t> look;
    if (all) {
      look.resize(rows);
      for (size_t row = 0; row < rows; ++row) look[row] = row;
    } else {
      const EventsListChange& change = step->list_change;
      look = change.changed_rows;
      for (const size_t row : open_before_)
        if (row < change.added_from) look.push_back(row);
      std::sort(look.begin(), look.end());
      look.erase(std::unique(look.begin(), look.end()), look.end());
      for (size_t row = change.added_from; row < rows; ++row) look.push_back(row);
    }
    std::vector<std::vector<std::string>> lines;
    for (const size_t row : look) {
      if (row >= rows) break;
      const EventRecord& event = events[row];
      if (event.Name.empty()) continue;
      auto [at, added] = printed_.try_emplace({event.StartCounter, event.Name});
      PrintedFight& fight = at->second;
      fight.pass = print_pass_;
      if (app_.EventIsOpen(row)) {
        if (added) printed_.erase(at);
        continue;
      }
      if (!added && fight.event == event) continue;
      fight.event = event;
      fight.row = list.Row(row);
      lines.push_back(fight.row);
      if (!added) lines.back().emplace_back("corrected");
    }
    auto withdraw = [this](auto from, auto to) {
      for (auto at = from; at != to;) {
        if (at->second.pass == print_pass_) {
          ++at;
          continue;
        }
        at->second.row.emplace_back("withdrawn");
        WriteTabbedLine(out_, at->second.row);
        at = printed_.erase(at);
      }
    };
    auto first_at = [this](int64_t start) { return printed_.lower_bound({start, std::string()}); };
    if (all) {
      withdraw(printed_.begin(), printed_.end());
    } else {
      // A row changed in place kept its first record; another mob's fight
      // printed at it is gone.
      for (const size_t row : step->list_change.changed_rows) {
        const int64_t start = events[row].StartCounter;
        withdraw(first_at(start), first_at(start + 1));
      }
      if (step->list_change.gone_from != INT64_MAX)
        withdraw(first_at(step->list_change.gone_from), printed_.end());
    }
    for (const std::vector<std::string>& line : lines) WriteTabbedLine(out_, line);
    open_before_ = app_.OpenEventRows();
    out_.flush();
  }

  void Error(const std::string& message) {
    err_ << kProgram << ": " << message << "\n";
    exit_code_ = 1;
  }

  // Notes a file as written unless one of `failures` names it.
  void Written(std::string_view name, const std::vector<Failure>& failures) {
    const std::string path = File(name).string();
    for (const Failure& f : failures) {
      if (f.path == path) {
        Error(f.Message());
        write_failed_ = true;
        return;
      }
    }
    written_.push_back(path);
  }
  void Written(std::string_view name, const std::optional<Failure>& failure) {
    if (failure) {
      Error(failure->Message());
      write_failed_ = true;
      return;
    }
    written_.push_back(File(name).string());
  }

  // The rows the options name: --event's, or those of --encounter's encounter.
  std::optional<std::vector<size_t>> ChosenRows() {
    const size_t rows = app_.EventsList().Rows();
    std::vector<size_t> chosen;
    if (options_.encounter) {
      const Encounters encounters = app_.GroupedEncounters();
      if (static_cast<uint64_t>(*options_.encounter) > encounters.size()) {
        Error("encounter " + std::to_string(*options_.encounter) + " is not in the log (" +
              std::to_string(encounters.size()) +
              (encounters.size() == 1 ? " encounter)" : " encounters)"));
        return std::nullopt;
      }
      for (int32_t n : encounters.FightsOf(static_cast<size_t>(*options_.encounter - 1)))
        chosen.push_back(static_cast<size_t>(n) - 1);
      return chosen;
    }
    for (int64_t row : options_.events) {
      if (static_cast<uint64_t>(row) > rows) {
        Error("event " + std::to_string(row) + " is not in the events list (" +
              std::to_string(rows) + (rows == 1 ? " row)" : " rows)"));
        return std::nullopt;
      }
      chosen.push_back(static_cast<size_t>(row - 1));
    }
    return chosen;
  }

  void AnalyseEvent() {
    auto rows = ChosenRows();
    if (!rows) return;
    analysed_ = true;
    app_.SelectEvents(std::move(*rows));
    Written(kTextPcListCsvFile, app_.ChooseTab(3));
    if (options_.sort) app_.EventDetailHeaderClicked(*options_.sort);
    Written("event-detail.htm", app_.ExportEventDetail(File("event-detail.htm")));
    if (options_.timeline) {
      Written(kTimelineCsvFile, app_.ExportTimelineCsv(File(kTimelineCsvFile)));
      Written(kTimelineSvgFile, app_.ExportTimelineSvg(File(kTimelineSvgFile)));
    }
    if (options_.combatant) AnalyseCombatant();
  }

  // deaths.csv, healing.csv and recap.csv, of the analysed fight or the whole log.
  void WriteLifeFiles() {
    app_.BuildLifeLists(/*whole_log=*/!Analysed());
    if (options_.deaths) Written(kDeathsCsvFile, app_.ExportDeathsCsv(File(kDeathsCsvFile)));
    if (options_.healing) Written(kHealingCsvFile, app_.ExportHealingCsv(File(kHealingCsvFile)));
    if (!options_.recap) return;
    const size_t deaths = app_.DeathsList().Rows();
    if (static_cast<uint64_t>(*options_.recap) > deaths) {
      Error("death " + std::to_string(*options_.recap) + " is not in the deaths list (" +
            std::to_string(deaths) + (deaths == 1 ? " row)" : " rows)"));
      return;
    }
    app_.Life().SetRecapWindow(options_.window.value_or(kDefaultRecapWindow));
    app_.Life().SelectDeath(static_cast<size_t>(*options_.recap - 1));
    Written(kRecapCsvFile, app_.ExportRecapCsv(File(kRecapCsvFile)));
  }

  void AnalyseCombatant() {
    const TextTable& list = app_.EventDetailList();
    for (size_t r = 0; r < list.Rows(); ++r) {
      if (CellAt(list, r, EventDetailColumn::kDamageBy) == *options_.combatant) {
        app_.SelectCombatant(r);
        Written(kPcDetailCsvFile, app_.ChooseTab(4));
        return;
      }
    }
    // Named as the user typed it, not in the log's bytes.
    Error("combatant \"" + options_.combatant_as_given + "\" is not in the event-detail list of " +
          (options_.encounter ? "encounter " + std::to_string(*options_.encounter)
                              : "event " + options_.events_as_given));
  }

  const BatchOptions& options_;
  std::ostream& out_;
  std::ostream& err_;
  App app_;
  OutputSet outputs_;
  bool write_failed_ = false;
  bool analysed_ = false;  // the chosen fights were found and analysed
  std::vector<std::string> written_;
  int exit_code_ = 0;
  // The fights printed while following, by first record and mob.
  struct PrintedFight {
    EventRecord event;
    std::vector<std::string> row;
    uint64_t pass = 0;  // the last print pass that found it
  };
  std::map<std::pair<int64_t, std::string>, PrintedFight> printed_;
  uint64_t print_pass_ = 0;
  std::vector<size_t> open_before_;  // the open fights' rows at the last print
  std::string told_unreadable_;      // the reason last told why the log cannot be read
};

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (auto code = RunLogTextBatch(args, out, err)) return *code;
  auto read = ReadArguments(args);
  if (std::holds_alternative<Help>(read) || std::holds_alternative<Version>(read)) {
    if (std::holds_alternative<Help>(read)) {
      out << UsageText() << std::flush;
    } else {
      out << kProgram << " " << OMBREL_VERSION << "\n" << std::flush;
    }
    if (!out) {
      err << kProgram << ": cannot write to standard output\n";
      return 1;
    }
    return 0;
  }
  if (const auto* usage = std::get_if<Usage>(&read)) {
    if (usage->kind == Usage::Kind::kRefusedName) {
      err << usage->message << "\n";
    } else {
      err << kProgram << ": " << usage->message << "\n";
    }
    err << UsageText();
    return 2;
  }
  int code = 1;
  try {
    code = BatchRun(std::get<BatchOptions>(read), out, err).Run();
  } catch (const std::bad_alloc&) {
    // The files of the run are dropped on the way out.
    err << kProgram << ": not enough memory\n";
    return 1;
  }
  // A table cut short by a full disk or a closed pipe is a failure too.
  out.flush();
  if (!out) {
    err << kProgram << ": cannot write to standard output\n";
    return 1;
  }
  return code;
}

}  // namespace ombrel
