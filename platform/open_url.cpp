#include "platform/open_url.h"

#include <spawn.h>
#include <sys/wait.h>

#include <thread>

extern char** environ;

bool OpenUrl(const std::string& target) {
    std::string program = "xdg-open";
    std::string argument = target;
    char* arguments[] = {&program[0], &argument[0], nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, arguments, environ) != 0) {
        return false;
    }
    // xdg-open may live as long as the browser it starts; a detached thread
    // collects its exit so that it never stays behind as a zombie.
    std::thread([child]() {
        int status = 0;
        waitpid(child, &status, 0);
    }).detach();
    return true;
}
