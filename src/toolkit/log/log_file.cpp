#include "toolkit/log/log_file.h"

#include "base/date_mask.h"
#include "platform/common/file_system_object.h"

namespace kavrolin::toolkit::log {
namespace {

using platform::FileSystemObject;

bool NamesFolder(TextView log_file) { return !log_file.empty() && log_file.back() == u'\\'; }

// One left-to-right pass over non-overlapping pairs: "\\\" keeps two.
Text CollapseDoubleBackslashes(TextView path) {
  Text out;
  out.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    out += path[i];
    if (path[i] == u'\\' && i + 1 < path.size() && path[i + 1] == u'\\') ++i;
  }
  return out;
}

// The code field: exactly four characters.
Text CodeField(const Text& strCode) {
  Text code = strCode.substr(0, 4);
  code.resize(4, u' ');
  return code;
}

}  // namespace

Text ResolveLogFile(TextView log_file, TextView component_folder, const LocalTime& now) {
  const Text source = log_file.empty() ? Text(component_folder) + u"\\" : Text(log_file);
  const Text name = NamesFolder(source) ? FormatDateMask(now, u"YYYY-MM-DD") + u".LOG"
                                        : FileSystemObject::GetBaseName(source);
  // A dummy file name makes a folder text yield that folder itself and a file
  // path yield its folder.
  Text folder = FileSystemObject::GetParentFolderName(source + u"T.T");
  if (folder.empty()) folder = component_folder;
  return CollapseDoubleBackslashes(folder + u"\\" + name);
}

bool WriteLog(platform::Services& services, Text& m_strLogFile, LogFolder& m_logFolder,
              const Text& strCode, const Text& strDesc) {
  try {
    const std::unique_ptr<FileSystemObject> fso = services.files->CreateObject();
    if (!fso) return false;
    // A folder keeps its meaning while LOGFile still names the file the last
    // line went to; any other value the host set starts afresh.
    const bool continuing = !m_logFolder.folder.empty() && m_strLogFile == m_logFolder.last_file;
    Text source = continuing ? m_logFolder.folder : m_strLogFile;
    const Text component = services.module->ComponentFolder();
    if (source.empty()) source = component + u"\\";
    const LocalTime now = services.clock->Now();
    const Text resolved = ResolveLogFile(source, component, now);
    m_strLogFile = resolved;
    m_logFolder = NamesFolder(source) ? LogFolder{source, resolved} : LogFolder{};

    Text line = u"[" + CodeField(strCode) + u"] [" + FormatDateMask(now, u"YYYY-MM-DD HH:MM:SS") +
                u"] \"" + strDesc + u"\"\r\n";
    fso->AppendText(resolved, line);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace kavrolin::toolkit::log
