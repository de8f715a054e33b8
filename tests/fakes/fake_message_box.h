// A message box that shows nothing and keeps the caption and text of every
// message, in order.
#pragma once

#include <vector>

#include "base/text.h"
#include "platform/message_box.h"

namespace kavrolin::testing {

class FakeMessageBox : public platform::MessageBox {
 public:
  struct Message {
    Text caption;
    Text text;
    bool operator==(const Message&) const = default;
  };

  void Show(TextView caption, TextView text) override {
    messages.push_back({Text(caption), Text(text)});
  }

  // The texts alone, in order.
  std::vector<Text> texts() const {
    std::vector<Text> out;
    for (const auto& m : messages) out.push_back(m.text);
    return out;
  }

  std::vector<Message> messages;
};

}  // namespace kavrolin::testing
