// Windows: each Enter pressed in the console is a request, read from the
// console's input events without waiting.
#include "manual_trigger.h"

#include <windows.h>

#include <iterator>

namespace orximaq {
namespace {

HANDLE consoleInput()
{
    return ::GetStdHandle(STD_INPUT_HANDLE);
}

bool isConsole(HANDLE handle)
{
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

bool isEnterPress(const INPUT_RECORD& record)
{
    return record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
           record.Event.KeyEvent.wVirtualKeyCode == VK_RETURN;
}

} // namespace

ManualTriggerRequests::ManualTriggerRequests() : terminal_(isConsole(consoleInput()))
{
    manualTriggerRequests().store(0);
}

ManualTriggerRequests::~ManualTriggerRequests() = default;

void ManualTriggerRequests::readTerminal()
{
    const HANDLE input = consoleInput();
    while (terminal_) {
        DWORD waiting = 0;
        if (!::GetNumberOfConsoleInputEvents(input, &waiting) || waiting == 0)
            return;
        INPUT_RECORD records[64];
        DWORD got = 0;
        if (!::ReadConsoleInputW(input, records, static_cast<DWORD>(std::size(records)), &got) || got == 0) {
            terminal_ = false;
            return;
        }
        for (DWORD i = 0; i < got; ++i)
            if (isEnterPress(records[i]))
                manualTriggerRequests().fetch_add(1);
    }
}

std::string manualTriggerHint()
{
    return "press Enter";
}

} // namespace orximaq
