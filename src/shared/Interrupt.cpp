#include "shared/Interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
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

extern "C" void RemoveAndExit(int signal_number) {
  for (Slot& slot : slots) {
    if (slot.state.load() == kHeld) ::unlink(slot.path);
  }
  ::_exit(128 + signal_number);
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
  struct sigaction action = {};
  action.sa_handler = RemoveAndExit;
  sigemptyset(&action.sa_mask);
  // A second signal during the removal waits rather than cutting it short.
  sigaddset(&action.sa_mask, SIGINT);
  sigaddset(&action.sa_mask, SIGTERM);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
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
