// The one road by which the core speaks to the user.
//
// The core never shows a window. Every message (a fixed Chinese text) goes
// through ShowMessage, which hands it to the handler the front end has set:
// a message box in the desktop application, stderr in the command-line tool,
// a recorder in the tests. The default handler writes the text and a newline
// to stderr.
#pragma once

#include <functional>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwell {

using MessageHandler = std::function<void(const std::string& text)>;

// Installs a handler for every later message; an empty handler restores the
// default. Returns the handler that was in force, so a caller can put it back.
MessageHandler SetMessageHandler(MessageHandler handler);

// A message about one line of a file: the message, then on a second line
// "第 N 行: " and the line itself, cut after 60 bytes with "…".
std::string MessageWithLine(std::string_view message, std::uint64_t lineNumber, std::string_view line);

// Reports one message to the user through the handler in force.
void ShowMessage(const std::string& text);

}  // namespace tarnwell
