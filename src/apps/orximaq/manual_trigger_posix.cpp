#include "manual_trigger.h"

#include <algorithm>
#include <csignal>

#include <poll.h>
#include <unistd.h>

namespace orximaq {
namespace {

struct sigaction previousUsr1;

extern "C" void onTriggerSignal(int)
{
    manualTriggerRequests().fetch_add(1);
}

} // namespace

ManualTriggerRequests::ManualTriggerRequests() : terminal_(::isatty(STDIN_FILENO) == 1)
{
    manualTriggerRequests().store(0);
    struct sigaction action {};
    action.sa_handler = onTriggerSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGUSR1, &action, &previousUsr1);
}

ManualTriggerRequests::~ManualTriggerRequests()
{
    sigaction(SIGUSR1, &previousUsr1, nullptr);
}

// Every line typed so far is a request; reads only what is there.
void ManualTriggerRequests::readTerminal()
{
    while (terminal_) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (::poll(&input, 1, 0) <= 0 || (input.revents & (POLLIN | POLLHUP)) == 0)
            return;
        char text[256];
        const ssize_t got = ::read(STDIN_FILENO, text, sizeof text);
        if (got <= 0) {
            terminal_ = false; // closed: only signals from here on
            return;
        }
        manualTriggerRequests().fetch_add(std::count(text, text + got, '\n'));
    }
}

std::string manualTriggerHint()
{
    return "press Enter or send SIGUSR1 to process " + std::to_string(::getpid());
}

} // namespace orximaq
