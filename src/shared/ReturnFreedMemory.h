#pragma once

namespace ombrel {

// Gives the memory the allocator holds freed back to the system, in every
// thread's arena: after a stage that freed much of what it used, before the
// next takes its own (perhaps on another thread, which would not reuse it).
void ReturnFreedMemory();

}  // namespace ombrel
