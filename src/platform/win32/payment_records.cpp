#include "platform/win32/payment_records.h"

#include <algorithm>
#include <functional>

#include "base/automation_error.h"
#include "rules/payment_log.h"
#include "rules/payment_state.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/windows_api.h"

#include <sddl.h>
#include <shlobj.h>

namespace kavrolin::platform::win32 {
namespace {

[[noreturn]] void Fail(const std::wstring& file, const char* what, DWORD error) {
  throw AutomationError(static_cast<int32_t>(ErrorNumber::kPathFileAccess),
                        u"Path/File access error: " + Text(file.begin(), file.end()) + u": " +
                            FromUtf8(what) + u" failed (" + FromUtf8(std::to_string(error)) + u")");
}

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[32768];
  const DWORD length = ::GetEnvironmentVariableW(name, buffer, 32768);
  return length > 0 && length < 32768 ? std::wstring(buffer, length) : std::wstring();
}

// Full control for the system and administrators, modify for Users, passed
// on to every file and folder made inside.
constexpr wchar_t kMachineWideRights[] =
    L"D:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)";

void MakeFolder(const std::wstring& folder, bool machine_wide) {
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
  if (machine_wide && !::ConvertStringSecurityDescriptorToSecurityDescriptorW(
                          kMachineWideRights, SDDL_REVISION_1, &attributes.lpSecurityDescriptor, nullptr)) {
    Fail(folder, "ConvertStringSecurityDescriptorToSecurityDescriptorW", ::GetLastError());
  }
  const BOOL made = ::CreateDirectoryW(folder.c_str(), machine_wide ? &attributes : nullptr);
  const DWORD error = ::GetLastError();
  ::LocalFree(attributes.lpSecurityDescriptor);
  if (!made && error != ERROR_ALREADY_EXISTS) Fail(folder, "CreateDirectoryW", error);
}

std::wstring KnownFolder(int csidl) {
  wchar_t path[MAX_PATH];
  return SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"";
}

UniqueHandle OpenShared(const std::wstring& file, DWORD access, DWORD disposition) {
  UniqueHandle handle(::CreateFileW(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  return handle;
}

// The bytes of `file` from `from` on, `count` of them or as many as there
// are (the file may shrink meanwhile).
std::string ReadRange(HANDLE file, const std::wstring& name, int64_t from, int64_t count) {
  std::string bytes(static_cast<size_t>(count), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    OVERLAPPED at{};
    const int64_t where = from + static_cast<int64_t>(done);
    at.Offset = static_cast<DWORD>(where);
    at.OffsetHigh = static_cast<DWORD>(where >> 32);
    DWORD read = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
    if (!::ReadFile(file, bytes.data() + done, want, &read, &at)) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_HANDLE_EOF) break;
      Fail(name, "ReadFile", error);
    }
    if (read == 0) break;
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

std::string ReadAll(HANDLE file, const std::wstring& name) {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size)) Fail(name, "GetFileSizeEx", ::GetLastError());
  return ReadRange(file, name, 0, size.QuadPart);
}

// The log opened for reading and appending, held under the writers' lock.
class LockedLog {
 public:
  explicit LockedLog(const std::wstring& file)
      : name_(file), file_(OpenShared(file, GENERIC_READ | FILE_APPEND_DATA, OPEN_ALWAYS)), lock_(file_.get()) {
    if (!file_.valid()) Fail(file, "CreateFileW", ::GetLastError());
    if (!lock_.held()) Fail(file, "LockFileEx", ::GetLastError());
  }

  int64_t Size() const {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file_.get(), &size)) Fail(name_, "GetFileSizeEx", ::GetLastError());
    return size.QuadPart;
  }
  std::string Contents() const { return ReadAll(file_.get(), name_); }

  // The id the next record takes: one past the last record's, found in the
  // log's end (a start line is seldom more than a few lines back).
  int64_t NextId() const {
    const int64_t size = Size();
    for (int64_t want = 4096;; want *= 8) {
      const int64_t from = std::max<int64_t>(0, size - want);
      if (const auto last = rules::LastRecordId(Range(from, size - from), from == 0)) return *last + 1;
      if (from == 0) return 1;
    }
  }

  // Appends `line` in one write; a last line that a dead writer cut short is
  // ended first, so the new line stands on its own. A write that fails part
  // way is undone.
  void Append(std::string line, bool flush) {
    const int64_t size = Size();
    if (size > 0 && Range(size - 1, 1) != "\n") line.insert(line.begin(), '\n');
    if (const DWORD error = LockedAppend(file_.get(), name_, line, flush); error != ERROR_SUCCESS) {
      Fail(name_, flush ? "WriteFile or FlushFileBuffers" : "WriteFile", error);
    }
  }

 private:
  std::string Range(int64_t from, int64_t count) const { return ReadRange(file_.get(), name_, from, count); }

  std::wstring name_;
  UniqueHandle file_;
  WritersLock lock_;
};

std::vector<PaymentRecord> ReadRecords(const std::wstring& file) {
  UniqueHandle handle = OpenShared(file, GENERIC_READ, OPEN_EXISTING);
  if (!handle.valid()) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
    Fail(file, "CreateFileW", error);
  }
  return rules::FoldPaymentLog(ReadAll(handle.get(), file));
}

std::vector<PaymentRecord> Where(std::vector<PaymentRecord> records,
                                 const std::function<bool(const PaymentRecord&)>& keep) {
  records.erase(std::remove_if(records.begin(), records.end(), [&](const PaymentRecord& r) { return !keep(r); }),
                records.end());
  return records;
}

}  // namespace

Win32PaymentRecords::Win32PaymentRecords(std::wstring folder, std::wstring earlier_folder, bool machine_wide)
    : folder_(std::move(folder)), machine_wide_(machine_wide) {
  if (!earlier_folder.empty() && earlier_folder != folder_) earlier_log_ = earlier_folder + L"\\payments.log";
}

std::shared_ptr<Win32PaymentRecords> Win32PaymentRecords::Default() {
  if (std::wstring prefix = Environment(L"KAVROLIN_PREFIX"); !prefix.empty()) {
    return std::make_shared<Win32PaymentRecords>(prefix);
  }
  std::wstring machine = KnownFolder(CSIDL_COMMON_APPDATA);
  if (machine.empty()) machine = Environment(L"TEMP");
  std::wstring user = KnownFolder(CSIDL_LOCAL_APPDATA);
  return std::make_shared<Win32PaymentRecords>(machine + L"\\Kavrolin",
                                               user.empty() ? L"" : user + L"\\Kavrolin", true);
}

void Win32PaymentRecords::MakeFolder() const { win32::MakeFolder(folder_, machine_wide_); }

std::vector<PaymentRecord> Win32PaymentRecords::AllRecords() const {
  std::vector<PaymentRecord> records;
  if (!earlier_log_.empty()) {
    records = ReadRecords(earlier_log_);
    for (PaymentRecord& record : records) record.id += kEarlierLogIds;
  }
  std::vector<PaymentRecord> own = ReadRecords(log_file());
  records.insert(records.end(), own.begin(), own.end());
  return records;
}

std::wstring Win32PaymentRecords::log_file() const { return folder_ + L"\\payments.log"; }
std::wstring Win32PaymentRecords::trace_file() const { return folder_ + L"\\payments-trace.txt"; }

int64_t Win32PaymentRecords::Start(const PaymentStart& start) {
  MakeFolder();
  LockedLog log(log_file());
  const int64_t id = log.NextId();
  // The started record is what a crash leaves behind, so it is flushed.
  log.Append(rules::StartLine(id, static_cast<int64_t>(::GetCurrentProcessId()), start), true);
  return id;
}

void Win32PaymentRecords::Finish(int64_t id, const PaymentOutcome& outcome) {
  MakeFolder();
  // Not flushed: losing it leaves the record "started", which asks for a
  // check rather than hiding a payment. Reading applies only the first.
  LockedLog(log_file()).Append(rules::FinishLine(id, outcome), false);
}

std::vector<PaymentRecord> Win32PaymentRecords::Unfinished() {
  // Oldest first: the earlier log, then this one; answered newest first.
  std::vector<PaymentRecord> started =
      Where(AllRecords(), [](const PaymentRecord& r) { return r.state == PaymentState::kStarted; });
  std::reverse(started.begin(), started.end());
  return started;
}

ResolveStatus Win32PaymentRecords::Resolve(int64_t id, TextView finding, TextView time) {
  rules::CheckFinding(finding);
  // A record of the earlier log is resolved in that log, where it lives.
  const bool earlier = id > kEarlierLogIds && !earlier_log_.empty();
  if (earlier) {
    id -= kEarlierLogIds;
    if (ReadRecords(earlier_log_).empty()) return rules::ResolveStatusOf({}, id);
  } else {
    MakeFolder();
  }
  // Read, decide and append under one lock: two operators cannot both
  // resolve one record.
  LockedLog log(earlier ? earlier_log_ : log_file());
  const ResolveStatus status = rules::ResolveStatusOf(rules::FoldPaymentLog(log.Contents()), id);
  if (status == ResolveStatus::kResolved) log.Append(rules::ResolveLine(id, finding, time), true);
  return status;
}

std::vector<PaymentRecord> Win32PaymentRecords::OfDay(TextView day) {
  const Text wanted(day);
  return Where(AllRecords(), [&](const PaymentRecord& r) { return r.start.day == wanted; });
}

bool Win32PaymentRecords::TraceOn() { return Environment(L"KAVROLIN_TRACE") == L"1"; }

void Win32PaymentRecords::Trace(TextView line) {
  try {
    MakeFolder();
    LockedLog(trace_file()).Append(ToUtf8(line) + "\n", false);
  } catch (...) {
    // A trace that cannot be written costs no payment.
  }
}

}  // namespace kavrolin::platform::win32
