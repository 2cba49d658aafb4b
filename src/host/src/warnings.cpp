// adaptorWarn: warnings are kept in order, echoed as plain text and shown to
// the observers of running acquisitions.
#include "imaqhost/warnings.h"
#include "platform/imaqkit.h"
#include "warning_observer.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>

namespace {

std::mutex warningMutex;
std::vector<imaqhost::Warning> keptWarnings;
std::vector<const imaqhost::WarningObserver*> observers;
std::atomic<bool> echoWarnings{true};

} // namespace

namespace imaqkit {

void adaptorWarn(const char* identifier, const char* message)
{
    imaqhost::Warning warning{identifier ? identifier : "", message ? message : ""};
    if (echoWarnings.load()) {
        // Written with "%s" so that a '%' in the message is printed as it stands.
        std::fprintf(stderr, "Warning: %s\n", warning.message.c_str());
    }
    std::lock_guard lock(warningMutex);
    for (const auto* observer : observers) observer->notify(warning);
    keptWarnings.push_back(std::move(warning));
}

} // namespace imaqkit

namespace imaqhost {

WarningObserver::WarningObserver(std::function<void(const Warning&)> observer)
    : observer_(std::move(observer))
{
    std::lock_guard lock(warningMutex);
    observers.push_back(this);
}

WarningObserver::~WarningObserver()
{
    std::lock_guard lock(warningMutex);
    observers.erase(std::remove(observers.begin(), observers.end(), this), observers.end());
}

std::vector<Warning> warnings()
{
    std::lock_guard lock(warningMutex);
    return keptWarnings;
}

void clearWarnings()
{
    std::lock_guard lock(warningMutex);
    keptWarnings.clear();
}

void setWarningEcho(bool echo)
{
    echoWarnings.store(echo);
}

} // namespace imaqhost
