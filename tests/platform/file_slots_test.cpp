#include "platform/common/file_slots.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "platform/posix/file_system.h"
#include "support/error_of.h"
#include "files_in_prefix.h"
#include "support/temp_dir.h"

namespace kavrolin::platform {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ErrorOf;
using kavrolin::testing::ReadHostFile;
using kavrolin::testing::WriteHostFile;

class FileSlotsTest : public kavrolin::testing::FilesInPrefix {
 protected:
  FileSlotsTest() { WriteHostFile(C("in.bin"), "abcde"); }

  FileSlots slots_;
};

TEST_F(FileSlotsTest, SlotNumbers) {
  const struct {
    const char* label;
    int slot;
    int error;
  } rows[] = {
      {"below the first", 0, 52},
      {"negative", -1, 52},
      {"first", FileSlots::kFirstSlot, 0},
      {"last", FileSlots::kLastSlot, 0},
      {"past the last", FileSlots::kLastSlot + 1, 52},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { slots_.Open(row.slot, files_, u"C:\\in.bin", BinaryAccess::kRead); }),
              row.error);
    EXPECT_EQ(slots_.IsOpen(row.slot), row.error == 0);
    slots_.Close(row.slot);
    EXPECT_FALSE(slots_.IsOpen(row.slot));
  }
}

TEST_F(FileSlotsTest, UseOfASlotThatIsNotOpen) {
  EXPECT_EQ(ErrorOf([&] { slots_.Get(1, 1); }), 52);
  EXPECT_EQ(ErrorOf([&] { slots_.Put(1, "x"); }), 52);
  EXPECT_EQ(ErrorOf([&] { slots_.Eof(1); }), 52);
  EXPECT_EQ(ErrorOf([&] { slots_.Commit(1); }), 52);
  slots_.Close(1);  // closing a closed slot is no failure
}

TEST_F(FileSlotsTest, ASlotInUseIsNotOpenedAgain) {
  slots_.Open(1, files_, u"C:\\in.bin", BinaryAccess::kRead);
  EXPECT_EQ(ErrorOf([&] { slots_.Open(1, files_, u"C:\\in.bin", BinaryAccess::kRead); }), 55);
  EXPECT_EQ(slots_.Get(1, 2), "ab");  // the first file is still there
}

TEST_F(FileSlotsTest, AFailedOpenLeavesTheSlotClosed) {
  EXPECT_EQ(ErrorOf([&] { slots_.Open(1, files_, u"C:\\none.bin", BinaryAccess::kRead); }), 53);
  EXPECT_FALSE(slots_.IsOpen(1));
}

TEST_F(FileSlotsTest, EofTurnsTrueWhenAReadComesBackShort) {
  slots_.Open(1, files_, u"C:\\in.bin", BinaryAccess::kRead);
  EXPECT_FALSE(slots_.Eof(1));
  EXPECT_EQ(slots_.Get(1, 2), "ab");
  EXPECT_FALSE(slots_.Eof(1));
  EXPECT_EQ(slots_.Get(1, 3), "cde");
  EXPECT_FALSE(slots_.Eof(1));  // exactly at the end, not past it
  EXPECT_EQ(slots_.Get(1, 3), "");
  EXPECT_TRUE(slots_.Eof(1));
}

TEST_F(FileSlotsTest, EachThreadHasItsOwnTable) {
  FileSlots::ThisThread().Open(3, files_, u"C:\\in.bin", BinaryAccess::kRead);
  bool open_there = true;
  std::thread([&] { open_there = FileSlots::ThisThread().IsOpen(3); }).join();
  EXPECT_FALSE(open_there);
  EXPECT_TRUE(FileSlots::ThisThread().IsOpen(3));
  FileSlots::ThisThread().Close(3);
}

}  // namespace
}  // namespace kavrolin::platform
