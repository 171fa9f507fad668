#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "app/App.h"
#include "events/LiveLog.h"
#include "parse/FileTail.h"
#include "shared/Failure.h"
#include "shared/Progress.h"

namespace ombrel {

// A log followed while the game writes it: each Refresh reads what the file
// gained and brings the results to what a one-shot parse of the bytes up to
// the last line end would give. A file that shrank or was replaced is read
// again from its start; a log that does not exist yet, or cannot be read
// (a folder, a file without read permission), is waited for.
//
// Threads: a LogFollow belongs to one thread at a time; the first Refresh of
// a long log may run on a worker thread before the follow is handed over.
class LogFollow {
 public:
  // The request's log, name, gap, rules and verbs; its print marks and
  // output folder serve Finish.
  explicit LogFollow(ParseRequest request);

  struct Refreshed {
    bool changed = false;       // the results differ from those before
    bool started_over = false;  // the file shrank or was replaced
    bool waiting = false;       // no file to read at the path
    std::string unreadable;     // why the path cannot be read, when it names something
    bool cancelled = false;     // stopped through the progress; read on later
    bool more = false;          // stopped at the bytes one refresh reads; read on at once
  };
  // Reads what the file gained, in pieces: as much as the file held when the
  // refresh began (of a pipe or device, a few pieces), so that a writer
  // quicker than the reading cannot hold a refresh up. Progress is reported
  // over the file's size, and a cancel stops between pieces. Fails only when
  // the work itself fails (running out of memory); the follow is then spent.
  std::variant<Refreshed, Failure> Refresh(const Progress& progress = {});

  // The results as of the last Refresh, as a run to adopt. Its log shares
  // the live table and events: adopt a newer one after each Refresh that
  // changed them.
  ParsedRun Current();
  // Only the log of such a run.
  ParsedLog CurrentLog() const;
  // Brings `list`, the events list of the last run taken from Current (and
  // kept up by this since), to the current events: only the rows of events
  // that changed are rendered again, so that a refresh of a long log stays
  // short.
  void UpdateEventsList(TextTable& list, EventsListChange* change = nullptr);

  // Sets the line, unreadable-line, record and fight counts of `run` to
  // those of the current results.
  void CountInto(ParsedRun& run) const;

  // True when event `index` may still grow (its mob's latest, within the gap
  // of the log's latest time).
  bool IsOpen(size_t index) const { return live_->IsOpen(index); }
  // The events that may still grow, in order.
  std::vector<size_t> OpenEvents() const { return live_->OpenEvents(); }

  // Ends following: reads what the file holds beyond the bytes read (when
  // `read_rest`; of a pipe or device, what one refresh takes), counts the
  // unended last line as the one-shot parse does, and writes the CSV files
  // the request asks for, exactly as RunParse on those bytes. The follow is
  // spent.
  std::variant<ParsedRun, Failure> Finish(bool read_rest, const Progress& progress = {});

  const std::filesystem::path& path() const { return request_.log; }
  // Bytes the file at the path holds beyond those read; 0 when not known.
  uint64_t BytesWaiting() const;

 private:
  void StartOver();
  // Reads on until the file gave nothing more, `most` bytes were read or
  // the progress is cancelled.
  std::variant<Refreshed, Failure> ReadOn(const Progress& progress, uint64_t most);

  ParseRequest request_;
  FileTail tail_;
  std::shared_ptr<LiveLog> live_;
  std::string piece_;
  // The events as the list last taken shows them.
  std::vector<EventRecord> listed_;
  // The work failed: the live log may be half updated.
  std::optional<Failure> spent_;
};

}  // namespace ombrel
