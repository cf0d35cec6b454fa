#include "app/show_message.h"

#include <iostream>

namespace {

MessageHandler& CurrentHandler() {
    static MessageHandler handler;
    return handler;
}

}  // namespace

void ShowMessage(const std::string& text) {
    const MessageHandler& handler = CurrentHandler();
    if (handler) {
        handler(text);
    } else {
        std::cerr << text << std::endl;
    }
}

MessageHandler SetMessageHandler(MessageHandler handler) {
    MessageHandler previous = std::move(CurrentHandler());
    CurrentHandler() = std::move(handler);
    return previous;
}
