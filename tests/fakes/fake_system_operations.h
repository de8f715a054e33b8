// System operations that change nothing: each call is recorded with its
// arguments and reports what the test set. Any operation, or the N-th call
// of all, can be made to report failure.
#pragma once

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/system_operations.h"

namespace kavrolin::testing {

class FakeSystemOperations : public platform::SystemOperations {
 public:
  // --- what the fake answers
  std::string name = "POS-01";           // ANSI bytes of the computer name
  bool write_name_on_failure = false;    // a failing GetComputerName still scribbles the name
  platform::SystemHandle process = 0x51;
  platform::SystemHandle token = 0x7A;
  platform::Luid luid{19, 0};
  int32_t previous_flag = 0;             // written through SystemParametersInfo's pv_param
  std::set<std::string> failing;         // operations that report failure
  int fail_call = -1;                    // index into `calls` of a call that reports failure

  // --- what the fake was given
  std::vector<std::string> calls;        // operation names, in order
  uint32_t name_buffer_size = 0;
  std::vector<std::string> names_set;
  platform::SystemHandle process_seen = 0;
  uint32_t access_seen = 0;
  std::string lookup_system;
  bool lookup_system_null = false;
  std::string lookup_name;
  platform::SystemHandle token_seen = 0;
  bool disable_all_seen = true;
  platform::TokenPrivileges new_state_seen;
  uint32_t buffer_length_seen = 0;
  std::vector<platform::SystemHandle> closed;
  struct Exit {
    uint32_t flags, reserved;
  };
  std::vector<Exit> exits;
  struct Parameters {
    uint32_t action, ui_param;
    bool has_pv_param;
    int32_t pv_before;
    uint32_t win_ini;
  };
  std::vector<Parameters> parameters;

  bool GetComputerName(char* buffer, uint32_t& size) override {
    const bool ok = Report("GetComputerName");
    name_buffer_size = size;
    if (name.size() + 1 > size) {
      size = static_cast<uint32_t>(name.size() + 1);
      return false;
    }
    if (ok || write_name_on_failure) std::memcpy(buffer, name.c_str(), name.size() + 1);
    if (ok) size = static_cast<uint32_t>(name.size());
    return ok;
  }
  bool SetComputerName(const char* new_name) override {
    names_set.emplace_back(new_name);
    return Report("SetComputerName");
  }
  platform::SystemHandle GetCurrentProcess() override {
    Report("GetCurrentProcess");
    return process;
  }
  bool OpenProcessToken(platform::SystemHandle p, uint32_t access,
                        platform::SystemHandle& t) override {
    process_seen = p;
    access_seen = access;
    if (!Report("OpenProcessToken")) return false;
    t = token;
    return true;
  }
  bool LookupPrivilegeValue(const char* system_name, const char* privilege,
                            platform::Luid& out) override {
    lookup_system_null = system_name == nullptr;
    lookup_system = system_name ? system_name : "";
    lookup_name = privilege ? privilege : "";
    if (!Report("LookupPrivilegeValue")) return false;
    out = luid;
    return true;
  }
  bool AdjustTokenPrivileges(platform::SystemHandle t, bool disable_all,
                             const platform::TokenPrivileges& new_state, uint32_t buffer_length,
                             platform::TokenPrivileges& previous_state,
                             uint32_t& return_length) override {
    token_seen = t;
    disable_all_seen = disable_all;
    new_state_seen = new_state;
    buffer_length_seen = buffer_length;
    return Report("AdjustTokenPrivileges");
  }
  bool CloseHandle(platform::SystemHandle handle) override {
    closed.push_back(handle);
    return Report("CloseHandle");
  }
  bool ExitWindowsEx(uint32_t flags, uint32_t reserved) override {
    exits.push_back({flags, reserved});
    return Report("ExitWindowsEx");
  }
  bool SystemParametersInfo(uint32_t action, uint32_t ui_param, int32_t* pv_param,
                            uint32_t win_ini) override {
    parameters.push_back({action, ui_param, pv_param != nullptr, pv_param ? *pv_param : 0, win_ini});
    if (!Report("SystemParametersInfo")) return false;
    if (pv_param) *pv_param = previous_flag;
    return true;
  }

 private:
  bool Report(const std::string& operation) {
    calls.push_back(operation);
    return failing.count(operation) == 0 && static_cast<int>(calls.size()) - 1 != fail_call;
  }
};

}  // namespace kavrolin::testing
