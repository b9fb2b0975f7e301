// The one road by which the core speaks to the user.
//
// The core never shows a window. Every message (a fixed Chinese text) goes
// through ShowMessage, which hands it to the handler the front end has set:
// a message box in the desktop application, stderr in the command-line tool,
// a recorder in the tests. The default handler writes the text and a newline
// to stderr.
#pragma once

#include <functional>
#include <string>

namespace tarnwell {

using MessageHandler = std::function<void(const std::string& text)>;

// Installs a handler for every later message; an empty handler restores the
// default. Returns the handler that was in force, so a caller can put it back.
MessageHandler SetMessageHandler(MessageHandler handler);

// Reports one message to the user through the handler in force.
void ShowMessage(const std::string& text);

}  // namespace tarnwell
