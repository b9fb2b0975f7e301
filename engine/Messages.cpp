#include "engine/Messages.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace tarnwell {
namespace {

void WriteToStderr(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
}

// A batch conversion may run on a worker thread, so the handler is guarded.
std::mutex handlerMutex;
MessageHandler& CurrentHandler() {
  static MessageHandler handler = WriteToStderr;
  return handler;
}

}  // namespace

MessageHandler SetMessageHandler(MessageHandler handler) {
  std::lock_guard lock(handlerMutex);
  if (!handler) handler = WriteToStderr;
  return std::exchange(CurrentHandler(), std::move(handler));
}

void ShowMessage(const std::string& text) {
  MessageHandler handler;
  {
    std::lock_guard lock(handlerMutex);
    handler = CurrentHandler();
  }
  handler(text);
}

}  // namespace tarnwell
