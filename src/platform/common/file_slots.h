// FileSlots: the component's table of open files, addressed by slot numbers
// 1 to 511 as the Basic runtime numbers its files, with byte access through
// FileSystem::OpenBinary.
//
// The Basic runtime keeps one table per thread: ThisThread() is that one.
// A table is used from one thread at a time. Destroying it closes every file;
// an uncommitted replacement then leaves its path as it was.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "base/text.h"
#include "platform/file_system.h"

namespace kavrolin::platform {

class FileSlots {
 public:
  static constexpr int kFirstSlot = 1;
  static constexpr int kLastSlot = 511;

  // Opens `path` in `slot`. 52 for a number outside 1..511, 55 when the slot
  // is in use; otherwise the failures of FileSystem::OpenBinary.
  void Open(int slot, FileSystem& files, TextView path, BinaryAccess access);
  // Closes the slot; nothing when it is not open. Never fails.
  void Close(int slot);
  bool IsOpen(int slot) const;

  // Reads up to `size` bytes at the slot's position; fewer only at the end of
  // the file, and then Eof turns true. Never reads past the end.
  std::string Get(int slot, size_t size);
  // Writes the bytes at the slot's position.
  void Put(int slot, std::string_view bytes);
  // Whether the last read of the slot reached the end of the file.
  bool Eof(int slot) const;
  // See BinaryFile::Commit.
  void Commit(int slot);

  static FileSlots& ThisThread();

 private:
  struct Slot {
    std::unique_ptr<BinaryFile> file;
    bool eof = false;
  };
  // 52 when the slot is not open.
  Slot& OpenSlot(int slot);
  const Slot& OpenSlot(int slot) const;

  std::map<int, Slot> slots_;
};

}  // namespace kavrolin::platform
