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
// put them back after NoteInterrupts or EndThroughOnInterrupt (a noted ending
// is then forgotten).
void RemoveTemporariesOnInterrupt();

// The window's way to end: it saves its state first. The handlers this
// installs remove the registered temporary files at once and from then on
// refuse every file written (a write under way, on any thread, fails at its
// next block and nothing is renamed over an older file); then they note the
// signal and write one byte to `wake_fd`, the write end of a pipe that the
// window's thread watches. That thread calls AnswerInterrupt, saves, and
// calls EndInterrupted. When it has not answered within
// kInterruptGraceSeconds, or a second signal comes, the program ends as
// RemoveTemporariesOnInterrupt's handlers end it.
inline constexpr unsigned kInterruptGraceSeconds = 5;
void EndThroughOnInterrupt(int wake_fd);
// The signal those handlers noted, 0 while none came.
int InterruptEnding();
// The same, and the grace period's end is called off: the ending is taken in
// hand.
int AnswerInterrupt();
// Removes the registered temporary files and ends the program with 128 plus
// the noted signal's number.
[[noreturn]] void EndInterrupted();

// While a log is followed, SIGINT and SIGTERM end the following instead of
// the program: the handlers NoteInterrupts installs only note the signal
// (and cut a wait short), and InterruptNoted tells whether one came since.
// NotedInterrupt is the same as a flag that long work looks at between
// pieces (Progress::cancel).
void NoteInterrupts();
bool InterruptNoted();
const std::atomic<bool>& NotedInterrupt();

}  // namespace ombrel
