// An echo service that sends nothing: each call is recorded with its
// arguments, and the send answers what the test set. The socket-layer start,
// the handle and the send can each be made to fail.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/echo.h"

namespace kavrolin::testing {

class FakeEcho : public platform::EchoService {
 public:
  // --- what the fake answers
  bool start_ok = true;
  bool stop_ok = true;
  bool create_ok = true;
  uint32_t answers = 1;                         // the send's result
  std::optional<platform::EchoReply> answer;    // written to the reply when set

  // --- what the fake was given
  std::vector<std::string> calls;               // operation names, in order
  uint16_t version = 0;
  bool handle_was_null = false;
  bool handle_was_open = false;                 // the send got a handle that was still open
  uint32_t destination = 0;
  std::string request_data;
  uint32_t timeout_ms = 0;
  platform::EchoReply reply_given;              // the reply as the caller handed it over
  int open_handles = 0;

  bool StartSocketLayer(uint16_t v) override {
    calls.push_back("StartSocketLayer");
    version = v;
    return start_ok;
  }
  bool StopSocketLayer() override {
    calls.push_back("StopSocketLayer");
    return stop_ok;
  }
  std::unique_ptr<platform::EchoHandle> IcmpCreateFile() override {
    calls.push_back("IcmpCreateFile");
    if (!create_ok) return nullptr;
    return std::make_unique<Handle>(*this);
  }
  uint32_t IcmpSendEcho(platform::EchoHandle* handle, uint32_t to, std::string_view data,
                        platform::EchoReply& reply, uint32_t timeout) override {
    calls.push_back("IcmpSendEcho");
    handle_was_null = handle == nullptr;
    handle_was_open = handle != nullptr && open_handles > 0;
    destination = to;
    request_data = std::string(data);
    timeout_ms = timeout;
    reply_given = reply;
    if (handle == nullptr) return 0;  // the platform's invalid handle: nothing written
    if (answer) reply = *answer;
    return answers;
  }

 private:
  class Handle : public platform::EchoHandle {
   public:
    explicit Handle(FakeEcho& owner) : owner_(owner) { ++owner_.open_handles; }
    ~Handle() override {
      --owner_.open_handles;
      owner_.calls.push_back("IcmpCloseHandle");
    }

   private:
    FakeEcho& owner_;
  };
};

}  // namespace kavrolin::testing
