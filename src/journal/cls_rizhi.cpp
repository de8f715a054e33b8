#include "journal/cls_rizhi.h"

#include <iterator>

#include "base/ansi.h"
#include "base/automation_error.h"
#include "base/date_mask.h"
#include "platform/common/file_system_object.h"

namespace kavrolin::journal {
namespace {

constexpr char16_t kFolder[] = u"c:\\YHLOG";

}  // namespace

kavrolin::Text JournalDayFile(const LocalTime& now) {
  return kavrolin::Text(kFolder) + u"\\" + FormatDateMask(now, kDayMask) + u".txt";
}

cls_Rizhi::cls_Rizhi(platform::Services services, JournalOptions options)
    : services_(std::move(services)), options_(options) {}

kavrolin::Text cls_Rizhi::DayFile(const LocalTime& now) {
  const std::lock_guard lock(day_mutex_);
  if (day_file_.empty() || now.day != day_.day || now.month != day_.month ||
      now.year != day_.year) {
    day_file_ = JournalDayFile(now);
    day_ = now;
  }
  return day_file_;
}

bool cls_Rizhi::WriteLog(const kavrolin::Text& Text) {
  try {
    const LocalTime now = services_.clock->Now();
    const kavrolin::Text path = DayFile(now);
    // The line in its ANSI form, in one piece: the time stamp and the line end
    // are ASCII, the same bytes in every code page.
    std::string line;
    line.reserve(std::size(kTimeStampMask) + Text.size() * 2 + 2);  // stamp, blank, text, CR LF
    AppendTimeStamp(line, now);
    line += ' ';
    line += ToAnsi(Text);
    line += "\r\n";
    platform::FileSystem& files = *services_.files;
    try {
      files.AppendFile(path, line, options_.sync);
    } catch (const AutomationError& e) {
      if (e.number() != static_cast<int32_t>(ErrorNumber::kPathNotFound)) throw;
      // The folder is made when a line first needs it.
      try {
        auto fso = files.CreateObject();
        if (!fso->FolderExists(kFolder)) fso->CreateFolder(kFolder);
      } catch (const AutomationError&) {
      }
      files.AppendFile(path, line, options_.sync);
    }
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace kavrolin::journal
