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

std::string MessageWithLine(std::string_view message, std::uint64_t lineNumber, std::string_view line) {
  constexpr std::size_t kShownBytes = 60;
  std::string text(message);
  text += "\n第 ";
  text += std::to_string(lineNumber);
  text += " 行: ";
  if (line.size() <= kShownBytes) {
    text += line;
  } else {
    // Cut before a UTF-8 continuation byte, so no character is split.
    std::size_t cut = kShownBytes;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    text += line.substr(0, cut);
    text += "…";
  }
  return text;
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
