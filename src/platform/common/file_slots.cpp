#include "platform/common/file_slots.h"

#include "base/automation_error.h"

namespace kavrolin::platform {
namespace {

constexpr int32_t kFileAlreadyOpen = 55;

}  // namespace

void FileSlots::Open(int slot, FileSystem& files, TextView path, BinaryAccess access) {
  if (slot < kFirstSlot || slot > kLastSlot) throw AutomationError(ErrorNumber::kBadFileName);
  if (IsOpen(slot)) throw AutomationError(kFileAlreadyOpen, u"File already open");
  Slot opened;
  opened.file = files.OpenBinary(path, access);
  slots_[slot] = std::move(opened);
}

void FileSlots::Close(int slot) { slots_.erase(slot); }

bool FileSlots::IsOpen(int slot) const { return slots_.contains(slot); }

std::string FileSlots::Get(int slot, size_t size) {
  Slot& s = OpenSlot(slot);
  std::string bytes(size, '\0');
  const size_t n = s.file->Read(bytes.data(), size);
  bytes.resize(n);
  s.eof = n < size;
  return bytes;
}

void FileSlots::Put(int slot, std::string_view bytes) { OpenSlot(slot).file->Write(bytes); }

bool FileSlots::Eof(int slot) const { return OpenSlot(slot).eof; }

void FileSlots::Commit(int slot) { OpenSlot(slot).file->Commit(); }

FileSlots& FileSlots::ThisThread() {
  thread_local FileSlots slots;
  return slots;
}

FileSlots::Slot& FileSlots::OpenSlot(int slot) {
  const auto it = slots_.find(slot);
  if (it == slots_.end()) throw AutomationError(ErrorNumber::kBadFileName);
  return it->second;
}

const FileSlots::Slot& FileSlots::OpenSlot(int slot) const {
  const auto it = slots_.find(slot);
  if (it == slots_.end()) throw AutomationError(ErrorNumber::kBadFileName);
  return it->second;
}

}  // namespace kavrolin::platform
