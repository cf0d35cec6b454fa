#include "platform/message_box.h"

#include <cstdlib>
#include <iostream>

#include <allegro.h>

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// The game library shows a message window only while its X system driver
// runs; without one it would print to standard output.
bool LibraryCanShowWindow() { return system_driver != nullptr && system_driver->id != SYSTEM_NONE; }

}  // namespace

bool MessagesAreHeadless() {
    return IsSet("GEARHAVEN_HEADLESS_MESSAGES") || !IsSet("DISPLAY") || !LibraryCanShowWindow();
}

void ShowMessageBox(const std::string& text) {
    if (MessagesAreHeadless()) {
        std::cerr << text << std::endl;
        return;
    }
    allegro_message("%s", text.c_str());
}
