#pragma once

#include <atomic>
#include <string_view>

namespace ombrel {

// Temporary files that an interrupted program removes before it ends. The
// file writers register each temporary file while it exists; the handlers
// that RemoveTemporariesOnInterrupt installs remove the registered files on
// SIGINT or SIGTERM and end the program with 128 plus the signal's number
// (130, 143), as a shell reports an interrupted command.
//
// The registry is the one process-wide state of the program: a signal handler
// can reach nothing else. It holds a fixed number of paths; a temporary file
// beyond them (or with a longer path) is written all the same, only not
// removed by an interrupt.

// Notes `path` as a temporary file to remove on an interrupt; returns the
// registration's slot, or -1 when it could not be noted.
int RegisterTemporary(std::string_view path);
// Forgets a registration (the file was renamed or removed).
void UnregisterTemporary(int slot);

// Installs the SIGINT and SIGTERM handlers; call once at start, and again to
// put them back after NoteInterrupts.
void RemoveTemporariesOnInterrupt();

// While a log is followed, SIGINT and SIGTERM end the following instead of
// the program: the handlers NoteInterrupts installs only note the signal
// (and cut a wait short), and InterruptNoted tells whether one came since.
// NotedInterrupt is the same as a flag that long work looks at between
// pieces (Progress::cancel).
void NoteInterrupts();
bool InterruptNoted();
const std::atomic<bool>& NotedInterrupt();

}  // namespace ombrel
