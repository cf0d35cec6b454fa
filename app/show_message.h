#pragma once

#include <functional>
#include <string>

// Where the program's messages to the player go. Until the main loop puts the
// game library's message box in place, messages go to standard error; tests
// put a handler of their own to see them.
typedef std::function<void(const std::string& text)> MessageHandler;

void ShowMessage(const std::string& text);

// Replaces the handler and returns the one before. An empty handler restores
// the default.
MessageHandler SetMessageHandler(MessageHandler handler);
