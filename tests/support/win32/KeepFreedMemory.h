// Keeps every block freed through the COM allocator alive while the object lives. Wine 8's
// FolderItem.Verbs frees the item's ID list and then builds the context menu from it; in an
// ordinary process the heap's own bookkeeping lands in the freed block, so the verbs seen (or
// whether the process survives) depend on the path's length. Tests of the verb walk hold one of
// these so they see the shell's verbs, not that use after free. The kept blocks are leaked.
#pragma once

namespace sys::win32::tests {

class KeepFreedMemory {
 public:
  KeepFreedMemory();   // throws std::runtime_error when a spy is already registered
  ~KeepFreedMemory();
  KeepFreedMemory(const KeepFreedMemory&) = delete;
  KeepFreedMemory& operator=(const KeepFreedMemory&) = delete;
};

}  // namespace sys::win32::tests
