#include "shared/Interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace ombrel {
namespace {

constexpr size_t kSlots = 32;
constexpr size_t kPathRoom = 4096;

// A slot is free, being filled or emptied (busy), or holds a path the handler
// may remove. Only a slot that holds a path is read by the handler, and its
// text does not change while it does.
enum SlotState : int { kFree = 0, kBusy = 1, kHeld = 2 };

struct Slot {
  std::atomic<int> state{kFree};
  char path[kPathRoom] = {};
};

std::array<Slot, kSlots> slots;

// A signal noted while a log is followed.
std::atomic<bool> noted_signal{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void Note(int) {
  noted_signal.store(true);
}

// The signal that ends the program once the window has saved its state.
std::atomic<int> ending_signal{0};
std::atomic<int> wake_fd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

void RemoveRegistered() {
  for (Slot& slot : slots) {
    if (slot.state.load() == kHeld) ::unlink(slot.path);
  }
}

extern "C" [[noreturn]] void RemoveAndExit(int signal_number) {
  RemoveRegistered();
  ::_exit(128 + signal_number);
}

extern "C" void EndAfterGrace(int) {
  RemoveAndExit(ending_signal.load());
}

extern "C" void NoteEnding(int signal_number) {
  int none = 0;
  if (!ending_signal.compare_exchange_strong(none, signal_number)) RemoveAndExit(none);
  const int saved_errno = errno;
  RemoveRegistered();
  const char byte = 1;
  const int fd = wake_fd.load();
  if (fd >= 0 && ::write(fd, &byte, 1) < 0) {
    // A full pipe already holds a byte that wakes the window.
  }
  ::alarm(kInterruptGraceSeconds);
  errno = saved_errno;
}

// Installs `handler` for SIGINT and SIGTERM, a second signal (and the grace
// period's end) waiting while it runs.
void Install(void (*handler)(int), bool restart) {
  struct sigaction action = {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigaddset(&action.sa_mask, SIGINT);
  sigaddset(&action.sa_mask, SIGTERM);
  sigaddset(&action.sa_mask, SIGALRM);
  action.sa_flags = restart ? SA_RESTART : 0;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int RegisterTemporary(std::string_view path) {
  if (path.size() >= kPathRoom) return -1;
  for (size_t k = 0; k < kSlots; ++k) {
    int expected = kFree;
    if (!slots[k].state.compare_exchange_strong(expected, kBusy)) continue;
    std::memcpy(slots[k].path, path.data(), path.size());
    slots[k].path[path.size()] = '\0';
    slots[k].state.store(kHeld);
    return static_cast<int>(k);
  }
  return -1;
}

void UnregisterTemporary(int slot) {
  if (slot < 0 || static_cast<size_t>(slot) >= kSlots) return;
  slots[static_cast<size_t>(slot)].state.store(kFree);
}

void RemoveTemporariesOnInterrupt() {
  // A second signal during the removal waits rather than cutting it short.
  Install(RemoveAndExit, false);
  ending_signal.store(0);
  wake_fd.store(-1);
}

void EndThroughOnInterrupt(int fd) {
  ending_signal.store(0);
  wake_fd.store(fd);
  struct sigaction grace = {};
  grace.sa_handler = EndAfterGrace;
  sigemptyset(&grace.sa_mask);
  sigaction(SIGALRM, &grace, nullptr);
  // The window's thread goes on with what it was doing until it reads the
  // pipe: its waits resume.
  Install(NoteEnding, true);
}

int InterruptEnding() {
  return ending_signal.load();
}

int AnswerInterrupt() {
  const int signal_number = ending_signal.load();
  if (signal_number != 0) ::alarm(0);
  return signal_number;
}

void EndInterrupted() {
  RemoveAndExit(ending_signal.load());
}

void NoteInterrupts() {
  noted_signal.store(false);
  struct sigaction action = {};
  action.sa_handler = Note;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a wait in progress ends at once.
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool InterruptNoted() {
  return noted_signal.load();
}

const std::atomic<bool>& NotedInterrupt() {
  return noted_signal;
}

}  // namespace ombrel
