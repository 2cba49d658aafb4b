#include "engine_prop_container.h"

#include "adaptor_call.h"

#include <cstring>

namespace imaqhost {

EnginePropContainer::EnginePropContainer(std::string selectedSource)
    : info_(kSelectedSourceName, false), selectedSource_(std::move(selectedSource))
{
}

EnginePropContainer::~EnginePropContainer() = default;

void EnginePropContainer::addListener(const char* name,
                                      imaqkit::IEnginePropPostSetListener* listener)
{
    std::unique_ptr<imaqkit::IEnginePropPostSetListener> owned(listener);
    if (owned && name && std::strcmp(name, kSelectedSourceName) == 0)
        listeners_.push_back(std::move(owned));
}

void EnginePropContainer::setSelectedSource(const std::string& name)
{
    std::string previous = selectedSource_;
    selectedSource_ = name;
    try {
        for (const auto& listener : listeners_) {
            std::string value = selectedSource_;
            callAdaptor("Selecting video source \"" + name + "\"",
                        [&] { listener->notify(&info_, value.data()); });
        }
    } catch (...) {
        selectedSource_ = std::move(previous);
        throw;
    }
}

} // namespace imaqhost
