// Records the core's messages for the duration of a test, instead of
// writing them to stderr.
#pragma once

#include <string>
#include <vector>

#include "engine/Messages.h"

namespace tarnwell {

class MessageRecorder {
 public:
  MessageRecorder()
      : previous_(SetMessageHandler([this](const std::string& text) { messages.push_back(text); })) {}
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;
  ~MessageRecorder() { SetMessageHandler(previous_); }

  std::vector<std::string> messages;

 private:
  MessageHandler previous_;
};

}  // namespace tarnwell
