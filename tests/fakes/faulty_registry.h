// A Registry that passes every call to a real one, except the call a shared
// FaultPlan names, which answers a failure status instead and changes
// nothing. A failed open or create leaves its handle 0, as the real one does.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fault_plan.h"
#include "platform/registry.h"

namespace kavrolin::testing {

class FaultyRegistry : public platform::Registry {
 public:
  FaultyRegistry(std::shared_ptr<platform::Registry> real, FaultPlan& plan)
      : real_(std::move(real)), plan_(plan) {}

  // The statuses each call of the real registry can answer when its store
  // fails or refuses (see posix/registry.cpp), besides those its arguments
  // cause.
  static std::vector<int> FailuresOf(const std::string& operation) {
    namespace reg = platform::reg;
    const std::vector<int> store = {reg::kBusy, reg::kNotEnoughMemory, reg::kAccessDenied,
                                    reg::kCantWrite, reg::kCantRead, reg::kBadDb};
    if (operation == "CloseKey") return {reg::kInvalidHandle};
    std::vector<int> failures = store;
    if (operation == "OpenKey" || operation == "QueryValue" || operation == "DeleteValue") {
      failures.push_back(reg::kFileNotFound);
    }
    if (operation == "SetValue" || operation == "QueryValue") failures.push_back(reg::kKeyDeleted);
    return failures;
  }

  int32_t CreateKey(platform::RegHandle key, std::string_view sub_key, uint32_t access,
                    platform::RegHandle& result, bool* created) override {
    if (const auto failure = plan_.Next("CreateKey")) {
      result = 0;
      return *failure;
    }
    return real_->CreateKey(key, sub_key, access, result, created);
  }
  int32_t OpenKey(platform::RegHandle key, std::string_view sub_key, uint32_t access,
                  platform::RegHandle& result) override {
    if (const auto failure = plan_.Next("OpenKey")) {
      result = 0;
      return *failure;
    }
    return real_->OpenKey(key, sub_key, access, result);
  }
  int32_t QueryValue(platform::RegHandle key, std::string_view name, uint32_t* type,
                     uint8_t* data, uint32_t* size) override {
    if (const auto failure = plan_.Next("QueryValue")) return *failure;
    return real_->QueryValue(key, name, type, data, size);
  }
  int32_t SetValue(platform::RegHandle key, std::string_view name, uint32_t type,
                   std::string_view data) override {
    if (const auto failure = plan_.Next("SetValue")) return *failure;
    return real_->SetValue(key, name, type, data);
  }
  int32_t DeleteKey(platform::RegHandle key, std::string_view sub_key) override {
    if (const auto failure = plan_.Next("DeleteKey")) return *failure;
    return real_->DeleteKey(key, sub_key);
  }
  int32_t DeleteValue(platform::RegHandle key, std::string_view name) override {
    if (const auto failure = plan_.Next("DeleteValue")) return *failure;
    return real_->DeleteValue(key, name);
  }
  int32_t DeleteTree(platform::RegHandle key, std::string_view sub_key) override {
    if (const auto failure = plan_.Next("DeleteTree")) return *failure;
    return real_->DeleteTree(key, sub_key);
  }
  int32_t EnumKey(platform::RegHandle key, uint32_t index, std::string& name) override {
    if (const auto failure = plan_.Next("EnumKey")) return *failure;
    return real_->EnumKey(key, index, name);
  }
  int32_t EnumValue(platform::RegHandle key, uint32_t index, std::string& name, uint32_t& type,
                    std::string& data) override {
    if (const auto failure = plan_.Next("EnumValue")) return *failure;
    return real_->EnumValue(key, index, name, type, data);
  }
  // A close that fails still lets the handle go in the real store, so no
  // handle leaks into the next run of a sweep.
  int32_t CloseKey(platform::RegHandle key) override {
    const int32_t status = real_->CloseKey(key);
    if (const auto failure = plan_.Next("CloseKey")) return *failure;
    return status;
  }

 private:
  std::shared_ptr<platform::Registry> real_;
  FaultPlan& plan_;
};

}  // namespace kavrolin::testing
