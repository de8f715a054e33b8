// cls_Rizhi: the transaction journal. One file per local calendar day,
// "c:\YHLOG\YYYYMMDD.txt", one line per call: "yyyy-MM-dd HH:mm:ss", one
// space, the caller's text, CR LF, in the ANSI code page.
//
// Each line is appended with one write under an exclusive lock and is on disk
// before WriteLog returns, so several objects and processes can write the
// same day file at once without losing or interleaving lines, and a crash
// never costs earlier lines.
#pragma once

#include <mutex>

#include "base/local_time.h"
#include "base/text.h"
#include "platform/services.h"

namespace kavrolin::journal {

// The day file a line written at `now` goes to: "c:\YHLOG\YYYYMMDD.txt".
kavrolin::Text JournalDayFile(const LocalTime& now);

struct JournalOptions {
  // fdatasync each line; switched off only to measure what the sync costs.
  bool sync = true;
};

class cls_Rizhi {
 public:
  explicit cls_Rizhi(platform::Services services, JournalOptions options = {});

  // Appends one line; makes the folder when missing. True when the line is on
  // disk, false when it could not be written. Never throws.
  bool WriteLog(const kavrolin::Text& Text);

 private:
  // The day file of `now`, made again only when the day changes.
  kavrolin::Text DayFile(const LocalTime& now);

  platform::Services services_;
  JournalOptions options_;
  std::mutex day_mutex_;
  LocalTime day_{};  // the day `day_file_` is of; its time fields unused
  kavrolin::Text day_file_;
};

}  // namespace kavrolin::journal
