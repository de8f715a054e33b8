#include "toolkit/scramble/encode_file.h"

#include <memory>
#include <string>

#include "platform/common/file_system_object.h"

namespace kavrolin::toolkit::scramble {
namespace {

constexpr int kSourceSlot = 1;
constexpr int kDestinationSlot = 2;
constexpr size_t kBlock = 64 * 1024;

// Closes both slots however the call ends; an uncommitted destination then
// vanishes.
struct SlotsClosed {
  platform::FileSlots& slots;
  ~SlotsClosed() {
    slots.Close(kSourceSlot);
    slots.Close(kDestinationSlot);
  }
};

}  // namespace

bool EncodeFile(platform::FileSystem& files, platform::FileSlots& slots, TextView pFileS,
                TextView pFileD, int32_t pSeed) {
  try {
    slots.Close(kSourceSlot);
    slots.Close(kDestinationSlot);
    const SlotsClosed closed{slots};

    const std::unique_ptr<platform::FileSystemObject> fso = files.CreateObject();
    if (!fso || !fso->FileExists(pFileS)) return false;
    if (files.SameFile(pFileS, pFileD)) return false;

    slots.Open(kSourceSlot, files, pFileS, platform::BinaryAccess::kRead);
    slots.Open(kDestinationSlot, files, pFileD, platform::BinaryAccess::kReplacement);
    const auto flip = static_cast<char>(pSeed & 15);
    while (!slots.Eof(kSourceSlot)) {
      std::string block = slots.Get(kSourceSlot, kBlock);
      for (char& byte : block) byte ^= flip;
      slots.Put(kDestinationSlot, block);
    }
    slots.Commit(kDestinationSlot);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace kavrolin::toolkit::scramble
