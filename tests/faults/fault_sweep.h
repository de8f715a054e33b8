// The fault sweep: runs one scenario with nothing failing, reads the calls it
// made, then runs it afresh once for every call and every failure that call
// can give, at one of two layers:
//   kServices: the platform services the logic holds (FaultyFileSystem,
//              FaultyRegistry on one FaultPlan); the profile engine reaches
//              files through the faulty file system too.
//   kSystem:   the system's file functions underneath the real POSIX
//              realisation (faulty_syscalls.h).
// The scenario owns its fixture and its checks; each run is labelled with the
// call number, the call and the failure, so a failing check names its run.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fault_plan.h"
#include "fakes/faulty_file_system.h"
#include "fakes/faulty_registry.h"
#include "fakes/faulty_syscalls.h"
#include "fakes/services_in_prefix.h"
#include "platform/posix/profile.h"

namespace kavrolin::testing {

enum class Layer { kServices, kSystem };

inline const char* NameOf(Layer layer) {
  return layer == Layer::kServices ? "services" : "system calls";
}

// A fresh prefix whose services fail as planned at one layer. Earlier data is
// put in place through the host paths (C()) or through `services` before
// Armed(); only the calls inside Armed() are counted.
class FaultFixture {
 public:
  explicit FaultFixture(Layer layer) : layer_(layer) {
    services = env.services;
    if (layer_ == Layer::kServices) {
      services.files = std::make_shared<FaultyFileSystem>(env.services.files, &plan_);
      services.profile = std::make_shared<platform::posix::PosixProfile>(
          env.prefix, services.files, std::make_shared<platform::posix::ProfileCache>());
      services.registry = std::make_shared<FaultyRegistry>(env.services.registry, plan_);
    }
  }

  // Runs `action` with call `nth` (0: none) failing with `failure`; answers
  // the calls it made.
  std::vector<std::string> Armed(int nth, int failure, const std::function<void()>& action) {
    if (layer_ == Layer::kServices) {
      plan_.Reset();
      plan_.FailNth(nth, failure);
      action();
      fired_ = plan_.fired();
      const std::vector<std::string> calls = plan_.calls();
      plan_.Reset();
      return calls;
    }
    SyscallFaults faults;
    faults.plan().FailNth(nth, failure);
    action();
    fired_ = faults.plan().fired();
    return faults.plan().calls();
  }

  // Whether the planned failure happened in the last Armed().
  bool fired() const { return fired_; }
  std::filesystem::path C(const std::filesystem::path& relative) const { return env.C(relative); }

  // Names in a host folder that a replacement left behind (".kavrolin-new-").
  static std::vector<std::string> Leftovers(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind(".kavrolin-new-", 0) == 0) names.push_back(name);
    }
    return names;
  }

  ServicesInPrefix env;
  platform::Services services;

 private:
  Layer layer_;
  FaultPlan plan_;
  bool fired_ = false;
};

inline std::vector<int> FailuresOf(Layer layer, const std::string& call) {
  if (layer == Layer::kSystem) return SyscallFaults::FailuresOf(call);
  if (call == "CreateKey" || call == "OpenKey" || call == "QueryValue" || call == "SetValue" ||
      call == "DeleteKey" || call == "DeleteValue" || call == "DeleteTree" ||
      call == "EnumKey" || call == "EnumValue" || call == "CloseKey") {
    return FaultyRegistry::FailuresOf(call);
  }
  return FaultyFileSystem::FailuresOf(call);
}

// One run of a scenario: nth 0 is the clean run. Answers the calls made.
using Scenario = std::function<std::vector<std::string>(Layer layer, int nth, int failure)>;

// Sweeps every call of the clean run with every failure it can give. Answers
// the number of failing runs made.
inline int Sweep(Layer layer, const Scenario& scenario) {
  std::vector<std::string> calls;
  {
    SCOPED_TRACE("clean run");
    calls = scenario(layer, 0, 0);
  }
  int runs = 0;
  for (size_t n = 1; n <= calls.size(); ++n) {
    for (const int failure : FailuresOf(layer, calls[n - 1])) {
      SCOPED_TRACE(std::string(NameOf(layer)) + ": call " + std::to_string(n) + " (" +
                   calls[n - 1] + ") fails with " + std::to_string(failure));
      scenario(layer, static_cast<int>(n), failure);
      ++runs;
    }
  }
  return runs;
}

}  // namespace kavrolin::testing
